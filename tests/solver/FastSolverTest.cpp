// The fast path (LDL^T with selected inversion, on worker threads) against
// the UMFPACK reference, and the sweep's order, threads and cancellation.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <stdexcept>

#include "SolverTestSupport.h"
#include "CAnalysisDomain.h"
#include "RecordingInteraction.h"
#include "Values.h"
#include "OrderedWorkers.h"
#include "PlaneSolver.h"
#include "SparseLdlt.h"

namespace vantor {
namespace {

using Complex = std::complex<double>;
using testing::Board;
using testing::GroupWith;

CAnalysisDomain Sweep(double start, double stop, int steps) {
    CAnalysisDomain d(start, stop, 0.0, 1e-6, 2.0);
    d.frequencySteps = steps;
    return d;
}

SolverOptions Options(SolverKind kind, int threads = 1) {
    SolverOptions o;
    o.kind = kind;
    o.threads = threads;
    return o;
}

// The maps of a solve with the given options on an already meshed layer.
std::vector<ComplexMatrix> Solve(CLayer& l, const CAnalysisDomain& d, const SolverOptions& o) {
    RecordingInteraction ui;
    EXPECT_TRUE(l.SolvePlane(d, ui, o));
    EXPECT_TRUE(ui.messages().empty());
    return l.results.resultMaps;
}

// Largest relative difference of two map sets, entry by entry.
double WorstRelativeDifference(const std::vector<ComplexMatrix>& a, const std::vector<ComplexMatrix>& b) {
    EXPECT_EQ(a.size(), b.size());
    double worst = 0.0;
    for (std::size_t e = 0; e < std::min(a.size(), b.size()); ++e)
        for (int r = 0; r < a[e].Rows(); ++r)
            for (int c = 0; c < a[e].Columns(); ++c)
                worst = std::max(worst, std::abs(a[e](r, c) - b[e](r, c)) / std::abs(b[e](r, c)));
    return worst;
}

bool BitIdentical(const std::vector<ComplexMatrix>& a, const std::vector<ComplexMatrix>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t e = 0; e < a.size(); ++e)
        for (int r = 0; r < a[e].Rows(); ++r)
            for (int c = 0; c < a[e].Columns(); ++c)
                if (a[e](r, c) != b[e](r, c)) return false;
    return true;
}

// First cavity mode of a bare plane, Hz: half a wavelength along x.
double FirstMode(const CCircuitBoard& b, const CLayer& l) {
    const double c = 1.0 / std::sqrt(kEpsilon0 * kMu0);
    return c / (2.0 * std::sqrt(b.epsilonR) * (l.mesh.nx - 1) * l.mesh.cellSize);
}

struct PlaneCase {
    const char* what;
    double length, width, fTop, resolution;  // m, m, Hz, -
    std::function<void(CCircuitBoard&, CLayer&)> setUp;
    std::function<CAnalysisDomain(const CCircuitBoard&, const CLayer&)> sweep;
};

TEST(FastSolver, AgreesWithUmfpackOnEveryMapEntry) {
    const auto decade = [](double lo) {
        return [lo](const CCircuitBoard&, const CLayer&) { return Sweep(lo, 1e9, 4); };
    };
    const PlaneCase cases[] = {
        {"bare plane, resolution 1", 0.099, 0.071, 1e9, 1.0, nullptr, decade(1e6)},
        {"bare plane, resolution 2", 0.099, 0.071, 1e9, 2.0, nullptr, decade(1e7)},
        {"bare plane at its first three resonances, resolution 3", 0.050, 0.035, 3e9, 3.0, nullptr,
         [](const CCircuitBoard& b, const CLayer& l) {
             const double f = FirstMode(b, l);
             return Sweep(f, 3 * f, 2);
         }},
        {"cut-outs, resolution 4", 0.040, 0.030, 3e9, 4.0,
         [](CCircuitBoard&, CLayer& l) {
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.010, 0.005, 0.018, 0.020, "Loch"));
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.006, 0.004, "Ecke"));
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.030, 0.026, 0.040, 0.030, "Rand"));
         },
         decade(1e7)},
        {"several groups, resolution 5", 0.030, 0.025, 3e9, 5.0,
         [](CCircuitBoard& b, CLayer& l) {
             l.AddGroupAtCentre(GroupWith(b, 100e-9));
             CCGroup& g = l.AddGroupAtCentre(GroupWith(b, 1e-9));
             g.posX = 0.002;
             g.posY = 0.020;
             CCGroup& h = l.AddGroupAtCentre(GroupWith(b, 10e-9));
             h.posX = 0.028;
         },
         [](const CCircuitBoard&, const CLayer&) { return Sweep(1e6, 2e9, 5); }},
        {"two islands and a lone strip, resolution 6", 0.024, 0.016, 3e9, 6.0,
         [](CCircuitBoard& b, CLayer& l) {
             // A slot across the plane leaves two separate regions.
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.011, -0.001, 0.013, 0.017, "Schlitz"));
             l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.004, 0.008, 0.012, "Fenster"));
             l.AddGroupAtCentre(GroupWith(b, 47e-9)).posX = 0.020;
         },
         decade(1e8)},
        {"group at its own series resonance", 0.030, 0.020, 2e9, 3.0,
         [](CCircuitBoard& b, CLayer& l) { l.AddGroupAtCentre(GroupWith(b, 100e-9)); },
         [](const CCircuitBoard& b, const CLayer& l) {
             // Where the group's admittance is largest the pivots get lopsided.
             const CCGroup& g = *l.capacitorGroups.front();
             double best = 1e6, bestY = 0.0;
             for (double f = 1e6; f < 1e9; f *= 1.02)
                 if (std::abs(g.GroupAdmittance(f, 0)) > bestY) bestY = std::abs(g.GroupAdmittance(f, 0)), best = f;
             (void)b;
             return Sweep(best, best, 0);
         }},
    };
    for (const auto& c : cases) {
        auto b = Board(c.length, c.width);
        CLayer& l = *b->SolverLayer();
        if (c.setUp) c.setUp(*b, l);
        ASSERT_TRUE(l.BuildMesh(c.fTop, c.resolution)) << c.what;
        const CAnalysisDomain d = c.sweep(*b, l);
        const auto reference = Solve(l, d, Options(SolverKind::Umfpack));
        const auto fast = Solve(l, d, Options(SolverKind::Fast, 2));
        EXPECT_EQ(l.LastSolve().fallbackFrequencies, 0) << c.what;
        EXPECT_GT(l.LastSolve().factorNonZeros, 0) << c.what;
        EXPECT_LT(WorstRelativeDifference(fast, reference), 1e-9) << c.what << ", N = " << l.mesh.activeCount;
    }
}

