#include "SparseLdlt.h"

#include <cblas.h>

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

inline void AddMul(Complex& y, Complex a, Complex b) {
    y = {y.real() + (a.real() * b.real() - a.imag() * b.imag()),
         y.imag() + (a.real() * b.imag() + a.imag() * b.real())};
}

inline void SubMul(Complex& y, Complex a, Complex b) {
    y = {y.real() - (a.real() * b.real() - a.imag() * b.imag()),
         y.imag() - (a.real() * b.imag() + a.imag() * b.real())};
}

// Below this many multiply-adds a plain loop beats the call into BLAS.
constexpr double kSmallProduct = 1024.0;

// Column slices of an update block: its upper part, never used, is then
// computed only within the slices' diagonal squares.
constexpr int kSlice = 32;

// C = sign op(A) op(B) + (accumulate ? C : 0), column-major, op a plain
// transpose when asked (complex symmetric: never conjugated).
void Gemm(bool transA, bool transB, int m, int n, int k, double sign, const Complex* a, int lda, const Complex* b,
          int ldb, bool accumulate, Complex* c, int ldc) {
    if (m == 0 || n == 0) return;
    if (static_cast<double>(m) * n * k >= kSmallProduct) {
        const Complex alpha(sign, 0.0), beta(accumulate ? 1.0 : 0.0, 0.0);
        cblas_zgemm(CblasColMajor, transA ? CblasTrans : CblasNoTrans, transB ? CblasTrans : CblasNoTrans, m, n, k,
                    &alpha, a, lda, b, ldb, &beta, c, ldc);
        return;
    }
    // Element (l, j) of op(B).
    auto opB = [&](int l, int j) {
        return transB ? b[j + static_cast<std::ptrdiff_t>(l) * ldb] : b[l + static_cast<std::ptrdiff_t>(j) * ldb];
    };
    for (int j = 0; j < n; ++j) {
        Complex* cj = c + static_cast<std::ptrdiff_t>(j) * ldc;
        if (transA) {
            // Dot products down the columns of a.
            for (int i = 0; i < m; ++i) {
                const Complex* ai = a + static_cast<std::ptrdiff_t>(i) * lda;
                Complex sum(0.0, 0.0);
                for (int l = 0; l < k; ++l) AddMul(sum, ai[l], opB(l, j));
                cj[i] = (accumulate ? cj[i] : Complex(0.0, 0.0)) + (sign > 0 ? sum : -sum);
            }
            continue;
        }
        if (!accumulate) std::fill(cj, cj + m, Complex(0.0, 0.0));
        for (int l = 0; l < k; ++l) {
            const Complex t = sign > 0 ? opB(l, j) : -opB(l, j);
            const Complex* al = a + static_cast<std::ptrdiff_t>(l) * lda;
            for (int i = 0; i < m; ++i) AddMul(cj[i], al[i], t);
        }
    }
}

// B = B L^-1 for B m x w and L unit lower triangular w x w.
void SolveRightUnitLower(int m, int w, const Complex* l, int ldl, Complex* b, int ldb) {
    if (m == 0 || w == 0) return;
    if (static_cast<double>(m) * w * w >= 2.0 * kSmallProduct) {
        const Complex one(1.0, 0.0);
        cblas_ztrsm(CblasColMajor, CblasRight, CblasLower, CblasNoTrans, CblasUnit, m, w, &one, l, ldl, b, ldb);
        return;
    }
    for (int k = w - 1; k >= 0; --k) {
        Complex* bk = b + static_cast<std::ptrdiff_t>(k) * ldb;
        for (int j = k + 1; j < w; ++j) {
            const Complex ljk = l[j + static_cast<std::ptrdiff_t>(k) * ldl];
            const Complex* bj = b + static_cast<std::ptrdiff_t>(j) * ldb;
            for (int i = 0; i < m; ++i) SubMul(bk[i], bj[i], ljk);
        }
    }
}

