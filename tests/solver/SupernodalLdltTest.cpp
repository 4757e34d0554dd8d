// The supernodal LDL^T and its selected inversion against dense inversion,
// with both fill-reducing orders: random complex symmetric systems whose
// blocks are large enough for the blocked kernels, and planes with cut-outs
// from far below the first resonance to above it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "SolverTestSupport.h"
#include "PlaneSolver.h"
#include "SparseLdlt.h"

namespace vantor {
namespace {

using Complex = std::complex<double>;
using namespace testing;

const FillOrdering kOrderings[] = {FillOrdering::MinimumDegree, FillOrdering::NestedDissection};

double WorstRelativeDifference(const std::vector<Complex>& a, const std::vector<Complex>& b) {
    EXPECT_EQ(a.size(), b.size());
    double worst = 0.0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]) / std::abs(b[i]));
    return worst;
}

std::vector<Complex> SupernodalInverseDiagonal(const SparseComplexMatrix& m, FillOrdering ordering,
                                               int* supernodes = nullptr) {
    LdltPattern pattern;
    EXPECT_TRUE(pattern.Analyse(m, ordering));
    if (supernodes) *supernodes = pattern.SupernodeCount();
    SparseLdlt ldlt;
    EXPECT_EQ(ldlt.Factorise(pattern, m, 1e-13), SparseLdlt::Status::Ok);
    std::vector<Complex> diagonal;
    ldlt.InverseDiagonal(pattern, diagonal);
    return diagonal;
}

// Sparse random couplings plus a dense clique of `clique` nodes, which makes
// one supernode wider than a panel, so that the blocked factorisation, the
// BLAS products and the runs into several ancestors all take part.
SparseComplexMatrix RandomSystem(std::mt19937& rng, int n, int clique) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::uniform_int_distribution<int> node(0, n - 1);
    std::map<std::pair<int, int>, Complex> entries;
    std::vector<double> rowSum(static_cast<std::size_t>(n), 0.0);
    auto couple = [&](int i, int j) {
        const Complex v(u(rng), u(rng));
        entries[{std::min(i, j), std::max(i, j)}] += v;
        rowSum[i] += std::abs(v), rowSum[j] += std::abs(v);
    };
    for (int e = 0; e < 3 * n; ++e)
        if (const int i = node(rng), j = node(rng); i != j) couple(i, j);
    for (int i = 0; i < clique; ++i)
        for (int j = i + 1; j < clique; ++j) couple(i * (n / clique), j * (n / clique));
    // Positive real part on the diagonal, imaginary parts of both signs.
    for (int i = 0; i < n; ++i) entries[{i, i}] = Complex(0.1 + rowSum[i], 3.0 * u(rng));
    return Matrix(n, entries);
}

// Small systems without a clique run through every size from 5 to 62.
TEST(SupernodalLdlt, RandomSystemsAgreeWithDenseInversionForBothOrders) {
    std::mt19937 rng(11);
    std::vector<std::pair<int, int>> sizes = {{1, 0}, {2, 0}, {12, 0}, {40, 8}, {90, 40}, {160, 70}};
    for (int n = 5; n <= 62; n += 3) sizes.push_back({n, 0});
    for (const auto& [n, clique] : sizes) {
        const SparseComplexMatrix m = RandomSystem(rng, n, clique);
        const auto expected = DenseInverseDiagonal<long double>(m);
        for (FillOrdering ordering : kOrderings) {
            int supernodes = 0;
            const auto diagonal = SupernodalInverseDiagonal(m, ordering, &supernodes);
            EXPECT_LT(WorstRelativeDifference(diagonal, expected), 1e-12) << "n = " << n;
            if (clique > 0) {
                EXPECT_LE(supernodes, n - clique + 1) << "the clique shares blocks, n = " << n;
            }
        }
    }
}

TEST(SupernodalLdlt, PlaneWithCutOutsAgreesWithDenseInversionFromFarBelowResonanceUp) {
    auto [b, l] = Plane(0.036, 0.027);
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.010, 0.005, 0.016, 0.018, "Loch"));
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.006, 0.004, "Ecke"));
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.026, 0.022, 0.036, 0.027, "Rand"));
    l.AddGroupAtCentre(GroupWith(*b, 10e-9)).posX = 0.030;
    ASSERT_TRUE(l.BuildMesh(3e9, 3.0));
    ASSERT_GT(l.mesh.activeCount, 200);
    // At 10 kHz the Laplacian part outweighs the shunt by about 1e12: a
    // pivot taken from the updated diagonal instead of the row sums loses
    // the shunt to cancellation, and every impedance with it.
    for (double f : {1e4, 1e6, 1e8, 1e9, 3e9}) {
        SparseComplexMatrix m = StructurePattern(l.mesh.structure);
        ASSERT_TRUE(AssemblePlaneMatrix(l, f, m));
        const auto exact = DenseInverseDiagonal<long double>(m);
        for (FillOrdering ordering : kOrderings)
            EXPECT_LT(WorstRelativeDifference(SupernodalInverseDiagonal(m, ordering), exact), 1e-9)
                << f << " Hz, N = " << m.n;
    }
}

}  // namespace
}  // namespace vantor

// OpenBLAS 0.3.21 does not know processors newer than itself by model and
// falls back to its generic SSE3 kernels, at about half the speed of the
// block products; the solver chooses by instruction set instead.
TEST(SupernodalLdlt, BlockProductsRunOnTheKernelsOfTheProcessorsInstructionSets) {
    if (std::getenv("OPENBLAS_CORETYPE")) GTEST_SKIP() << "kernels chosen by hand in OPENBLAS_CORETYPE";
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) GTEST_SKIP() << "no AVX2 here";
    const std::string kernels = vantor::BlasKernelName();
    EXPECT_FALSE(kernels.empty());
    EXPECT_NE(kernels, "Prescott");
}