// diag(m^-1) by dense Gauss-Jordan in long double: 11 bits beyond double.
std::vector<Complex> ExtendedInverseDiagonal(const SparseComplexMatrix& m) {
    using LC = std::complex<long double>;
    const int n = m.n;
    std::vector<std::vector<LC>> a(n, std::vector<LC>(n)), inv(n, std::vector<LC>(n));
    for (int j = 0; j < n; ++j) {
        inv[j][j] = 1.0L;
        for (int e = m.columnStart[j]; e < m.columnStart[j + 1]; ++e) a[m.rowIndex[e]][j] = LC(m.re[e], m.im[e]);
    }
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i)
            if (std::abs(a[i][k]) > std::abs(a[p][k])) p = i;
        std::swap(a[k], a[p]);
        std::swap(inv[k], inv[p]);
        const LC pivot = a[k][k];
        for (int j = 0; j < n; ++j) a[k][j] /= pivot, inv[k][j] /= pivot;
        for (int i = 0; i < n; ++i) {
            if (i == k || a[i][k] == LC(0)) continue;
            const LC f = a[i][k];
            for (int j = k; j < n; ++j) a[i][j] -= f * a[k][j];
            for (int j = 0; j < n; ++j) inv[i][j] -= f * inv[k][j];
        }
    }
    std::vector<Complex> d(n);
    for (int i = 0; i < n; ++i) d[i] = Complex(static_cast<double>(inv[i][i].real()), static_cast<double>(inv[i][i].imag()));
    return d;
}

double WorstRelativeError(const std::vector<Complex>& x, const std::vector<Complex>& exact) {
    double worst = 0.0;
    for (std::size_t i = 0; i < exact.size(); ++i) worst = std::max(worst, std::abs(x[i] - exact[i]) / std::abs(exact[i]));
    return worst;
}

