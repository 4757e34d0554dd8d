#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "SolverTestSupport.h"
#include "CAnalysisDomain.h"
#include "RecordingInteraction.h"
#include "Values.h"
#include "PlaneSolver.h"
#include "UmfpackLu.h"

namespace vantor {
namespace {

using Complex = std::complex<double>;
using testing::Board;
using testing::GroupWith;

CAnalysisDomain Sweep(double start, double stop, int steps, double resolution = 2.0) {
    CAnalysisDomain d(start, stop, 0.0, 1e-6, resolution);
    d.frequencySteps = steps;
    return d;
}

// Self-impedance of node k at f by one factorisation and one solve.
Complex SelfImpedance(const CLayer& l, double f, int k) {
    SparseComplexMatrix m = StructurePattern(l.mesh.structure);
    UmfpackLu lu;
    EXPECT_FALSE(UmfpackLu::Failed(lu.Analyse(m)));
    EXPECT_TRUE(AssemblePlaneMatrix(l, f, m));
    EXPECT_FALSE(UmfpackLu::Failed(lu.Factorise(m)));
    std::vector<double> bRe(l.mesh.activeCount, 0.0), bIm(l.mesh.activeCount, 0.0), xRe(l.mesh.activeCount), xIm(l.mesh.activeCount);
    bRe[k] = 1.0;
    EXPECT_FALSE(UmfpackLu::Failed(lu.Solve(m, bRe.data(), bIm.data(), xRe.data(), xIm.data())));
    return {xRe[k], xIm[k]};
}

TEST(CellQuantities, SkinDepthAndMetalImpedanceOfCopperAt100MHz) {
    CCircuitBoard b;  // 5.8e7 S/m, 35 um
    const CellQuantities q = CellAt(1e8, 0.001, b);
    EXPECT_NEAR(q.skinDepth, 6.609e-6, 0.001e-6);
    // 5.3 skin depths thick: the plates behave as thick metal, Rs (1 + j).
    EXPECT_NEAR(q.metalImpedance.real(), 5.218e-3, 0.01 * 5.218e-3);
    EXPECT_NEAR(q.metalImpedance.imag(), 5.218e-3, 0.01 * 5.218e-3);
    const Complex closed = q.surfaceResistance * Complex(1, 1) /
                           (1.0 - std::exp(-Complex(1, 1) * (b.metalThickness / q.skinDepth)));
    EXPECT_NEAR(std::abs(q.metalImpedance - closed), 0.0, 1e-12);
    EXPECT_NEAR(q.capacitance, kEpsilon0 * 4.4 * 1e-6 / 5e-5, 1e-24);
}

TEST(CellQuantities, ShortLineSectionIsASeriesZWithHalfItsShuntAtEachEnd) {
    // Electrically short: -yb -> 1/Z, ya + yb -> (Y/2)/2.
    // gamma^2 = y z / 2 is about 3e-6, so the limits hold to about 1e-6.
    const Complex z(1e-3, 0.6), y(2e-7, 1e-5);
    Complex ya, yb;
    BranchAdmittances(z, y, ya, yb);
    EXPECT_NEAR(std::abs(-yb * z - 1.0), 0.0, 2e-6);
    EXPECT_NEAR(std::abs((ya + yb) / (y / 4.0) - 1.0), 0.0, 2e-6);
}

TEST(PlaneSolver, LowFrequencySelfImpedanceIsTheWholeGridCapacitance) {
    auto b = Board(0.099, 0.071);
    CLayer& l = *b->SolverLayer();
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 0), ui));
    const double h = l.mesh.cellSize;
    const double cgrid = kEpsilon0 * b->epsilonR * (l.mesh.nx - 1) * h * (l.mesh.ny - 1) * h / b->planeSpacing;
    const Complex expected = 1.0 / (Complex(b->tanDelta, 1.0) * kTwoPi * 1e6 * cgrid);
    ASSERT_EQ(l.results.resultMaps.size(), 2u);
    double worst = 0.0;
    for (int r = 0; r < l.mesh.ny; ++r)
        for (int c = 0; c < l.mesh.nx; ++c) worst = std::max(worst, std::abs(l.results.resultMaps[0](r, c) / expected - 1.0));
    EXPECT_LT(worst, 0.005) << "every node within 0.5 %";
}

