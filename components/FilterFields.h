#pragma once
// The filter fields of the main form (Fo, Fu, attenuation, Imax) as texts,
// with their checks and messages; used by the form, the command-line tool
// and tests.

#include <string>

#include "FieldCheck.h"

namespace vantor {

class CFilter;

/// What the filter has to do, in SI units.
struct FilterRequirements {
    double fUpper = 0.0;          // Hz, "Obere Grenzfrequenz"
    double fLower = 0.0;          // Hz, "Untere Grenzfrequenz"
    double minAttenuation = 0.0;  // dB, "Dämpfung"
    double maxCurrent = 0.0;      // A, "Maximaler Gleichstrom"
};

/// The filter fields of the main form.
enum class FilterField { Fo, Fu, Imax, Attenuation };

/// Highest filter frequency accepted (exclusive), Hz.
inline constexpr double kFilterFrequencyLimit = 3e9;

struct FilterFields {
    std::string fo;           // "Obere Grenzfrequenz:", Hz
    std::string fu;           // "Untere Grenzfrequenz:", Hz
    std::string attenuation;  // "Dämpfung:", dB
    std::string imax;         // "Maximaler Gleichstrom:", A
    bool operator==(const FilterFields&) const = default;

    /// The fields as the form shows the filter's requirements.
    static FilterFields FromFilter(const CFilter& filter);
    /// The same with texts that read back exactly.
    static FilterFields FromFilterExact(const CFilter& filter);

    /// The checks in the form's order: 0 < Fo < 3 GHz, 0 < Fu < 3 GHz,
    /// Fu < Fo, 0 < Imax <= 100 A, 0 < A <= 120 dB. The first failure.
    FieldCheck Check() const;

    /// The texts read with ParseValue.
    FilterRequirements Requirements() const;

    /// The filter takes the four values. Call only after Check() passed.
    void ApplyTo(CFilter& filter) const;
};

}  // namespace vantor