// Far below the first resonance the plane is nearly equipotential: M is a
// large Laplacian plus a tiny shunt, and rounding the entries to double
// moves diag(M^-1) by about eps / (gamma^2). Neither path can then be
// closer than that to the exact inverse, nor to each other; the fast path
// must be as good as the reference.
TEST(FastSolver, AtLowFrequenciesIsAsAccurateAsUmfpack) {
    auto b = Board(0.099, 0.071);
    CLayer& l = *b->SolverLayer();
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.030, 0.020, 0.050, 0.040, "Loch"));
    ASSERT_TRUE(l.BuildMesh(1e9, 2.0));
    for (double f : {1e3, 1e4, 1e5, 1e6, 1e7}) {
        CAnalysisDomain d = Sweep(f, f, 0);
        const auto reference = Solve(l, d, Options(SolverKind::Umfpack));
        const auto fast = Solve(l, d, Options(SolverKind::Fast));
        SparseComplexMatrix m = StructurePattern(l.mesh.structure);
        ASSERT_TRUE(AssemblePlaneMatrix(l, f, m));
        const auto exact = ExtendedInverseDiagonal(m);
        auto diagonal = [&](const ComplexMatrix& map) {
            std::vector<Complex> z(exact.size());
            for (int r = 0; r < l.mesh.ny; ++r)
                for (int c = 0; c < l.mesh.nx; ++c)
                    if (const int k = l.mesh.nodeIndexMap(r, c)) z[k - 1] = map(r, c);
            return z;
        };
        const double errorFast = WorstRelativeError(diagonal(fast[0]), exact);
        const double errorReference = WorstRelativeError(diagonal(reference[0]), exact);
        EXPECT_LT(errorFast, std::max(1e-9, 10.0 * errorReference)) << f << " Hz";
        EXPECT_LT(errorFast, 1e-5) << f << " Hz";
        std::printf("%8.0e Hz, N = %d: error against long double: fast %.2e, UMFPACK %.2e\n", f, l.mesh.activeCount,
                    errorFast, errorReference);
    }
}

TEST(FastSolver, TinyPivotHandsTheFrequencyToUmfpack) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    l.AddGroupAtCentre(GroupWith(*b, 10e-9));
    ASSERT_TRUE(l.BuildMesh(2e9, 2.0));
    const CAnalysisDomain d = Sweep(1e6, 2e9, 3);
    const auto reference = Solve(l, d, Options(SolverKind::Umfpack, 2));
    // No pivot can exceed the largest diagonal: every frequency falls back.
    SolverOptions o = Options(SolverKind::Fast, 2);
    o.pivotTolerance = 1.0;
    const auto fellBack = Solve(l, d, o);
    EXPECT_EQ(l.LastSolve().fallbackFrequencies, 4);
    EXPECT_TRUE(BitIdentical(fellBack, reference));
    EXPECT_EQ(Solve(l, d, Options(SolverKind::Fast, 2)).size(), reference.size());
    EXPECT_EQ(l.LastSolve().fallbackFrequencies, 0);
}

// A small complex symmetric matrix in the solver's compressed-column form.
SparseComplexMatrix Matrix(int n, const std::vector<std::tuple<int, int, Complex>>& upper) {
    std::vector<std::vector<std::pair<int, Complex>>> columns(static_cast<std::size_t>(n));
    for (const auto& [i, j, v] : upper) {
        columns[j].push_back({i, v});
        if (i != j) columns[i].push_back({j, v});
    }
    SparseComplexMatrix m;
    m.n = n;
    m.columnStart.push_back(0);
    for (auto& col : columns) {
        std::sort(col.begin(), col.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [i, v] : col) {
            m.rowIndex.push_back(i);
            m.re.push_back(v.real());
            m.im.push_back(v.imag());
        }
        m.columnStart.push_back(static_cast<int>(m.rowIndex.size()));
    }
    return m;
}

