#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "SolverTestSupport.h"
#include "RecordingInteraction.h"
#include "Values.h"
#include "PlaneSolver.h"
#include "UmfpackLu.h"

namespace vantor {
namespace {

using Complex = std::complex<double>;
using namespace testing;

// Column p of the plane's impedance matrix at f: one factorisation, one solve.
std::vector<Complex> ImpedanceColumn(const CLayer& l, double f, int p) {
    SparseComplexMatrix m = StructurePattern(l.mesh.structure);
    UmfpackLu lu;
    EXPECT_FALSE(UmfpackLu::Failed(lu.Analyse(m)));
    EXPECT_TRUE(AssemblePlaneMatrix(l, f, m));
    EXPECT_FALSE(UmfpackLu::Failed(lu.Factorise(m)));
    const int n = l.mesh.activeCount;
    std::vector<double> bRe(n, 0.0), bIm(n, 0.0), xRe(n), xIm(n);
    bRe[p] = 1.0;
    EXPECT_FALSE(UmfpackLu::Failed(lu.Solve(m, bRe.data(), bIm.data(), xRe.data(), xIm.data())));
    std::vector<Complex> x(n);
    for (int i = 0; i < n; ++i) x[i] = {xRe[i], xIm[i]};
    return x;
}

TEST(CellQuantities, CopperAt100MHzAndAShortLineSection) {
    CCircuitBoard b;  // 5.8e7 S/m, 35 um
    const CellQuantities q = CellAt(1e8, 0.001, b);
    EXPECT_NEAR(q.skinDepth, 6.609e-6, 0.001e-6);
    // 5.3 skin depths thick: the plates behave as thick metal, Rs (1 + j).
    EXPECT_NEAR(q.metalImpedance.real(), 5.218e-3, 0.01 * 5.218e-3);
    EXPECT_NEAR(q.metalImpedance.imag(), 5.218e-3, 0.01 * 5.218e-3);
    EXPECT_NEAR(q.capacitance, kEpsilon0 * 4.4 * 1e-6 / 5e-5, 1e-24);
    // Electrically short (gamma^2 about 3e-6): -yb -> 1/Z, ya + yb -> (Y/2)/2.
    const Complex z(1e-3, 0.6), y(2e-7, 1e-5);
    Complex ya, yb;
    BranchAdmittances(z, y, ya, yb);
    EXPECT_NEAR(std::abs(-yb * z - 1.0), 0.0, 2e-6);
    EXPECT_NEAR(std::abs((ya + yb) / (y / 4.0) - 1.0), 0.0, 2e-6);
}

TEST(PlaneSolver, LowFrequencySelfImpedanceIsTheWholeGridCapacitance) {
    auto [b, l] = Plane(0.099, 0.071);
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 0), ui));
    const double h = l.mesh.cellSize;
    const double cgrid = kEpsilon0 * b->epsilonR * (l.mesh.nx - 1) * h * (l.mesh.ny - 1) * h / b->planeSpacing;
    const Complex expected = 1.0 / (Complex(b->tanDelta, 1.0) * kTwoPi * 1e6 * cgrid);
    ASSERT_EQ(l.results.resultMaps.size(), 2u);
    for (int r = 0; r < l.mesh.ny; ++r)
        for (int c = 0; c < l.mesh.nx; ++c)
            ASSERT_LT(std::abs(l.results.resultMaps[0](r, c) / expected - 1.0), 0.005) << "every node within 0.5 %";
}

// Frequency of the largest |Z| at node k in [lo, hi] by golden-section search.
double PeakFrequency(const CLayer& l, int k, double a, double d) {
    auto z = [&](double f) { return std::abs(ImpedanceColumn(l, f, k)[k]); };
    const double g = 0.6180339887;
    double b1 = d - g * (d - a), c1 = a + g * (d - a), zb = z(b1), zc = z(c1);
    for (int i = 0; i < 30; ++i) {
        if (zb > zc)
            d = c1, c1 = b1, zc = zb, b1 = d - g * (d - a), zb = z(b1);
        else
            a = b1, b1 = c1, zb = zc, c1 = a + g * (d - a), zc = z(c1);
    }
    return 0.5 * (a + d);
}