// X = L^-1, w x w with leading dimension w, for L unit lower triangular.
void UnitLowerInverse(int w, const Complex* l, int ldl, Complex* x) {
    std::fill(x, x + static_cast<std::ptrdiff_t>(w) * w, Complex(0.0, 0.0));
    for (int k = 0; k < w; ++k) x[k + static_cast<std::ptrdiff_t>(k) * w] = 1.0;
    if (static_cast<double>(w) * w * w >= 2.0 * kSmallProduct) {
        const Complex one(1.0, 0.0);
        cblas_ztrsm(CblasColMajor, CblasLeft, CblasLower, CblasNoTrans, CblasUnit, w, w, &one, l, ldl, x, w);
        return;
    }
    for (int c = 0; c < w; ++c) {
        Complex* xc = x + static_cast<std::ptrdiff_t>(c) * w;
        for (int k = c; k < w; ++k) {
            const Complex xk = xc[k];
            const Complex* lk = l + static_cast<std::ptrdiff_t>(k) * ldl;
            for (int i = k + 1; i < w; ++i) SubMul(xc[i], lk[i], xk);
        }
    }
}

// a + b as a sum and its rounding error (Knuth's TwoSum).
inline double TwoSum(double a, double b, double& error) {
    const double sum = a + b, bb = sum - a;
    error = (a - (sum - bb)) + (b - bb);
    return sum;
}

// The row sums of a, as accurate as if summed in twice the precision.
void RowSums(const SparseComplexMatrix& a, std::vector<Complex>& sums) {
    sums.resize(static_cast<std::size_t>(a.n));
    for (int j = 0; j < a.n; ++j) {
        double re = 0.0, im = 0.0, reError = 0.0, imError = 0.0, e1 = 0.0, e2 = 0.0;
        for (int e = a.columnStart[j]; e < a.columnStart[j + 1]; ++e) {
            re = TwoSum(re, a.re[e], e1);
            im = TwoSum(im, a.im[e], e2);
            reError += e1;
            imError += e2;
        }
        sums[j] = Complex(re + reError, im + imError);  // symmetric: column sums
    }
}

// LDL^T of the columns of one supernode's block (height x w, leading
// dimension height, rows the block's rows): the diagonal block and the rows
// below at once, in panels whose update of the later columns is one product.
//
// Each pivot is the row sum of its row in the remaining matrix less the
// off-diagonal part of that row, not the updated diagonal: below the first
// resonance the plane's matrix is a large Laplacian plus a small shunt, and
// the updated diagonal would lose the shunt in the cancellation of large
// numbers (the last pivot is the whole plane's shunt). The row sums y of the
// remaining matrix follow as L^-1 times the row sums of the matrix.
SparseLdlt::Status FactorBlock(Complex* b, int height, int w, const int* rows, Complex* d, Complex* y, double smallest,
                               std::vector<Complex>& scaled) {
    constexpr int kPanel = 32;
    const std::ptrdiff_t ld = height;
    for (int k0 = 0; k0 < w; k0 += kPanel) {
        const int k1 = std::min(w, k0 + kPanel);
        for (int k = k0; k < k1; ++k) {
            Complex* bk = b + k * ld;
            for (int j = k0; j < k; ++j) {
                const Complex* bj = b + j * ld;
                const Complex t = Mul(bj[k], d[j]);
                for (int i = k; i < height; ++i) SubMul(bk[i], bj[i], t);
            }
            Complex offDiagonal(0.0, 0.0);
            for (int i = k + 1; i < height; ++i) offDiagonal += bk[i];
            const Complex yk = y[rows[k]];
            const Complex dk = yk - offDiagonal;
            if (!std::isfinite(dk.real()) || !std::isfinite(dk.imag()) || !std::isfinite(bk[k].real()) ||
                !std::isfinite(bk[k].imag()))
                return SparseLdlt::Status::NotFinite;
            if (!(std::abs(dk) > smallest)) return SparseLdlt::Status::SmallPivot;
            d[k] = dk;
            const Complex inverse = 1.0 / dk;
            for (int i = k + 1; i < height; ++i) {
                bk[i] = Mul(bk[i], inverse);
                SubMul(y[rows[i]], bk[i], yk);
            }
        }
        if (k1 == w) break;
        // Later columns: B(k1:, k1:) -= L(k1:, k0:k1) D L(k1:w, k0:k1)^T.
        const int rest = w - k1, width = k1 - k0;
        scaled.resize(static_cast<std::size_t>(rest) * width);
        for (int j = 0; j < width; ++j)
            for (int i = 0; i < rest; ++i) scaled[i + j * rest] = Mul(b[k1 + i + (k0 + j) * ld], d[k0 + j]);
        Gemm(false, true, height - k1, rest, width, -1.0, b + k1 + k0 * ld, height, scaled.data(), rest, true,
             b + k1 + k1 * ld, height);
    }
    return SparseLdlt::Status::Ok;
}

}  // namespace

