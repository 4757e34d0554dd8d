#include <gtest/gtest.h>

#include <cmath>

#include "SolverTestSupport.h"

namespace vantor {
namespace {

using testing::Board;
using testing::FrequencyForCell;

TEST(Mesh, CellSizeIsATwentiethWavelengthAtDefaultResolution) {
    auto b = Board(0.1, 0.08);
    b->epsilonR = 4.0;
    CLayer& l = *b->SolverLayer();
    ASSERT_TRUE(l.BuildMesh(1e9, 2.0));
    EXPECT_NEAR(l.mesh.cellSize, 0.0075, 1e-15);
    EXPECT_EQ(l.mesh.nx, 14);
    EXPECT_EQ(l.mesh.ny, 11);
    EXPECT_EQ(l.mesh.gridPointCount, 154);
    EXPECT_EQ(l.mesh.activeCount, 154);
    ASSERT_EQ(l.mesh.gridNodes.size(), 154u);
    // Row by row, numbered from 1, at column * h and row * h.
    const CNode& n = *l.mesh.gridNodes[2 * 14 + 5];
    EXPECT_EQ(n.number, 2 * 14 + 5 + 1);
    EXPECT_EQ(n.row, 2);
    EXPECT_EQ(n.column, 5);
    EXPECT_DOUBLE_EQ(n.x, 5 * l.mesh.cellSize);
    EXPECT_DOUBLE_EQ(n.y, 2 * l.mesh.cellSize);
    EXPECT_EQ(l.mesh.nodePorts[40]->index, 41);
    EXPECT_EQ(l.mesh.nodeIndexMap(2, 5), 2 * 14 + 5 + 1);
}

TEST(Mesh, NonsenseInputLeavesTheMeshAlone) {
    auto b = Board(0.1, 0.08);
    CLayer& l = *b->SolverLayer();
    ASSERT_TRUE(l.BuildMesh(1e9, 2.0));
    const int n = l.mesh.activeCount;
    EXPECT_FALSE(l.BuildMesh(0.0, 2.0));
    EXPECT_FALSE(l.BuildMesh(1e9, 0.0));
    EXPECT_FALSE(l.BuildMesh(-1e9, 2.0));
    EXPECT_FALSE(l.BuildMesh(1e30, 2.0)) << "a grid beyond int32";
    EXPECT_EQ(l.mesh.activeCount, n);
}

// Expected branch classes of a full rectangle: a branch is an edge branch
// exactly when it runs along the outline.
TEST(Mesh, BranchesAlongTheOutlineAreEdgeBranches) {
    const double h = 0.002;
    auto b = Board(5.5 * h, 4.5 * h);  // 6 x 5 points
    CLayer& l = *b->SolverLayer();
    ASSERT_TRUE(l.BuildMesh(FrequencyForCell(h, b->epsilonR), 1.0));
    ASSERT_EQ(l.mesh.nx, 6);
    ASSERT_EQ(l.mesh.ny, 5);
    const PlaneStructure& s = l.mesh.structure;
    for (int r = 0; r < l.mesh.ny; ++r) {
        for (int c = 0; c < l.mesh.nx; ++c) {
            const int k = l.mesh.nodeIndexMap(r, c) - 1;
            const bool left = c == 0, right = c == l.mesh.nx - 1, bottom = r == 0, top = r == l.mesh.ny - 1;
            int interior = 0, edge = 0;
            const int dirs[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
            for (const auto& d : dirs) {
                const int rr = r + d[0], cc = c + d[1];
                if (rr < 0 || rr >= l.mesh.ny || cc < 0 || cc >= l.mesh.nx) continue;
                const int j = l.mesh.nodeIndexMap(rr, cc) - 1;
                const bool alongOutline = (d[0] == 0 && (bottom || top)) || (d[1] == 0 && (left || right));
                EXPECT_EQ(s.edgeOff(k, j), alongOutline ? 1 : 0) << r << "," << c;
                EXPECT_EQ(s.interiorOff(k, j), alongOutline ? 0 : 1) << r << "," << c;
                EXPECT_EQ(s.edgeOff(j, k), s.edgeOff(k, j)) << "symmetric";
                (alongOutline ? edge : interior) += 1;
            }
            EXPECT_EQ(s.interiorDiag[k], interior);
            EXPECT_EQ(s.edgeDiag[k], edge);
        }
    }
    EXPECT_EQ(s.edgeDiag[0], 2) << "a corner has two edge branches";
    EXPECT_EQ(s.interiorDiag[0], 0);
    EXPECT_EQ(s.interiorDiag[l.mesh.nodeIndexMap(2, 2) - 1], 4);
    EXPECT_EQ(s.interiorOff(0, 29), 0) << "no branch between far nodes";
}

TEST(Mesh, CutOutBordersRemoveMetalAndInactiveCutOutsRemoveNothing) {
    auto b = Board(8.5 * 0.002, 6.5 * 0.002);
    CLayer& l = *b->SolverLayer();
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
    EXPECT_EQ(l.mesh.activeCount, l.mesh.gridPointCount - 6);
    // The branch below the hole runs along its outline: an edge branch.
    const int a = l.mesh.nodeIndexMap(1, 2) - 1, c = l.mesh.nodeIndexMap(1, 3) - 1;
    EXPECT_EQ(l.mesh.structure.edgeOff(a, c), 1);
    const int far = l.mesh.nodeIndexMap(5, 6) - 1, farRight = l.mesh.nodeIndexMap(5, 7) - 1;
    EXPECT_EQ(l.mesh.structure.interiorOff(far, farRight), 1);
}

TEST(Mesh, IsolatedMetalPointGetsNoUnknown) {
    const double h = 0.002;
    auto b = Board(8.5 * h, 8.5 * h);
    CLayer& l = *b->SolverLayer();
    // A ring of cut-outs around point (4, 4) covers its eight neighbours.
    const double lo = 2.5 * h, hi = 5.5 * h;
    l.cutOuts.push_back(std::make_unique<CCutOut>(lo, lo, 3.5 * h, hi, "W"));
    l.cutOuts.push_back(std::make_unique<CCutOut>(4.5 * h, lo, hi, hi, "E"));
    l.cutOuts.push_back(std::make_unique<CCutOut>(lo, lo, hi, 3.5 * h, "S"));
    l.cutOuts.push_back(std::make_unique<CCutOut>(lo, 4.5 * h, hi, hi, "N"));
    ASSERT_TRUE(l.BuildMesh(FrequencyForCell(h, b->epsilonR), 1.0));
    EXPECT_EQ(l.mesh.gridNodes[4 * l.mesh.nx + 4]->active, 1) << "it is metal";
    EXPECT_EQ(l.mesh.nodeIndexMap(4, 4), 0) << "but carries no branch";
    EXPECT_EQ(l.mesh.activeCount, 81 - 9);
    for (int k = 0; k < l.mesh.structure.n; ++k)
        EXPECT_GT(l.mesh.structure.interiorDiag[k] + l.mesh.structure.edgeDiag[k], 0) << "every unknown has a branch";
}

TEST(Mesh, NearestNodeTiesGoToTheEarlierNode) {
    const double h = 0.002;
    auto b = Board(4.5 * h, 3.5 * h);
    CLayer& l = *b->SolverLayer();
    EXPECT_EQ(l.FindNearestNode(0, 0), nullptr) << "no mesh yet";
    EXPECT_EQ(l.FindNearestNodePort(0, 0), nullptr);
    ASSERT_TRUE(l.BuildMesh(FrequencyForCell(h, b->epsilonR), 1.0));
    // Halfway between the first four nodes: all four are exactly as near.
    const double half = 0.5 * l.mesh.gridNodes[1]->x;
    const CNode* n = l.FindNearestNode(half, half);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n, l.mesh.gridNodes[0].get());
    const CNode* m = l.FindNearestNode(l.mesh.gridNodes[1]->x + half, l.mesh.gridNodes[1]->x + half);
    EXPECT_EQ(m->row, 1);
    EXPECT_EQ(m->column, 1);
    const CPort* p = l.FindNearestNodePort(3.9 * h, 2.2 * h);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Row(), 2);
    EXPECT_EQ(p->Column(), 4);
    const CNode* outside = l.FindNearestNode(1.0, -1.0);
    EXPECT_EQ(outside->row, 0);
    EXPECT_EQ(outside->column, l.mesh.nx - 1);
}

TEST(Mesh, HitTestsAndNameLookups) {
    auto b = Board(0.099, 0.071);
    CLayer& l = *b->SolverLayer();
    l.probes.push_back(std::make_unique<CProbe>(0.0, 0.0, "Ecke"));
    EXPECT_EQ(l.HitProbe(0.0015, 0.0), l.probes[2].get()) << "1.5 mm counts";
    EXPECT_EQ(l.HitProbe(0.00151, 0.0), nullptr);
    EXPECT_EQ(l.HitProbe(0.0495, 0.0355), l.probes[0].get());

    l.cutOuts.push_back(std::make_unique<CCutOut>(0.01, 0.01, 0.02, 0.02, "Cutout1"));
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.015, 0.015, 0.03, 0.03, "Cutout2"));
    l.cutOuts[0]->inactive = 1;
    EXPECT_EQ(l.HitCutOut(0.016, 0.016), l.cutOuts[0].get()) << "first in list, whatever its flag";
    EXPECT_EQ(l.HitCutOut(0.03, 0.03), l.cutOuts[1].get());
    EXPECT_EQ(l.HitCutOut(0.05, 0.05), nullptr);
    EXPECT_EQ(l.IsOnMetal(0.016, 0.016), 0);
    EXPECT_EQ(l.IsOnMetal(0.012, 0.012), 1) << "inactive cut-out";

    EXPECT_TRUE(l.CutOutNameExists("Cutout2"));
    EXPECT_FALSE(l.CutOutNameExists("cutout2"));
    EXPECT_TRUE(l.DeleteCutOutByName("Cutout1"));
    EXPECT_FALSE(l.DeleteCutOutByName("Cutout1"));
    ASSERT_EQ(l.cutOuts.size(), 1u);

    double x = -1, y = -1;
    EXPECT_FALSE(l.ProbePositionByName("Probe9", x, y));
    EXPECT_EQ(x, -1);
    EXPECT_TRUE(l.ProbePositionByName("Probe2", x, y));
    EXPECT_DOUBLE_EQ(x, 0.02475);
    EXPECT_DOUBLE_EQ(y, 0.01775);
}

TEST(Mesh, AddGroupAtCentrePlacesAnIndependentCopy) {
    auto b = Board(0.099, 0.071);
    CLayer& l = *b->SolverLayer();
    CCGroup g = testing::GroupWith(*b, 100e-9);
    g.name = "Gruppe1";
    g.posX = 0.001;
    CCGroup& placed = l.AddGroupAtCentre(g);
    EXPECT_EQ(l.GroupCount(), 1);
    EXPECT_DOUBLE_EQ(placed.posX, 0.0495);
    EXPECT_DOUBLE_EQ(placed.posY, 0.0355);
    EXPECT_EQ(placed.ElementCount(), 2);
    g.Capacitor(1).capacitance = 1e-6;
    EXPECT_DOUBLE_EQ(placed.Capacitor(1).capacitance, 100e-9);
    EXPECT_EQ(l.FindGroupByName("Gruppe1"), &placed);
    EXPECT_EQ(l.FindGroupByName("Gruppe2"), nullptr);
}

}  // namespace
}  // namespace vantor
