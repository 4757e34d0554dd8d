#pragma once
// Complex symmetric (not Hermitian) sparse LDL^T without pivoting, and the
// diagonal of the inverse by selected inversion on the factor's pattern.
// Both work on the supernodes of an LdltPattern, shared read-only by the
// factors of every frequency and thread, with dense block updates through
// BLAS; each factor owns its values and work space.

#include <complex>
#include <cstdint>
#include <vector>

#include "BlasSetup.h"
#include "LdltPattern.h"
#include "UmfpackLu.h"

namespace vantor {

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
    std::vector<std::complex<double>> value_;                   // the blocks of L, then of the inverse
    std::vector<std::complex<double>> d_;                       // pivots, then the inverse's diagonal
    std::vector<std::complex<double>> rowSum_;                  // of the matrix, by node
    std::vector<std::complex<double>> remainingSum_;            // of the matrix left to factorise, by position
    std::vector<std::complex<double>> block_, panel_, square_;  // work space
};

}  // namespace vantor
