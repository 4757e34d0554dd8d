#pragma once
// One measured frequency point of a two-port: S-parameters against 50 Ohm.

#include <complex>

namespace vantor {

using Complex = std::complex<double>;

struct CSParameter {
    double freq = 0.0;  // Hz
    Complex s11{};
    Complex s21{};
    Complex s12{};
    Complex s22{};
};

}  // namespace vantor