SparseLdlt::Status SparseLdlt::Factorise(const LdltPattern& s, const SparseComplexMatrix& a, double pivotTolerance) {
    BlasOnOneThread();
    const int ns = s.SupernodeCount();
    value_.assign(static_cast<std::size_t>(s.valueStart_.back()), Complex(0.0, 0.0));
    d_.resize(static_cast<std::size_t>(s.n_));
    block_.resize(static_cast<std::size_t>(s.largestRunBlock_));
    panel_.resize(static_cast<std::size_t>(s.largestPanel_));

    double largestDiagonal = 0.0;
    for (int j = 0; j < a.n; ++j)
        for (int e = a.columnStart[j]; e < a.columnStart[j + 1]; ++e)
            if (a.rowIndex[e] == j) largestDiagonal = std::max(largestDiagonal, std::hypot(a.re[e], a.im[e]));
    const double smallest = pivotTolerance * largestDiagonal;

    RowSums(a, rowSum_);
    remainingSum_.resize(static_cast<std::size_t>(s.n_));
    for (int k = 0; k < s.n_; ++k) remainingSum_[k] = rowSum_[s.order_[k]];

    for (std::size_t p = 0; p < s.assemblySlot_.size(); ++p) {
        const int e = s.assemblySource_[p];
        value_[s.assemblySlot_[p]] += Complex(a.re[e], a.im[e]);
    }

    // Right-looking: each supernode, once factorised, subtracts its update
    // L(S) D L(S)^T from the ancestors that own the rows S below it, one run
    // of S (the columns of one ancestor) at a time.
    for (int j = 0; j < ns; ++j) {
        const int w = s.first_[j + 1] - s.first_[j];
        const int height = static_cast<int>(s.rowStart_[j + 1] - s.rowStart_[j]), m = height - w;
        Complex* b = value_.data() + s.valueStart_[j];
        Complex* d = d_.data() + s.first_[j];
        const Status status = FactorBlock(b, height, w, s.rows_.data() + s.rowStart_[j], d, remainingSum_.data(),
                                          smallest, square_);
        if (status != Status::Ok) return status;
        if (m == 0) continue;
        const Complex* below = b + w;
        for (int k = 0; k < w; ++k)
            for (int i = 0; i < m; ++i) panel_[i + k * m] = Mul(below[i + k * height], d[k]);
        const int* belowRows = s.rows_.data() + s.rowStart_[j] + w;
        for (int g = s.runStart_[j]; g < s.runStart_[j + 1]; ++g) {
            const int r0 = s.runBegin_[g], columns = s.runEnd_[g] - r0, rows = m - r0;
            const int target = s.runTarget_[g];
            // Only the lower part is scattered: slices down the diagonal.
            for (int c0 = 0; c0 < columns; c0 += kSlice)
                Gemm(false, true, rows - c0, std::min(kSlice, columns - c0), w, 1.0, panel_.data() + r0 + c0, m,
                     below + r0 + c0, height, false, block_.data() + c0 + static_cast<std::ptrdiff_t>(c0) * rows, rows);
            Complex* t = value_.data() + s.valueStart_[target];
            const std::int64_t targetHeight = s.rowStart_[target + 1] - s.rowStart_[target];
            const int* at = s.runRow_.data() + s.runRowStart_[g];
            for (int c = 0; c < columns; ++c) {
                Complex* tc = t + (belowRows[r0 + c] - s.first_[target]) * targetHeight;
                const Complex* u = block_.data() + static_cast<std::ptrdiff_t>(c) * rows;
                for (int i = c; i < rows; ++i) tc[at[i]] -= u[i];
            }
        }
    }
    return Status::Ok;
}

