// The fast path (LDL^T with selected inversion, on worker threads) against
// the UMFPACK reference, and the sweep's order and threads.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <stdexcept>

#include "SolverTestSupport.h"
#include "RecordingInteraction.h"
#include "OrderedWorkers.h"
#include "Values.h"
#include "PlaneSolver.h"
#include "SparseLdlt.h"

namespace vantor {
namespace {

using Complex = std::complex<double>;
using namespace testing;

// Meshes and solves the plane as the program does, by a job.
std::vector<ComplexMatrix> Solve(CLayer& l, const CAnalysisDomain& d, const SolverOptions& o) {
    RecordingInteraction ui;
    EXPECT_TRUE(l.BuildMeshAndSolve(d, ui, o));
    EXPECT_TRUE(ui.messages().empty());
    return l.results.resultMaps;
}

// d with the resolution at which its stop frequency gives the cells of fTop
// at resolution: the sweep then runs on that mesh, whatever frequencies it
// solves.
CAnalysisDomain OnMeshFor(CAnalysisDomain d, double fTop, double resolution) {
    d.resolution = resolution * fTop / d.stopFrequency;
    return d;
}

double WorstRelativeDifference(const std::vector<ComplexMatrix>& a, const std::vector<ComplexMatrix>& b) {
    EXPECT_EQ(a.size(), b.size());
    double worst = 0.0;
    for (std::size_t e = 0; e < std::min(a.size(), b.size()); ++e)
        for (int r = 0; r < a[e].Rows(); ++r)
            for (int c = 0; c < a[e].Columns(); ++c)
                worst = std::max(worst, std::abs(a[e](r, c) - b[e](r, c)) / std::abs(b[e](r, c)));
    return worst;
}

TEST(FastSolver, AgreesWithUmfpackOnEveryMapEntry) {
    // First cavity mode of the bare plane: half a wavelength along x.
    const auto firstModes = [](const CCircuitBoard& b, const CLayer& l) {
        const double f = 1.0 / std::sqrt(kEpsilon0 * kMu0 * b.epsilonR) / (2.0 * (l.mesh.nx - 1) * l.mesh.cellSize);
        return Sweep(f, 3 * f, 2);
    };
    // Where the group's admittance is largest the pivots get lopsided.
    const auto groupResonance = [](const CCircuitBoard&, const CLayer& l) {
        double best = 1e6;
        for (double f = 1e6; f < 1e9; f *= 1.02)
            if (std::abs(l.capacitorGroups[0]->GroupAdmittance(f, 0)) >
                std::abs(l.capacitorGroups[0]->GroupAdmittance(best, 0)))
                best = f;
        return Sweep(best, best, 0);
    };
    struct Case {
        const char* what;
        double length, width, fTop, resolution;  // m, m, Hz, -
        std::function<void(CCircuitBoard&, CLayer&)> setUp;
        std::function<CAnalysisDomain(const CCircuitBoard&, const CLayer&)> sweep;
    };
    const auto from = [](double lo, double hi, int n) {
        return [=](const CCircuitBoard&, const CLayer&) { return Sweep(lo, hi, n); };
    };
    const Case cases[] = {
        {"bare plane, resolution 1", 0.099, 0.071, 1e9, 1.0, nullptr, from(1e6, 1e9, 4)},
        {"bare plane at its first three resonances", 0.050, 0.035, 3e9, 3.0, nullptr, firstModes},
        {"cut-outs, resolution 4", 0.040, 0.030, 3e9, 4.0,
         [](CCircuitBoard&, CLayer& l) {
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.010, 0.005, 0.018, 0.020, "Loch"));
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.006, 0.004, "Ecke"));
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.030, 0.026, 0.040, 0.030, "Rand"));
         },
         from(1e7, 1e9, 4)},
        {"several groups, resolution 5", 0.030, 0.025, 3e9, 5.0,
         [](CCircuitBoard& b, CLayer& l) {
             l.AddGroupAtCentre(GroupWith(b, 100e-9));
             CCGroup& g = l.AddGroupAtCentre(GroupWith(b, 1e-9));
             g.posX = 0.002, g.posY = 0.020;
             l.AddGroupAtCentre(GroupWith(b, 10e-9)).posX = 0.028;
         },
         from(1e6, 2e9, 5)},
        {"two islands (a slot across the plane), resolution 6", 0.024, 0.016, 3e9, 6.0,
         [](CCircuitBoard& b, CLayer& l) {
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.011, -0.001, 0.013, 0.017, "Schlitz"));
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.004, 0.008, 0.012, "Fenster"));
             l.AddGroupAtCentre(GroupWith(b, 47e-9)).posX = 0.020;
         },
         from(1e8, 1e9, 4)},
        {"group at its own series resonance", 0.030, 0.020, 2e9, 3.0,
         [](CCircuitBoard& b, CLayer& l) { l.AddGroupAtCentre(GroupWith(b, 100e-9)); }, groupResonance},
    };
    for (const auto& c : cases) {
        auto [b, l] = Plane(c.length, c.width);
        if (c.setUp) c.setUp(*b, l);
        ASSERT_TRUE(l.BuildMesh(c.fTop, c.resolution)) << c.what;
        const double cellSize = l.mesh.cellSize;
        const CAnalysisDomain d = OnMeshFor(c.sweep(*b, l), c.fTop, c.resolution);
        const auto reference = Solve(l, d, Options(SolverKind::Umfpack, 1));
        const auto fast = Solve(l, d, Options(SolverKind::Fast, 2));
        EXPECT_NEAR(l.mesh.cellSize, cellSize, 1e-12 * cellSize) << c.what << ": solved on the mesh of the case";
        EXPECT_EQ(l.LastSolve().fallbackFrequencies, 0) << c.what;
        EXPECT_LT(WorstRelativeDifference(fast, reference), 1e-9) << c.what << ", N = " << l.mesh.activeCount;
    }
}

