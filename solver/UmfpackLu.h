#pragma once
// Complex sparse LU through UMFPACK's int-index interface, with the symbolic
// and numeric objects owned here. The symbolic analysis is done once for a
// pattern and reused by every numeric factorisation of the sweep.

#include <vector>

namespace vantor {

/// A square complex matrix in compressed-column form, split real/imaginary.
struct SparseComplexMatrix {
    int n = 0;
    std::vector<int> columnStart;  // n + 1
    std::vector<int> rowIndex;
    std::vector<double> re;
    std::vector<double> im;
};

class UmfpackLu {
public:
    UmfpackLu() = default;
    ~UmfpackLu();
    UmfpackLu(const UmfpackLu&) = delete;
    UmfpackLu& operator=(const UmfpackLu&) = delete;

    /// Symbolic analysis of the pattern; returns UMFPACK's status.
    int Analyse(const SparseComplexMatrix& a);
    /// Numeric factorisation of a matrix with the analysed pattern; returns
    /// UMFPACK's status (a singular matrix gives a positive warning).
    int Factorise(const SparseComplexMatrix& a);
    /// Solves A x = b with the last factorisation; returns the status.
    int Solve(const SparseComplexMatrix& a, const double* bRe, const double* bIm, double* xRe, double* xIm);

    /// Peak memory UMFPACK reported for the last factorisation, bytes.
    double FactorBytes() const { return factorBytes_; }
    /// Non-zeros of L and U of the last factorisation.
    long long FactorNonZeros() const;

    /// Text for a failed status, in the program's language.
    static const char* StatusText(int status);
    static bool Failed(int status);

private:
    void FreeNumeric();
    void FreeSymbolic();

    void* symbolic_ = nullptr;
    void* numeric_ = nullptr;
    std::vector<int> wi_;
    std::vector<double> w_;
    double factorBytes_ = 0.0;
};

}  // namespace vantor
