#include <gtest/gtest.h>

#include "Matrix.h"

namespace vantor {
namespace {

TEST(SharedMatrix, CopiesShareUntilTheFirstWrite) {
    ComplexMatrix a(2, 3, {1.0, 2.0});
    ComplexMatrix b = a;
    EXPECT_TRUE(a.SharesStorageWith(b));
    b.Set(1, 2, {5.0, 0.0});
    EXPECT_FALSE(a.SharesStorageWith(b));
    EXPECT_EQ(a(1, 2), std::complex<double>(1.0, 2.0)) << "the original keeps its value";
    EXPECT_EQ(b(1, 2), std::complex<double>(5.0, 0.0));
    EXPECT_EQ(b(0, 0), std::complex<double>(1.0, 2.0));
}

TEST(SharedMatrix, ColumnWriteDetachesAndBoundsHold) {
    IntMatrix a(2, 2, 3);
    IntMatrix c = a;
    c.SetColumn(1, {8, 9});
    EXPECT_EQ(c(0, 1), 8);
    EXPECT_EQ(c(1, 1), 9);
    EXPECT_EQ(a(1, 1), 3);
    EXPECT_TRUE(IntMatrix(0, 5).Empty());
    EXPECT_FALSE(a.Contains(2, 0));
}

}  // namespace
}  // namespace vantor
