#include "SparseLdlt.h"

#include <amd.h>

#include <algorithm>
#include <cmath>

namespace vantor {

namespace {

using Complex = std::complex<double>;

// Plain products: the library's operator* takes a slow path for infinities
// that the finite values here never need.
inline Complex Mul(Complex a, Complex b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

inline void SubMul(Complex& y, Complex a, Complex b) {
    y = {y.real() - (a.real() * b.real() - a.imag() * b.imag()),
         y.imag() - (a.real() * b.imag() + a.imag() * b.real())};
}

inline Complex Reciprocal(Complex a) { return 1.0 / a; }

}  // namespace

bool LdltPattern::Analyse(const SparseComplexMatrix& a) {
    n_ = a.n;
    const int n = n_;
    order_.assign(static_cast<std::size_t>(n), 0);
    if (n > 0) {
        const int status = amd_order(n, a.columnStart.data(), a.rowIndex.data(), order_.data(), nullptr, nullptr);
        if (status != AMD_OK && status != AMD_OK_BUT_JUMBLED) return false;
    }
    std::vector<int> position(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) position[order_[k]] = k;

    // Each symmetric pair once, in the column of its later position.
    upperStart_.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int j = 0; j < n; ++j)
        for (int e = a.columnStart[j]; e < a.columnStart[j + 1]; ++e) {
            const int pi = position[a.rowIndex[e]], pj = position[j];
            if (pi <= pj) ++upperStart_[pj + 1];
        }
    for (int k = 0; k < n; ++k) upperStart_[k + 1] += upperStart_[k];
    upperRow_.assign(static_cast<std::size_t>(upperStart_[n]), 0);
    upperSource_.assign(upperRow_.size(), 0);
    std::vector<int> next(upperStart_.begin(), upperStart_.end() - 1);
    for (int j = 0; j < n; ++j)
        for (int e = a.columnStart[j]; e < a.columnStart[j + 1]; ++e) {
            const int pi = position[a.rowIndex[e]], pj = position[j];
            if (pi > pj) continue;
            const int slot = next[pj]++;
            upperRow_[slot] = pi;
            upperSource_[slot] = e;
        }

    // Elimination tree and column counts of L.
    parent_.assign(static_cast<std::size_t>(n), -1);
    std::vector<int> flag(static_cast<std::size_t>(n));
    std::vector<std::int64_t> count(static_cast<std::size_t>(n), 0);
    for (int k = 0; k < n; ++k) {
        flag[k] = k;
        for (int p = upperStart_[k]; p < upperStart_[k + 1]; ++p) {
            for (int i = upperRow_[p]; i < k && flag[i] != k; i = parent_[i]) {
                if (parent_[i] == -1) parent_[i] = k;
                ++count[i];
                flag[i] = k;
            }
        }
    }
    columnStart_.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int k = 0; k < n; ++k) columnStart_[k + 1] = columnStart_[k] + count[k];
    return true;
}

