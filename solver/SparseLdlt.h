#pragma once
// Complex symmetric (not Hermitian) sparse LDL^T without pivoting, and the
// diagonal of the inverse by selected inversion on the factor's pattern.
// The pattern analysis (fill-reducing order, elimination tree, column
// counts) is done once and shared read-only by the factors of every
// frequency; each factor owns its values and work space.

#include <complex>
#include <cstdint>
#include <vector>

#include "UmfpackLu.h"

namespace vantor {

class LdltPattern {
public:
    /// Analyses the symmetric pattern of a (both triangles, diagonal present).
    /// False when the ordering fails.
    bool Analyse(const SparseComplexMatrix& a);

    int Size() const { return n_; }
    /// Non-zeros of L below the diagonal.
    std::int64_t FactorNonZeros() const { return columnStart_.empty() ? 0 : columnStart_.back(); }

private:
    friend class SparseLdlt;

    int n_ = 0;
    std::vector<int> order_;         // permuted position -> original node
    // Upper triangle of the permuted matrix by columns: rows <= column, and
    // where each value comes from in the original matrix.
    std::vector<int> upperStart_;
    std::vector<int> upperRow_;
    std::vector<int> upperSource_;
    std::vector<int> parent_;        // elimination tree, -1 at a root
    std::vector<std::int64_t> columnStart_;  // of L, n + 1
};

class SparseLdlt {
public:
    enum class Status { Ok, SmallPivot, NotFinite };

    /// Numeric factorisation of a (pattern as analysed). A pivot whose
    /// magnitude is below pivotTolerance times the largest diagonal
    /// magnitude of a stops it with SmallPivot.
    Status Factorise(const LdltPattern& pattern, const SparseComplexMatrix& a, double pivotTolerance);

    /// diag(a^-1) in the original node order, from the last successful
    /// factorisation. Overwrites the factor.
    void InverseDiagonal(const LdltPattern& pattern, std::vector<std::complex<double>>& diagonal);

    /// Bytes held for the factor and the work space.
    double Bytes() const;

private:
    std::vector<int> row_;                     // row indices of L, ascending per column
    std::vector<std::complex<double>> value_;  // L, then the inverse, same pattern
    std::vector<std::complex<double>> d_;      // pivots, then the inverse's diagonal
    std::vector<std::complex<double>> work_;
    std::vector<int> count_, flag_, stack_;
};

}  // namespace vantor
