#include <gtest/gtest.h>

#include <cmath>

#include "Matrix.h"
#include "SolverTestSupport.h"

namespace vantor {
namespace {

using testing::Plane;
using testing::FrequencyForCell;

TEST(SharedMatrix, CopiesShareUntilTheFirstWrite) {
    ComplexMatrix a(2, 3, {1.0, 2.0});
    ComplexMatrix b = a;
    EXPECT_TRUE(a.SharesStorageWith(b));
    b.Set(1, 2, {5.0, 0.0});
    EXPECT_FALSE(a.SharesStorageWith(b));
    EXPECT_EQ(a(1, 2), std::complex<double>(1.0, 2.0)) << "the original keeps its value";
    EXPECT_EQ(b(1, 2), std::complex<double>(5.0, 0.0));
    IntMatrix i(2, 2, 3), j = i;
    j.SetColumn(1, {8, 9});
    EXPECT_EQ(j(1, 1), 9);
    EXPECT_EQ(i(1, 1), 3);
    EXPECT_FALSE(i.Contains(2, 0));
}

TEST(Mesh, CellSizeIsATwentiethWavelengthAndNonsenseLeavesTheMeshAlone) {
    auto [b, l] = Plane(0.1, 0.08);
    b->epsilonR = 4.0;
    ASSERT_TRUE(l.BuildMesh(1e9, 2.0));
    EXPECT_NEAR(l.mesh.cellSize, 0.15 / 20, 1e-15);  // lambda = c / (f sqrt(er)) = 15 cm
    EXPECT_EQ(l.mesh.nx, 14);
    EXPECT_EQ(l.mesh.ny, 11);
    EXPECT_EQ(l.mesh.activeCount, 154);
    EXPECT_DOUBLE_EQ(l.mesh.gridNodes[2 * 14 + 5]->y, 2 * l.mesh.cellSize) << "row by row";
    for (const auto& [f, res] : {std::pair{0.0, 2.0}, {1e9, 0.0}, {-1e9, 2.0}, {1e30, 2.0}})
        EXPECT_FALSE(l.BuildMesh(f, res)) << f << " Hz at resolution " << res;
    EXPECT_EQ(l.mesh.activeCount, 154);
}

// A branch is an edge branch exactly when it runs along the outline.
TEST(Mesh, BranchesAlongTheOutlineAreEdgeBranches) {
    const double h = 0.002;
    auto [b, l] = Plane(5.5 * h, 4.5 * h);  // 6 x 5 points
    ASSERT_TRUE(l.BuildMesh(FrequencyForCell(h, b->epsilonR), 1.0));
    ASSERT_EQ(l.mesh.nx, 6);
    ASSERT_EQ(l.mesh.ny, 5);
    const PlaneStructure& s = l.mesh.structure;
    for (int r = 0; r < l.mesh.ny; ++r)
        for (int c = 0; c < l.mesh.nx; ++c) {
            const int k = l.mesh.nodeIndexMap(r, c) - 1;
            int interior = 0, edge = 0;
            for (const auto& [dr, dc] : {std::pair{0, -1}, {0, 1}, {-1, 0}, {1, 0}}) {
                const int rr = r + dr, cc = c + dc;
                if (rr < 0 || rr >= l.mesh.ny || cc < 0 || cc >= l.mesh.nx) continue;
                const int j = l.mesh.nodeIndexMap(rr, cc) - 1;
                const bool along = (dr == 0 && (r == 0 || r == l.mesh.ny - 1)) ||
                                   (dc == 0 && (c == 0 || c == l.mesh.nx - 1));
                EXPECT_EQ(s.edgeOff(k, j), along ? 1 : 0) << r << "," << c;
                EXPECT_EQ(s.interiorOff(k, j), along ? 0 : 1) << r << "," << c;
                EXPECT_EQ(s.edgeOff(j, k), s.edgeOff(k, j)) << "symmetric";
                (along ? edge : interior) += 1;
            }
            EXPECT_EQ(s.interiorDiag[k], interior);
            EXPECT_EQ(s.edgeDiag[k], edge);
        }
    EXPECT_EQ(s.interiorOff(0, 29), 0) << "no branch between far nodes";
}

TEST(Mesh, CutOutBordersRemoveMetalAndInactiveCutOutsRemoveNothing) {
    auto [b, l] = Plane(8.5 * 0.002, 6.5 * 0.002);
    const double fTop = FrequencyForCell(0.002, b->epsilonR);
    const double h = l.CellSizeFor(fTop, 1.0);  // the exact step the mesh uses
    // Edges exactly on grid lines 2..4 (x) and 2..3 (y).
    l.cutOuts.push_back(std::make_unique<CCutOut>(2 * h, 2 * h, 4 * h, 3 * h, "Cutout1"));
    l.cutOuts.push_back(std::make_unique<CCutOut>(6 * h, 0.0, 8 * h, 6 * h, "Cutout2"));
    l.cutOuts.back()->inactive = 1;
    ASSERT_TRUE(l.BuildMesh(fTop, 1.0));
    ASSERT_EQ(l.mesh.nx, 9);
    for (int r = 0; r < l.mesh.ny; ++r)
        for (int c = 0; c < l.mesh.nx; ++c) {
            const bool hole = c >= 2 && c <= 4 && r >= 2 && r <= 3;
            EXPECT_EQ(l.mesh.gridNodes[r * l.mesh.nx + c]->active, hole ? 0 : 1) << r << "," << c;
            EXPECT_EQ(l.mesh.nodeIndexMap(r, c) == 0, hole);
        }
    // The branch below the hole runs along its outline: an edge branch.
    EXPECT_EQ(l.mesh.structure.edgeOff(l.mesh.nodeIndexMap(1, 2) - 1, l.mesh.nodeIndexMap(1, 3) - 1), 1);
    EXPECT_EQ(l.mesh.structure.interiorOff(l.mesh.nodeIndexMap(5, 6) - 1, l.mesh.nodeIndexMap(5, 7) - 1), 1);
}

}  // namespace
}  // namespace vantor
