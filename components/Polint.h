#pragma once
// Complex polynomial interpolation after Neville, used to read measured
// data and field results between their frequency points.

#include <complex>

namespace vantor {

using Complex = std::complex<double>;

inline constexpr const char* kPolintError = "Error in routine polint";
inline constexpr const char* kVectorAllocationError = "allocation failure in vector()";

/// Interpolates the polynomial of degree n - 1 through (xa[i], ya[i]),
/// i = 0..n-1, at x. y is the value, dy the last correction (an error
/// estimate). Two equal abscissae are reported through NrError and give a
/// non-finite result; n <= 0 gives y = dy = 0.
void Polint(const double xa[], const Complex ya[], int n, double x, Complex& y, Complex& dy);

}  // namespace vantor