// Frequency of the largest |Z| at node k in [lo, hi]: a scan, then a
// golden-section search around the best scan point.
double PeakFrequency(const CLayer& l, int k, double lo, double hi) {
    auto z = [&](double f) { return std::abs(SelfImpedance(l, f, k)); };
    const int n = 16;
    int best = 0;
    double bestZ = 0.0;
    for (int i = 0; i <= n; ++i) {
        const double v = z(lo + (hi - lo) * i / n);
        if (v > bestZ) bestZ = v, best = i;
    }
    double a = lo + (hi - lo) * std::max(best - 1, 0) / n, d = lo + (hi - lo) * std::min(best + 1, n) / n;
    const double g = 0.6180339887;
    double b1 = d - g * (d - a), c1 = a + g * (d - a), zb = z(b1), zc = z(c1);
    for (int i = 0; i < 20; ++i) {
        if (zb > zc) {
            d = c1, c1 = b1, zc = zb, b1 = d - g * (d - a), zb = z(b1);
        } else {
            a = b1, b1 = c1, zb = zc, c1 = a + g * (d - a), zc = z(c1);
        }
    }
    return 0.5 * (a + d);
}

struct ModeError {
    const char* mode;
    double plain;      // against the ideal cavity formula
    double corrected;  // against the cavity with the plates' internal inductance
};

std::vector<ModeError> ResonanceErrors(double resolution) {
    // 50 x 35 mm, 0.5 mm dielectric: the modes (1,0), (0,1), (1,1) come first.
    auto b = Board(0.050, 0.035);
    b->planeSpacing = 5e-4;
    b->tanDelta = 0.002;
    CLayer& l = *b->SolverLayer();
    EXPECT_TRUE(l.BuildMesh(2.5e9, resolution));
    const double lx = (l.mesh.nx - 1) * l.mesh.cellSize, ly = (l.mesh.ny - 1) * l.mesh.cellSize;
    const double c = 1.0 / std::sqrt(kEpsilon0 * kMu0);
    std::vector<ModeError> errors;
    for (const auto& [name, m, n] : {std::tuple{"(1,0)", 1, 0}, std::tuple{"(0,1)", 0, 1}, std::tuple{"(1,1)", 1, 1}}) {
        const double f = c / (2 * std::sqrt(b->epsilonR)) * std::hypot(m / lx, n / ly);
        // A corner node sees every mode.
        const double peak = PeakFrequency(l, 0, 0.9 * f, 1.1 * f);
        // The skin layer adds Im(Zm) / w to the loop inductance mu0 d.
        const double internal = CellAt(f, l.mesh.cellSize, *b).metalImpedance.imag() / (kTwoPi * f);
        const double fc = f / std::sqrt(1.0 + internal / (kMu0 * b->planeSpacing));
        errors.push_back({name, peak / f - 1.0, peak / fc - 1.0});
    }
    return errors;
}

TEST(PlaneSolver, BarePlaneResonatesAtTheCavityModesAndConverges) {
    const auto coarse = ResonanceErrors(4.0);
    const auto fine = ResonanceErrors(8.0);
    for (std::size_t i = 0; i < coarse.size(); ++i) {
        EXPECT_LT(std::abs(coarse[i].plain), 0.02) << coarse[i].mode << " at resolution 4";
        EXPECT_LT(std::abs(fine[i].plain), 0.02) << fine[i].mode << " at resolution 8";
        EXPECT_LT(std::abs(fine[i].corrected), std::abs(coarse[i].corrected)) << coarse[i].mode << " converges";
        std::printf("mode %s: error %+.4f %% / %+.4f %% at resolution 4, %+.4f %% / %+.4f %% at 8 "
                    "(ideal cavity / with internal inductance)\n",
                    coarse[i].mode, 100 * coarse[i].plain, 100 * coarse[i].corrected, 100 * fine[i].plain,
                    100 * fine[i].corrected);
    }
}

