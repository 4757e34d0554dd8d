#include "FilterFields.h"

#include "CFilter.h"
#include "Values.h"

namespace vantor {

FilterFields FilterFields::FromFilter(const CFilter& f) {
    return {FormatValue(f.fUpper, "Hz"), FormatValue(f.fLower, "Hz"), FormatValue(f.minAttenuation, "dB"),
            FormatValue(f.maxSupplyCurrent, "A")};
}

FilterFields FilterFields::FromFilterExact(const CFilter& f) {
    return {ExactText(f.fUpper), ExactText(f.fLower), ExactText(f.minAttenuation), ExactText(f.maxSupplyCurrent)};
}

FilterRequirements FilterFields::Requirements() const {
    return {ParseValue(fo), ParseValue(fu), ParseValue(attenuation), ParseValue(imax)};
}

FieldCheck FilterFields::Check() const {
    const FilterRequirements r = Requirements();
    const std::string limit = FormatValue(kFilterFrequencyLimit, "Hz");

    if (!(r.fUpper > 0.0 && r.fUpper < kFilterFrequencyLimit))
        return FieldError{FilterField::Fo, "Obere Grenzfrequenz:", "Fehler: 0Hz < Fo < " + limit + " !"};
    if (!(r.fLower > 0.0 && r.fLower < kFilterFrequencyLimit))
        return FieldError{FilterField::Fu, "Untere Grenzfrequenz:", "Fehler: 0Hz < Fu < " + limit + " !"};
    if (!(r.fLower < r.fUpper))
        return FieldError{FilterField::Fo, "Obere Grenzfrequenz:", "Fehler: Fo muß größer als Fu sein!"};
    // 100 A itself is accepted although the message says "<".
    if (!(r.maxCurrent > 0.0 && r.maxCurrent <= 100.0))
        return FieldError{FilterField::Imax, "Maximaler Gleichstrom:", "Fehler: 0A < Imax < 100A"};
    if (!(r.minAttenuation > 0.0 && r.minAttenuation <= 120.0))
        return FieldError{FilterField::Attenuation, "Dämpfung:", "Fehler: 0dB < A <= 120dB"};
    return std::nullopt;
}

void FilterFields::ApplyTo(CFilter& f) const {
    const FilterRequirements r = Requirements();
    f.fUpper = r.fUpper;
    f.fLower = r.fLower;
    f.minAttenuation = r.minAttenuation;
    f.maxSupplyCurrent = r.maxCurrent;
}

}  // namespace vantor
