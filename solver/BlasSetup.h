#pragma once
// How the solver sets up the OpenBLAS it runs on: one thread per call, and
// the fastest kernels the processor has.

#include <string>

namespace vantor {

/// Keeps BLAS (ours and UMFPACK's) to the calling thread: the sweep runs
/// its frequencies on threads of its own.
void BlasOnOneThread();

/// The name of the kernel set our BLAS runs, as OpenBLAS reports it
/// ("SkylakeX", "Haswell", ...).
std::string BlasKernelName();

}  // namespace vantor
