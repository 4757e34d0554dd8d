#pragma once
// One measured frequency point of a two-port: S-parameters against 50 Ohm.

#include <complex>

#include "CArchive.h"

namespace vantor {

using Complex = std::complex<double>;

struct CSParameter {
    double freq = 0.0;  // Hz
    Complex s11{};
    Complex s21{};
    Complex s12{};
    Complex s22{};

    /// Record: version 1, freq, S11, S12, S21, S22 (S12 before S21). No
    /// document holds points; the version is not checked.
    void Serialize(CArchive& ar);
};

}  // namespace vantor