SparseLdlt::Status SparseLdlt::Factorise(const LdltPattern& s, const SparseComplexMatrix& a, double pivotTolerance) {
    const int n = s.n_;
    const auto nnz = static_cast<std::size_t>(s.FactorNonZeros());
    row_.resize(nnz);
    value_.resize(nnz);
    d_.resize(static_cast<std::size_t>(n));
    work_.assign(2 * static_cast<std::size_t>(n), Complex(0.0, 0.0));
    count_.assign(static_cast<std::size_t>(n), 0);
    flag_.resize(static_cast<std::size_t>(n));
    stack_.resize(static_cast<std::size_t>(n));

    double largestDiagonal = 0.0;
    for (int j = 0; j < a.n; ++j)
        for (int e = a.columnStart[j]; e < a.columnStart[j + 1]; ++e)
            if (a.rowIndex[e] == j) largestDiagonal = std::max(largestDiagonal, std::hypot(a.re[e], a.im[e]));
    const double smallest = pivotTolerance * largestDiagonal;

    Complex* y = work_.data();
    Complex* lx = value_.data();
    int* li = row_.data();
    const std::int64_t* lp = s.columnStart_.data();
    // Up-looking: row k of L from a sparse triangular solve whose pattern is
    // the reach of row k's entries in the elimination tree.
    for (int k = 0; k < n; ++k) {
        int top = n;
        flag_[k] = k;
        for (int p = s.upperStart_[k]; p < s.upperStart_[k + 1]; ++p) {
            int i = s.upperRow_[p];
            const int e = s.upperSource_[p];
            y[i] += Complex(a.re[e], a.im[e]);
            int len = 0;
            for (; flag_[i] != k; i = s.parent_[i]) {
                stack_[len++] = i;
                flag_[i] = k;
            }
            while (len > 0) stack_[--top] = stack_[--len];
        }
        Complex dk = y[k];
        y[k] = 0.0;
        for (; top < n; ++top) {
            const int i = stack_[top];
            const Complex yi = y[i];
            y[i] = 0.0;
            const std::int64_t end = lp[i] + count_[i];
            for (std::int64_t p = lp[i]; p < end; ++p) SubMul(y[li[p]], lx[p], yi);
            const Complex lki = Mul(yi, d_[i]);  // d_ holds reciprocal pivots meanwhile
            SubMul(dk, lki, yi);
            li[end] = k;
            lx[end] = lki;
            ++count_[i];
        }
        if (!std::isfinite(dk.real()) || !std::isfinite(dk.imag())) return Status::NotFinite;
        if (!(std::abs(dk) > smallest)) return Status::SmallPivot;
        d_[k] = Reciprocal(dk);
    }
    return Status::Ok;
}

void SparseLdlt::InverseDiagonal(const LdltPattern& s, std::vector<Complex>& diagonal) {
    const int n = s.n_;
    const std::int64_t* lp = s.columnStart_.data();
    const int* li = row_.data();
    Complex* v = value_.data();
    Complex* y = work_.data();  // by position within the current column
    // Backwards over the columns: Z(S, j) = -Z(S, S) L(S, j) and
    // Z(j, j) = 1 / d_j - L(S, j)^T Z(S, j), S the rows of L(:, j). For k in
    // S the rows of S beyond k are among the rows of column k (the filled
    // graph), so Z(S, S) is found by merging two ascending row lists.
    for (int j = n - 1; j >= 0; --j) {
        const std::int64_t b = lp[j], e = lp[j + 1];
        const int len = static_cast<int>(e - b);
        for (int a = 0; a < len; ++a) y[a] = 0.0;
        for (int a = 0; a < len; ++a) {
            const int k = li[b + a];
            const Complex lkj = v[b + a];
            Complex yk = y[a];
            SubMul(yk, d_[k], lkj);
            std::int64_t q = lp[k];
            const std::int64_t qe = lp[k + 1];
            for (int c = a + 1; c < len; ++c) {
                const int r = li[b + c];
                while (q < qe && li[q] < r) ++q;
                const Complex z = v[q];
                SubMul(y[c], z, lkj);
                SubMul(yk, z, v[b + c]);
            }
            y[a] = yk;
        }
        Complex zjj = d_[j];  // the reciprocal pivot
        for (int a = 0; a < len; ++a) {
            SubMul(zjj, v[b + a], y[a]);
            v[b + a] = y[a];
        }
        d_[j] = zjj;
    }
    diagonal.resize(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) diagonal[s.order_[k]] = d_[k];
}

double SparseLdlt::Bytes() const {
    return static_cast<double>(row_.capacity() * sizeof(int) + value_.capacity() * sizeof(Complex) +
                               (d_.capacity() + work_.capacity()) * sizeof(Complex) +
                               (count_.capacity() + flag_.capacity() + stack_.capacity()) * sizeof(int));
}

}  // namespace vantor
