#include <gtest/gtest.h>

#include "CCutOut.h"

namespace vantor {
namespace {

TEST(CutOut, BordersCountAsInsideAndInactiveRemovesNothing) {
    CCutOut c(0.01, 0.02, 0.03, 0.04, "c");
    // clang-format off
    struct { double x, y; bool inside; } const cases[] = {
        {0.02, 0.03, true}, {0.01, 0.02, true}, {0.03, 0.04, true}, {0.01, 0.03, true},
        {0.0099, 0.03, false}, {0.02, 0.0401, false}, {0.05, 0.05, false}};
    // clang-format on
    for (const auto& p : cases) {
        EXPECT_EQ(c.contains(p.x, p.y), p.inside) << p.x << "," << p.y;
        EXPECT_EQ(c.covers(p.x, p.y), p.inside);
    }
    c.inactive = 7;
    for (const auto& p : cases) {
        EXPECT_FALSE(c.contains(p.x, p.y));
        EXPECT_EQ(c.covers(p.x, p.y), p.inside) << "hit tests ignore the flag";
    }
    const CCutOut dot(0.02, 0.02, 0.02, 0.02, "dot");
    EXPECT_TRUE(dot.contains(0.02, 0.02)) << "a zero-size cut-out holds its point";
    EXPECT_FALSE(dot.contains(0.02, 0.0200001));
}

}  // namespace
}  // namespace vantor