// Relative errors of the modes (1,0), (0,1), (1,1) of a 50 x 35 mm plane
// with 0.5 mm dielectric: against the ideal cavity, and against the cavity
// with the plates' internal inductance.
std::vector<std::pair<double, double>> ResonanceErrors(double resolution) {
    auto [b, l] = Plane(0.050, 0.035);
    b->planeSpacing = 5e-4;
    b->tanDelta = 0.002;
    EXPECT_TRUE(l.BuildMesh(2.5e9, resolution));
    const double lx = (l.mesh.nx - 1) * l.mesh.cellSize, ly = (l.mesh.ny - 1) * l.mesh.cellSize;
    const double c = 1.0 / std::sqrt(kEpsilon0 * kMu0);
    std::vector<std::pair<double, double>> errors;
    for (const auto& [m, n] : {std::pair{1, 0}, {0, 1}, {1, 1}}) {
        const double f = c / (2 * std::sqrt(b->epsilonR)) * std::hypot(m / lx, n / ly);
        const double peak = PeakFrequency(l, 0, 0.9 * f, 1.1 * f);  // a corner node sees every mode
        // The skin layer adds Im(Zm) / w to the loop inductance mu0 d.
        const double internal = CellAt(f, l.mesh.cellSize, *b).metalImpedance.imag() / (kTwoPi * f);
        errors.push_back({peak / f - 1.0, peak / f * std::sqrt(1.0 + internal / (kMu0 * b->planeSpacing)) - 1.0});
    }
    return errors;
}

TEST(PlaneSolver, BarePlaneResonatesAtTheCavityModesAndConverges) {
    const auto coarse = ResonanceErrors(4.0), fine = ResonanceErrors(8.0);
    for (std::size_t i = 0; i < coarse.size(); ++i) {
        EXPECT_LT(std::abs(coarse[i].first), 0.02) << "mode " << i << " at resolution 4";
        EXPECT_LT(std::abs(fine[i].first), 0.02) << "mode " << i << " at resolution 8";
        EXPECT_LT(std::abs(fine[i].second), std::abs(coarse[i].second)) << "mode " << i << " converges";
    }
}

TEST(PlaneSolver, MirrorSymmetricPlaneGivesMirrorSymmetricMaps) {
    auto [b, l] = Plane(0.040, 0.030);
    const double fTop = 3e9, h = l.CellSizeFor(fTop, 2.0);
    ASSERT_TRUE(l.BuildMesh(fTop, 2.0));
    const double lx = (l.mesh.nx - 1) * h, ly = (l.mesh.ny - 1) * h;
    // A hole centred on the grid, with edges between grid lines.
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.5 * lx - 2.5 * h, 0.5 * ly - 1.5 * h, 0.5 * lx + 2.5 * h,
                                                  0.5 * ly + 1.5 * h, "Mitte"));
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(2e8, 2.2e9, 2), ui));
    ASSERT_LT(l.mesh.activeCount, l.mesh.gridPointCount);
    for (const auto& map : l.results.resultMaps)
        for (int r = 0; r < l.mesh.ny; ++r)
            for (int c = 0; c < l.mesh.nx; ++c) {
                const Complex z = map(r, c);
                EXPECT_LT(std::abs(map(r, l.mesh.nx - 1 - c) - z), 1e-9 * std::abs(z));
                EXPECT_LT(std::abs(map(l.mesh.ny - 1 - r, c) - z), 1e-9 * std::abs(z));
            }
}

TEST(PlaneSolver, TransferImpedancesAreReciprocal) {
    auto [b, l] = Plane(0.030, 0.020);
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.004, 0.0, 0.012, 0.009, "Kerbe"));
    l.AddGroupAtCentre(GroupWith(*b, 10e-9)).posX = 0.02;
    ASSERT_TRUE(l.BuildMesh(3e9, 2.0));
    const int n = l.mesh.activeCount, p[3] = {0, n - 1, n / 2};
    std::vector<Complex> z[3];
    for (int i = 0; i < 3; ++i) z[i] = ImpedanceColumn(l, 1.3e9, p[i]);
    for (int i = 0; i < 3; ++i)
        for (int j = i + 1; j < 3; ++j) EXPECT_LT(std::abs(z[i][p[j]] - z[j][p[i]]), 1e-9 * std::abs(z[i][p[j]]));
}

TEST(PlaneSolver, GroupsAddTheirAdmittanceToTheNearestDiagonalOnly) {
    auto [b, l] = Plane(0.020, 0.015);
    ASSERT_TRUE(l.BuildMesh(1e9, 2.0));
    const double f = 3e7;
    SparseComplexMatrix bare = StructurePattern(l.mesh.structure);
    ASSERT_TRUE(AssemblePlaneMatrix(l, f, bare));

    CCGroup onlyPlane(b.get());
    onlyPlane.Append(CCGroup::PlaneCapacitanceEntry(*b));
    l.AddGroupAtCentre(onlyPlane);
    const CCGroup two = GroupWith(*b, 47e-9);
    l.AddGroupAtCentre(two);
    l.AddGroupAtCentre(two).posX += 0.01 * l.mesh.cellSize;  // same nearest node
    SparseComplexMatrix withGroups = StructurePattern(l.mesh.structure);
    ASSERT_TRUE(AssemblePlaneMatrix(l, f, withGroups));

    const int k = l.FindNearestNodePort(0.010, 0.0075)->index - 1;
    const Complex yg = two.GroupAdmittance(f, 0);
    for (int col = 0; col < l.mesh.activeCount; ++col)
        for (int e = bare.columnStart[col]; e < bare.columnStart[col + 1]; ++e) {
            const Complex added(withGroups.re[e] - bare.re[e], withGroups.im[e] - bare.im[e]);
            const Complex expected = col == k && bare.rowIndex[e] == k ? 2.0 * yg : Complex(0, 0);
            EXPECT_LT(std::abs(added - expected), 1e-9 * std::abs(yg)) << col;
        }
}