// Far below the first resonance the plane is nearly equipotential: M is a
// large Laplacian plus a tiny shunt, and rounding the entries to double
// moves diag(M^-1) by about eps / (gamma^2). Neither path can then be
// closer than that to the exact inverse (long double: 11 bits beyond
// double); the fast path must be as good as the reference.
TEST(FastSolver, AtLowFrequenciesIsAsAccurateAsUmfpack) {
    auto [b, l] = Plane(0.099, 0.071);
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.030, 0.020, 0.050, 0.040, "Loch"));
    for (double f : {1e3, 1e4, 1e5, 1e6, 1e7}) {
        const CAnalysisDomain d = OnMeshFor(Sweep(f, f, 0), 1e9, 2.0);
        const ComplexMatrix reference = Solve(l, d, Options(SolverKind::Umfpack, 1))[0];
        const ComplexMatrix fast = Solve(l, d, Options(SolverKind::Fast, 1))[0];
        ASSERT_NEAR(l.mesh.cellSize, l.CellSizeFor(1e9, 2.0), 1e-12 * l.mesh.cellSize) << "the mesh of 1 GHz";
        SparseComplexMatrix m = StructurePattern(l.mesh.structure);
        ASSERT_TRUE(AssemblePlaneMatrix(l, f, m));
        const auto exact = DenseInverseDiagonal<long double>(m);
        auto error = [&](const ComplexMatrix& map) {
            double worst = 0.0;
            for (int r = 0; r < l.mesh.ny; ++r)
                for (int c = 0; c < l.mesh.nx; ++c)
                    if (const int k = l.mesh.nodeIndexMap(r, c))
                        worst = std::max(worst, std::abs(map(r, c) - exact[k - 1]) / std::abs(exact[k - 1]));
            return worst;
        };
        const double errorReference = error(reference);
        const double errorFast = error(fast);
        EXPECT_LT(errorFast, std::max(1e-9, 10.0 * errorReference)) << f << " Hz";
        EXPECT_LT(errorFast, 1e-5) << f << " Hz";
    }
}

TEST(FastSolver, TinyPivotHandsTheFrequencyToUmfpack) {
    auto [b, l] = Plane(0.030, 0.020);
    l.AddGroupAtCentre(GroupWith(*b, 10e-9));
    const CAnalysisDomain d = Sweep(1e6, 2e9, 3);
    const auto reference = Solve(l, d, Options(SolverKind::Umfpack, 2));
    // No pivot can exceed the largest diagonal: every frequency falls back.
    SolverOptions o = Options(SolverKind::Fast, 2);
    o.pivotTolerance = 1.0;
    EXPECT_TRUE(SameMaps(Solve(l, d, o), reference));
    EXPECT_EQ(l.LastSolve().fallbackFrequencies, 4);
}