void SparseLdlt::InverseDiagonal(const LdltPattern& s, std::vector<Complex>& diagonal) {
    const int ns = s.SupernodeCount();
    const std::size_t width = static_cast<std::size_t>(s.largestWidth_);
    square_.resize(3 * width * width);
    // Backwards over the supernodes, J its columns and S the rows below:
    // with U = L(S, J) L(J, J)^-1, Z(S, J) = -Z(S, S) U and Z(J, J) =
    // L(J, J)^-T D^-1 L(J, J)^-1 - U^T Z(S, J). Z(S, S) lies in the blocks
    // of the ancestors, already inverted, one run of S at a time.
    for (int j = ns - 1; j >= 0; --j) {
        const int w = s.first_[j + 1] - s.first_[j];
        const int height = static_cast<int>(s.rowStart_[j + 1] - s.rowStart_[j]), m = height - w;
        Complex* b = value_.data() + s.valueStart_[j];
        Complex* u = b + w;
        const int* belowRows = s.rows_.data() + s.rowStart_[j] + w;
        SolveRightUnitLower(m, w, b, height, u, height);
        Complex* y = panel_.data();
        std::fill(y, y + static_cast<std::ptrdiff_t>(m) * w, Complex(0.0, 0.0));
        for (int g = s.runStart_[j]; g < s.runStart_[j + 1]; ++g) {
            const int r0 = s.runBegin_[g], columns = s.runEnd_[g] - r0, rows = m - r0;
            const int target = s.runTarget_[g];
            const Complex* t = value_.data() + s.valueStart_[target];
            const std::int64_t targetHeight = s.rowStart_[target + 1] - s.rowStart_[target];
            const int* at = s.runRow_.data() + s.runRowStart_[g];
            Complex* z = block_.data();  // Z(S(r0:), run), the run's square made whole
            for (int c = 0; c < columns; ++c) {
                const Complex* tc = t + (belowRows[r0 + c] - s.first_[target]) * targetHeight;
                Complex* zc = z + static_cast<std::ptrdiff_t>(c) * rows;
                for (int i = c; i < rows; ++i) zc[i] = tc[at[i]];
                for (int i = 0; i < c; ++i) zc[i] = z[c + static_cast<std::ptrdiff_t>(i) * rows];
            }
            Gemm(false, false, rows, w, columns, -1.0, z, rows, u + r0, height, true, y + r0, m);
            Gemm(true, false, columns, w, rows - columns, -1.0, z + columns, rows, u + r0 + columns, height, true,
                 y + r0, m);
        }
        Complex* inverse = square_.data();
        Complex* scaled = inverse + width * width;
        Complex* zjj = scaled + width * width;
        UnitLowerInverse(w, b, height, inverse);
        for (int c = 0; c < w; ++c)
            for (int k = 0; k < w; ++k) scaled[k + c * w] = inverse[k + c * w] / d_[s.first_[j] + k];
        Gemm(true, false, w, w, w, 1.0, inverse, w, scaled, w, false, zjj, w);
        Gemm(true, false, w, w, m, -1.0, u, height, y, m, true, zjj, w);
        for (int c = 0; c < w; ++c) {
            std::copy(zjj + c * w, zjj + (c + 1) * w, b + static_cast<std::ptrdiff_t>(c) * height);
            std::copy(y + static_cast<std::ptrdiff_t>(c) * m, y + static_cast<std::ptrdiff_t>(c + 1) * m,
                      u + static_cast<std::ptrdiff_t>(c) * height);
            d_[s.first_[j] + c] = zjj[c + c * w];
        }
    }
    diagonal.resize(static_cast<std::size_t>(s.n_));
    for (int k = 0; k < s.n_; ++k) diagonal[s.order_[k]] = d_[k];
}

double SparseLdlt::Bytes() const {
    return static_cast<double>((value_.capacity() + d_.capacity() + block_.capacity() + panel_.capacity() +
                                square_.capacity() + rowSum_.capacity() + remainingSum_.capacity()) *
                               sizeof(Complex));
}

}  // namespace vantor