TEST(PlaneSolver, MirrorSymmetricPlaneGivesMirrorSymmetricMaps) {
    auto b = Board(0.040, 0.030);
    CLayer& l = *b->SolverLayer();
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
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.004, 0.0, 0.012, 0.009, "Kerbe"));
    CCGroup& g = l.AddGroupAtCentre(GroupWith(*b, 10e-9));
    g.posX = 0.02;
    ASSERT_TRUE(l.BuildMesh(3e9, 2.0));
    SparseComplexMatrix m = StructurePattern(l.mesh.structure);
    UmfpackLu lu;
    ASSERT_FALSE(UmfpackLu::Failed(lu.Analyse(m)));
    ASSERT_TRUE(AssemblePlaneMatrix(l, 1.3e9, m));
    ASSERT_FALSE(UmfpackLu::Failed(lu.Factorise(m)));
    const int n = l.mesh.activeCount;
    auto column = [&](int p) {
        std::vector<double> bRe(n, 0.0), bIm(n, 0.0), xRe(n), xIm(n);
        bRe[p] = 1.0;
        EXPECT_FALSE(UmfpackLu::Failed(lu.Solve(m, bRe.data(), bIm.data(), xRe.data(), xIm.data())));
        std::vector<Complex> x(n);
        for (int i = 0; i < n; ++i) x[i] = {xRe[i], xIm[i]};
        return x;
    };
    const int i = 0, j = n - 1, k = n / 2;
    const auto zi = column(i), zj = column(j), zk = column(k);
    EXPECT_LT(std::abs(zi[j] - zj[i]), 1e-9 * std::abs(zi[j]));
    EXPECT_LT(std::abs(zi[k] - zk[i]), 1e-9 * std::abs(zi[k]));
    EXPECT_LT(std::abs(zj[k] - zk[j]), 1e-9 * std::abs(zj[k]));
}

TEST(PlaneSolver, GroupLowersTheImpedanceBelowItsResonance) {
    auto b = Board(0.099, 0.071);
    CLayer& l = *b->SolverLayer();
    RecordingInteraction ui;
    const CAnalysisDomain d = Sweep(2e6, 5e6, 1);
    ASSERT_TRUE(l.BuildMesh(1e9, 2.0));
    ASSERT_TRUE(l.SolvePlane(d, ui));
    const auto bare = l.results.resultMaps;
    l.AddGroupAtCentre(GroupWith(*b, 100e-9));  // resonates near 15 MHz
    ASSERT_TRUE(l.SolvePlane(d, ui));
    const CNode* centre = l.FindNearestNode(0.0495, 0.0355);
    const CNode* corner = l.FindNearestNode(0.0, 0.0);
    for (int e = 0; e < 2; ++e) {
        const double zBare = std::abs(bare[e](centre->row, centre->column));
        EXPECT_LT(std::abs(l.results.resultMaps[e](centre->row, centre->column)), 0.2 * zBare) << l.results.resultLabels[e];
        EXPECT_LT(std::abs(l.results.resultMaps[e](corner->row, corner->column)),
                  0.2 * std::abs(bare[e](corner->row, corner->column)));
    }
}

TEST(PlaneSolver, GroupsAddTheirAdmittanceToTheNearestDiagonalOnly) {
    auto b = Board(0.020, 0.015);
    CLayer& l = *b->SolverLayer();
    ASSERT_TRUE(l.BuildMesh(1e9, 2.0));
    const double f = 3e7;
    SparseComplexMatrix bare = StructurePattern(l.mesh.structure);
    ASSERT_TRUE(AssemblePlaneMatrix(l, f, bare));

    CCGroup onlyPlane;
    onlyPlane.board = b.get();
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
            const bool atNode = col == k && bare.rowIndex[e] == k;
            const Complex expected = atNode ? 2.0 * yg : Complex(0, 0);
            EXPECT_LT(std::abs(added - expected), 1e-9 * std::abs(yg)) << col;
        }
}