// diag(a^-1) by dense Gauss-Jordan with partial pivoting.
std::vector<Complex> DenseInverseDiagonal(const SparseComplexMatrix& m) {
    const int n = m.n;
    std::vector<std::vector<Complex>> a(n, std::vector<Complex>(2 * n));
    for (int j = 0; j < n; ++j) {
        a[j][n + j] = 1.0;
        for (int e = m.columnStart[j]; e < m.columnStart[j + 1]; ++e) a[m.rowIndex[e]][j] = {m.re[e], m.im[e]};
    }
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i)
            if (std::abs(a[i][k]) > std::abs(a[p][k])) p = i;
        std::swap(a[k], a[p]);
        const Complex pivot = a[k][k];
        for (auto& v : a[k]) v /= pivot;
        for (int i = 0; i < n; ++i)
            if (i != k && a[i][k] != 0.0) {
                const Complex f = a[i][k];
                for (int j = 0; j < 2 * n; ++j) a[i][j] -= f * a[k][j];
            }
    }
    std::vector<Complex> d(n);
    for (int i = 0; i < n; ++i) d[i] = a[i][n + i];
    return d;
}

TEST(SparseLdlt, InverseDiagonalOfRandomSparseMatricesMatchesDenseInversion) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int trial = 0; trial < 20; ++trial) {
        const int n = 5 + trial * 3;
        std::vector<std::tuple<int, int, Complex>> entries;
        std::vector<double> rowSum(n, 0.0);
        for (int e = 0; e < 2 * n; ++e) {
            const int i = static_cast<int>((u(rng) + 1.0) * 0.5 * n) % n, j = static_cast<int>((u(rng) + 1.0) * 0.5 * n) % n;
            if (i == j) continue;
            const Complex v(u(rng), u(rng));
            entries.push_back({std::min(i, j), std::max(i, j), v});
            rowSum[i] += std::abs(v), rowSum[j] += std::abs(v);
        }
        // Positive real part on the diagonal, imaginary parts of both signs.
        for (int i = 0; i < n; ++i) entries.push_back({i, i, Complex(0.1 + rowSum[i], 3.0 * u(rng))});
        // Duplicate pairs add up, as in the dense reference.
        std::map<std::pair<int, int>, Complex> merged;
        for (const auto& [i, j, v] : entries) merged[{i, j}] += v;
        entries.clear();
        for (const auto& [ij, v] : merged) entries.push_back({ij.first, ij.second, v});

        const SparseComplexMatrix m = Matrix(n, entries);
        LdltPattern pattern;
        ASSERT_TRUE(pattern.Analyse(m));
        SparseLdlt ldlt;
        ASSERT_EQ(ldlt.Factorise(pattern, m, 1e-13), SparseLdlt::Status::Ok);
        std::vector<Complex> diag;
        ldlt.InverseDiagonal(pattern, diag);
        const auto expected = DenseInverseDiagonal(m);
        for (int i = 0; i < n; ++i) EXPECT_LT(std::abs(diag[i] - expected[i]), 1e-12 * std::abs(expected[i])) << n;
    }
}

TEST(SparseLdlt, ZeroLeadingPivotIsReportedNotDividedBy) {
    // [[1, 1], [1, 1]] is singular; [[0, 1], [1, 2]] needs a row exchange.
    for (const auto& m : {Matrix(2, {{0, 0, 1.0}, {0, 1, 1.0}, {1, 1, 1.0}}),
                          Matrix(2, {{0, 0, 0.0}, {0, 1, 1.0}, {1, 1, 2.0}})}) {
        LdltPattern pattern;
        ASSERT_TRUE(pattern.Analyse(m));
        SparseLdlt ldlt;
        EXPECT_EQ(ldlt.Factorise(pattern, m, 1e-13), SparseLdlt::Status::SmallPivot);
    }
    const SparseComplexMatrix nan = Matrix(1, {{0, 0, Complex(std::nan(""), 0.0)}});
    LdltPattern pattern;
    ASSERT_TRUE(pattern.Analyse(nan));
    SparseLdlt ldlt;
    EXPECT_EQ(ldlt.Factorise(pattern, nan, 1e-13), SparseLdlt::Status::NotFinite);
}