TEST(SparseLdlt, ZeroOrNonFinitePivotIsReportedNotDividedBy) {
    // [[1, 1], [1, 1]] is singular; [[0, 1], [1, 2]] needs a row exchange.
    const std::pair<SparseComplexMatrix, SparseLdlt::Status> cases[] = {
        {Matrix(2, {{{0, 0}, 1.0}, {{0, 1}, 1.0}, {{1, 1}, 1.0}}), SparseLdlt::Status::SmallPivot},
        {Matrix(2, {{{0, 0}, 0.0}, {{0, 1}, 1.0}, {{1, 1}, 2.0}}), SparseLdlt::Status::SmallPivot},
        {Matrix(1, {{{0, 0}, Complex(std::nan(""), 0.0)}}), SparseLdlt::Status::NotFinite},
    };
    for (const auto& [m, status] : cases) {
        LdltPattern pattern;
        ASSERT_TRUE(pattern.Analyse(m));
        SparseLdlt ldlt;
        EXPECT_EQ(ldlt.Factorise(pattern, m, 1e-13), status);
    }
}

TEST(FastSolver, ResultsAreBitIdenticalForOneAndSeveralThreads) {
    auto [b, l] = Plane(0.040, 0.030);
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.010, 0.010, 0.020, 0.015, "Loch"));
    l.AddGroupAtCentre(GroupWith(*b, 22e-9)).posX = 0.03;
    const CAnalysisDomain d = Sweep(1e6, 3e9, 12);
    for (SolverKind kind : {SolverKind::Fast, SolverKind::Umfpack}) {
        const auto one = Solve(l, d, Options(kind, 1));
        for (int threads : {2, 3, 5}) {
            EXPECT_TRUE(SameMaps(one, Solve(l, d, Options(kind, threads)))) << threads << " threads";
            EXPECT_EQ(l.LastSolve().threads, threads);
        }
    }
}

TEST(FastSolver, ProgressComesOncePerFrequencyInOrderFromSeveralThreads) {
    auto [b, l] = Plane(0.040, 0.030);
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 3e9, 9), ui, Options(SolverKind::Fast, 3)));
    using K = RecordingInteraction::Kind;
    std::vector<int> upper;
    int values = 0, begins = 0, ends = 0, upperRange = -1;
    for (const auto& e : ui.events()) {
        values += e.kind == K::ProgressValue;
        ends += e.kind == K::ProgressEnd;
        if (e.kind == K::ProgressBegin && ++begins) {
            EXPECT_EQ(e.text, "FEM-Solver busy...");
        }
        if (e.kind == K::ProgressRange && e.bar == ProgressBar::Upper) upperRange = e.value;
        if (e.kind == K::ProgressValue && e.bar == ProgressBar::Upper) upper.push_back(e.value);
    }
    EXPECT_EQ(begins * 10 + ends, 11);
    EXPECT_EQ(upperRange, 10);
    EXPECT_EQ(upper, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_LE(values, 10 * 6) << "a few updates per frequency, not per node";
}

TEST(RunInOrder, DeliversInJobOrderStopsWhenAskedAndPassesExceptionsOn) {
    int seen = 0, failAt = -1;
    std::atomic<int> started{0};
    auto work = [&](int, int job) {  // early jobs take longest, so later ones finish first
        ++started;
        volatile double x = 0;
        for (int i = 0; i < (40 - job) * 20000; ++i) x = x + 1.0;
        return job == failAt ? throw std::runtime_error("job 35") : job * 10;
    };
    auto deliver = [&](int i, int&& r) {
        EXPECT_EQ(r, i * 10);
        EXPECT_EQ(i, seen);
        return ++seen < 30;
    };
    EXPECT_FALSE(RunInOrder<int>(40, 4, work, [] { return true; }, deliver));
    EXPECT_EQ(seen, 30);
    EXPECT_LE(started.load(), 30 + 2 * 4) << "no job runs far ahead of delivery";
    seen = 0, failAt = 35;
    EXPECT_THROW(RunInOrder<int>(40, 2, work, [] { return true; }, [&](int, int&&) { return ++seen > 0; }),
                 std::runtime_error);
    EXPECT_EQ(seen, 35);
}

}  // namespace
}  // namespace vantor