TEST(PlaneSolver, ResultsComeInFrequencyOrderThenMaximum) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.006, 0.006, "Ecke"));
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 4), ui));
    const std::vector<std::string> labels = {FormatValue(1e6, "Hz", 1), FormatValue(250.75e6, "Hz", 1),
                                             FormatValue(500.5e6, "Hz", 1), FormatValue(750.25e6, "Hz", 1),
                                             FormatValue(1e9, "Hz", 1), "Maximum"};
    EXPECT_EQ(l.results.resultLabels, labels);
    ASSERT_EQ(l.results.resultMaps.size(), 6u);
    EXPECT_EQ(l.results.resultLabels[1], "250.8MHz");
    for (int r = 0; r < l.mesh.ny; ++r)
        for (int c = 0; c < l.mesh.nx; ++c) {
            if (l.mesh.nodeIndexMap(r, c) == 0) {
                for (const auto& map : l.results.resultMaps) EXPECT_EQ(map(r, c), kNoMetal);
                continue;
            }
            // The maximum map holds the largest |Z| of the frequency maps.
            double largest = 0.0;
            for (int e = 0; e < 5; ++e) largest = std::max(largest, std::abs(l.results.resultMaps[e](r, c)));
            EXPECT_EQ(std::abs(l.results.resultMaps[5](r, c)), largest);
        }
    EXPECT_NE(l.TimingLog().Text().find("Gesamt: "), std::string::npos);
}

TEST(PlaneSolver, ProgressIsReportedPerFrequencyNotPerNode) {
    auto b = Board(0.040, 0.030);
    CLayer& l = *b->SolverLayer();
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 3e9, 3), ui));
    ASSERT_GT(l.mesh.activeCount, 100);
    int values = 0, begins = 0, ends = 0, upperRange = -1;
    for (const auto& e : ui.events()) {
        if (e.kind == RecordingInteraction::Kind::ProgressValue) ++values;
        if (e.kind == RecordingInteraction::Kind::ProgressBegin) {
            ++begins;
            EXPECT_EQ(e.text, "FEM-Solver busy...");
        }
        if (e.kind == RecordingInteraction::Kind::ProgressEnd) ++ends;
        if (e.kind == RecordingInteraction::Kind::ProgressRange && e.bar == ProgressBar::Upper) upperRange = e.value;
    }
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(upperRange, 4);
    EXPECT_LE(values, 4 * 6) << "a few updates per frequency";
    EXPECT_TRUE(ui.messages().empty());
}

// Runs a solve that must fail and checks that mesh and results are those of
// the good solve before it.
void ExpectFailureKeepsResults(const std::function<void(CCircuitBoard&, CAnalysisDomain&)>& spoil,
                               RecordingInteraction& ui) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    CAnalysisDomain d = Sweep(1e6, 1e9, 2);
    ASSERT_TRUE(l.BuildMeshAndSolve(d, ui));
    const auto maps = l.results.resultMaps;
    const auto labels = l.results.resultLabels;
    const int nx = l.mesh.nx, n = l.mesh.activeCount;
    spoil(*b, d);
    EXPECT_FALSE(l.BuildMeshAndSolve(d, ui));
    EXPECT_EQ(l.results.resultLabels, labels);
    ASSERT_EQ(l.results.resultMaps.size(), maps.size());
    for (std::size_t e = 0; e < maps.size(); ++e) EXPECT_TRUE(l.results.resultMaps[e].SharesStorageWith(maps[e]));
    EXPECT_EQ(l.mesh.nx, nx);
    EXPECT_EQ(l.mesh.activeCount, n);
    EXPECT_EQ(ui.messages().size(), 1u);
}

