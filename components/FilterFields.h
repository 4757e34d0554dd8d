#pragma once
// Checks of the filter fields of the main form (Fo, Fu, attenuation, Imax)
// with their messages; used by the form, the command-line tool and tests.

#include <string>

#include "FieldCheck.h"

namespace vantor {

struct FilterSpecification {
    double fUpper = 0.0;          // Hz, "Obere Grenzfrequenz"
    double fLower = 0.0;          // Hz, "Untere Grenzfrequenz"
    double minAttenuation = 0.0;  // dB, "Dämpfung"
    double maxCurrent = 0.0;      // A, "Maximaler Gleichstrom"
};

/// Control ids of the fields on the main form.
inline constexpr int kFoControl = 1094;
inline constexpr int kFuControl = 1095;
inline constexpr int kImaxControl = 1096;
inline constexpr int kAttenuationControl = 1097;

/// Highest filter frequency accepted (exclusive), Hz.
inline constexpr double kFilterFrequencyLimit = 3e9;

/// Reads the four texts with ParseValue and checks them in the form's order:
/// 0 < Fo < 3 GHz, 0 < Fu < 3 GHz, Fu < Fo, 0 < Imax <= 100 A,
/// 0 < A <= 120 dB. The first failure is returned; spec is filled on success.
FieldCheck CheckFilterFields(const std::string& fo, const std::string& fu, const std::string& attenuation,
                             const std::string& imax, FilterSpecification& spec);

}  // namespace vantor