TEST(PlaneSolver, ResultsComeInFrequencyOrderThenMaximum) {
    auto [b, l] = Plane(0.030, 0.020);
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.006, 0.006, "Ecke"));
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 4), ui));
    std::vector<std::string> labels;
    for (double f : {1e6, 250.75e6, 500.5e6, 750.25e6, 1e9}) labels.push_back(FormatValue(f, "Hz", 1));
    labels.push_back("Maximum");
    EXPECT_EQ(l.results.resultLabels, labels);
    ASSERT_EQ(l.results.resultMaps.size(), 6u);
    for (int r = 0; r < l.mesh.ny; ++r)
        for (int c = 0; c < l.mesh.nx; ++c) {
            // The maximum map holds the largest |Z| of the frequency maps.
            double largest = 0.0;
            for (int e = 0; e < 5; ++e) largest = std::max(largest, std::abs(l.results.resultMaps[e](r, c)));
            const bool hole = l.mesh.nodeIndexMap(r, c) == 0;
            for (int e = 0; e < 6 && hole; ++e) EXPECT_EQ(l.results.resultMaps[e](r, c), kNoMetal);
            EXPECT_EQ(std::abs(l.results.resultMaps[5](r, c)), hole ? std::abs(kNoMetal) : largest);
        }
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, -1), ui));
    ASSERT_EQ(l.results.resultLabels, std::vector<std::string>{"Maximum"}) << "an empty sweep";
    EXPECT_EQ(l.results.resultMaps[0](l.mesh.ny - 1, l.mesh.nx - 1), Complex(0.0, 0.0));
}

TEST(PlaneSolver, PlanesWithoutMetalOrWithStrayObjectsSolveWithoutFault) {
    for (const bool anyMetal : {false, true}) {
        auto [b, l] = Plane(0.030, 0.020);
        if (!anyMetal)
            l.cutOuts.push_back(std::make_unique<CCutOut>(0, 0, 1, 1, "Alles"));
        else {
            // A zero-size cut-out, objects outside the plane and a group on
            // an isolated metal point.
            l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.0, 0.0, "Punkt"));
            l.cutOuts.push_back(std::make_unique<CCutOut>(0.5, 0.5, 0.7, 0.6, "Fern"));
            l.AddGroupAtCentre(GroupWith(*b, 1e-6)).posX = 3.0;
            l.probes.push_back(std::make_unique<CProbe>(-1.0, 2.0, "Fern"));
            const double h = l.CellSizeFor(1e9, 2.0), x = 2 * h, y = h;
            for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
                l.cutOuts.push_back(std::make_unique<CCutOut>(x + (dx - 0.5) * h, y + (dy - 0.5) * h,
                                                              x + (dx + 0.5) * h, y + (dy + 0.5) * h, "Ring"));
            CCGroup& g = l.AddGroupAtCentre(GroupWith(*b, 1e-6));
            g.posX = x, g.posY = y;
        }
        RecordingInteraction ui;
        EXPECT_EQ(l.KillMax(ui), nullptr) << "no results at all";
        ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 1), ui)) << anyMetal;
        EXPECT_EQ(l.mesh.activeCount > 0, anyMetal);
        EXPECT_EQ(ui.messages().size(), 1u);
        if (!anyMetal) {
            EXPECT_EQ(l.KillMax(ui), nullptr) << "no metal results";
        } else {
            const int x = 2, y = 1;
            EXPECT_EQ(l.mesh.gridNodes[y * l.mesh.nx + x]->active, 1) << "the isolated point is metal";
            EXPECT_EQ(l.mesh.nodeIndexMap(y, x), 0) << "but carries no branch";
            for (int k = 0; k < l.mesh.structure.n; ++k)
                EXPECT_GT(l.mesh.structure.interiorDiag[k] + l.mesh.structure.edgeDiag[k], 0)
                    << "every unknown has a branch";
        }
        ASSERT_EQ(l.results.resultMaps.size(), 3u);
        for (int r = 0; r < l.mesh.ny; ++r)
            for (int col = 0; col < l.mesh.nx; ++col) {
                const Complex z = l.results.resultMaps[0](r, col);
                EXPECT_TRUE(std::isfinite(z.real()) && std::isfinite(z.imag())) << anyMetal;
                if (l.mesh.nodeIndexMap(r, col) == 0) {
                    EXPECT_EQ(z, kNoMetal) << anyMetal;
                }
            }
    }
}

}  // namespace
}  // namespace vantor
