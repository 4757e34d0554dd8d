#pragma once
// What a plane solve will need in memory, known before anything is
// allocated, and what the process may still take.

namespace vantor {

class CAnalysisDomain;
struct SolverOptions;

/// Bytes a solve of a length x width plane, m, of permittivity epsilonR
/// needs: the mesh, one factor per worker thread and the result maps. Every
/// grid point counts as metal, so the estimate errs on the high side. 0 when
/// no grid can be formed (the mesh build says why).
double EstimateSolveBytes(double length, double width, double epsilonR, const CAnalysisDomain& domain,
                          const SolverOptions& options);

/// Bytes the process may still allocate: the least of the system's
/// available memory, the address-space limit less what is mapped, and the
/// memory limit of its control group less its use. Infinite when none of
/// them can be read.
double AvailableMemoryBytes();

}  // namespace vantor
