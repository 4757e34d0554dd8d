#pragma once
// How a plane solve runs: which sparse method, how many worker threads, and
// what the last solve did.

#include <cstdint>

namespace vantor {

enum class SolverKind {
    Fast,     // LDL^T and selected inversion: diag(M^-1) at the cost of one factorisation
    Umfpack,  // LU with UMFPACK and one solve per node: the reference
};

/// The fill-reducing order of the fast path.
enum class FillOrdering {
    Automatic,         // by the size of the plane
    MinimumDegree,     // approximate minimum degree (AMD)
    NestedDissection,  // METIS
};

struct SolverOptions {
    SolverKind kind = SolverKind::Fast;
    /// Worker threads for the frequencies; 0 means one per hardware thread.
    int threads = 0;
    /// A pivot of the fast path below this fraction of the largest diagonal
    /// magnitude sends that frequency to UMFPACK. Physical pivots of the
    /// plane go down to about 1e-9 of it at the lowest frequencies.
    double pivotTolerance = 1e-13;
    FillOrdering ordering = FillOrdering::Automatic;
    /// Bytes a solve may take at most; 0 means what the machine has
    /// available. A solve that would need more is refused before it starts.
    double memoryLimit = 0.0;
};

/// Figures of the last solve, for diagnosis and the benchmark.
struct SolveReport {
    SolverKind kind = SolverKind::Fast;
    int threads = 0;
    std::int64_t factorNonZeros = 0;  // of L (fast path) or L + U (reference)
    int fallbackFrequencies = 0;      // fast-path frequencies solved by UMFPACK
    double factorBytes = 0.0;         // largest memory of one factorisation, bytes
};

}  // namespace vantor