TEST(FastSolver, ResultsAreBitIdenticalForOneAndSeveralThreads) {
    auto b = Board(0.040, 0.030);
    CLayer& l = *b->SolverLayer();
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.010, 0.010, 0.020, 0.015, "Loch"));
    l.AddGroupAtCentre(GroupWith(*b, 22e-9)).posX = 0.03;
    ASSERT_TRUE(l.BuildMesh(3e9, 2.0));
    const CAnalysisDomain d = Sweep(1e6, 3e9, 12);
    for (SolverKind kind : {SolverKind::Fast, SolverKind::Umfpack}) {
        const auto one = Solve(l, d, Options(kind, 1));
        const auto labels = l.results.resultLabels;
        for (int threads : {2, 3, 5}) {
            const auto several = Solve(l, d, Options(kind, threads));
            EXPECT_EQ(l.LastSolve().threads, threads);
            EXPECT_TRUE(BitIdentical(one, several)) << threads << " threads";
            EXPECT_EQ(l.results.resultLabels, labels);
        }
    }
}

TEST(FastSolver, ProgressComesInFrequencyOrderFromSeveralThreads) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    ASSERT_TRUE(l.BuildMesh(2e9, 2.0));
    RecordingInteraction ui;
    ASSERT_TRUE(l.SolvePlane(Sweep(1e6, 2e9, 9), ui, Options(SolverKind::Fast, 3)));
    std::vector<int> upper;
    for (const auto& e : ui.events())
        if (e.kind == RecordingInteraction::Kind::ProgressValue && e.bar == ProgressBar::Upper) upper.push_back(e.value);
    EXPECT_EQ(upper, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(FastSolver, CancelBetweenFrequenciesKeepsThePreviousResults) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    ASSERT_TRUE(l.BuildMesh(2e9, 2.0));
    const auto before = Solve(l, Sweep(1e6, 1e9, 2), Options(SolverKind::Fast, 2));
    const auto labels = l.results.resultLabels;
    for (int polls : {0, 1, 4}) {
        RecordingInteraction ui;
        ui.cancelAfterPolls(polls);
        EXPECT_FALSE(l.SolvePlane(Sweep(1e6, 2e9, 9), ui, Options(SolverKind::Fast, 2)));
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_NE(ui.messages()[0].find("abgebrochen"), std::string::npos);
        int delivered = 0;
        for (const auto& e : ui.events())
            if (e.kind == RecordingInteraction::Kind::ProgressValue && e.bar == ProgressBar::Upper) ++delivered;
        EXPECT_EQ(delivered, polls) << "one poll before each frequency";
        EXPECT_EQ(l.results.resultLabels, labels);
        ASSERT_EQ(l.results.resultMaps.size(), before.size());
        for (std::size_t e = 0; e < before.size(); ++e) EXPECT_TRUE(l.results.resultMaps[e].SharesStorageWith(before[e]));
    }
}

TEST(RunInOrder, DeliversInJobOrderAndStopsWhenAsked) {
    for (int threads : {1, 2, 4}) {
        std::vector<int> seen;
        std::atomic<int> started{0};
        // Early jobs take longest, so later ones finish first.
        auto work = [&](int, int job) {
            ++started;
            volatile double x = 0;
            for (int i = 0; i < (40 - job) * 20000; ++i) x = x + 1.0;
            return job * 10;
        };
        auto deliver = [&](int i, int&& r) {
            EXPECT_EQ(r, i * 10);
            seen.push_back(i);
            return i < 29;
        };
        EXPECT_FALSE(RunInOrder<int>(40, threads, work, [] { return true; }, deliver));
        std::vector<int> expected(30);
        for (int i = 0; i < 30; ++i) expected[i] = i;
        EXPECT_EQ(seen, expected);
        EXPECT_LE(started.load(), 30 + 2 * threads) << "no job runs far ahead of delivery";
    }
}

TEST(RunInOrder, ExceptionOfAJobReachesTheCaller) {
    auto work = [](int, int job) -> int {
        if (job == 3) throw std::runtime_error("job 3");
        return job;
    };
    int delivered = 0;
    EXPECT_THROW(RunInOrder<int>(8, 2, work, [] { return true; },
                                 [&](int, int&&) {
                                     ++delivered;
                                     return true;
                                 }),
                 std::runtime_error);
    EXPECT_EQ(delivered, 3);
}

}  // namespace
}  // namespace vantor