TEST(PlaneSolver, FailedSolveKeepsThePreviousResultsAndSaysWhy) {
    {
        RecordingInteraction ui;
        ExpectFailureKeepsResults([](CCircuitBoard&, CAnalysisDomain& d) { d.startFrequency = -1e6; }, ui);
        EXPECT_NE(ui.messages().at(0).find("Bei -1MHz"), std::string::npos) << ui.messages().at(0);
    }
    {
        RecordingInteraction ui;
        ExpectFailureKeepsResults([](CCircuitBoard&, CAnalysisDomain& d) { d.stopFrequency = 0.0; }, ui);
        EXPECT_NE(ui.messages().at(0).find("Gitter"), std::string::npos);
    }
    {
        RecordingInteraction ui;
        ExpectFailureKeepsResults(
            [&ui](CCircuitBoard&, CAnalysisDomain&) { ui.cancelAfterPolls(1); }, ui);
        EXPECT_NE(ui.messages().at(0).find("abgebrochen"), std::string::npos);
    }
    {
        RecordingInteraction ui;  // a lossless dielectric without a plate gap
        ExpectFailureKeepsResults([](CCircuitBoard& b, CAnalysisDomain&) { b.planeSpacing = 0.0; }, ui);
    }
}

TEST(PlaneSolver, PlanesWithoutMetalOrWithStrayObjectsSolveWithoutFault) {
    struct Case {
        const char* what;
        std::function<void(CCircuitBoard&, CLayer&)> setUp;
        bool anyMetal;
    };
    const Case cases[] = {
        {"covered by a cut-out",
         [](CCircuitBoard&, CLayer& l) { l.cutOuts.push_back(std::make_unique<CCutOut>(0, 0, 1, 1, "Alles")); },
         false},
        {"zero-size cut-out and objects outside the plane",
         [](CCircuitBoard& b, CLayer& l) {
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.0, 0.0, "Punkt"));
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.5, 0.5, 0.7, 0.6, "Fern"));
             l.AddGroupAtCentre(GroupWith(b, 1e-6)).posX = 3.0;
             l.probes.push_back(std::make_unique<CProbe>(-1.0, 2.0, "Fern"));
         },
         true},
        {"isolated metal point",
         [](CCircuitBoard& b, CLayer& l) {
             const double h = l.CellSizeFor(1e9, 2.0);
             const double x = 2 * h, y = 1 * h, lo = 0.5 * h, hi = 1.5 * h;
             for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}})
                 l.cutOuts.push_back(std::make_unique<CCutOut>(x + dx * h - lo, y + dy * h - lo, x + dx * h + lo,
                                                               y + dy * h + lo, "Ring"));
             l.AddGroupAtCentre(GroupWith(b, 1e-6)).posX = x;  // a group beside it
             l.capacitorGroups.back()->posY = y;
             (void)hi;
         },
         true},
    };
    for (const auto& c : cases) {
        auto b = Board(0.030, 0.020);
        CLayer& l = *b->SolverLayer();
        c.setUp(*b, l);
        RecordingInteraction ui;
        ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 1), ui)) << c.what;
        EXPECT_EQ(l.mesh.activeCount > 0, c.anyMetal) << c.what;
        ASSERT_EQ(l.results.resultMaps.size(), 3u);
        for (int r = 0; r < l.mesh.ny; ++r)
            for (int col = 0; col < l.mesh.nx; ++col) {
                const Complex z = l.results.resultMaps[0](r, col);
                EXPECT_TRUE(std::isfinite(z.real()) && std::isfinite(z.imag())) << c.what;
                if (l.mesh.nodeIndexMap(r, col) == 0) {
                    EXPECT_EQ(z, kNoMetal) << c.what;
                }
            }
    }
}

TEST(PlaneSolver, NegativeStepCountGivesOnlyTheMaximumEntry) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, -1), ui));
    ASSERT_EQ(l.results.resultLabels, std::vector<std::string>{"Maximum"});
    EXPECT_EQ(l.results.resultMaps[0](0, 0), Complex(0.0, 0.0));
}

}  // namespace
}  // namespace vantor
