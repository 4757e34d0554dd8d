#include "FilterFields.h"

#include "Values.h"

namespace vantor {

FieldCheck CheckFilterFields(const std::string& fo, const std::string& fu, const std::string& attenuation,
                             const std::string& imax, FilterSpecification& spec) {
    const double vFo = ParseValue(fo);
    const double vFu = ParseValue(fu);
    const double vA = ParseValue(attenuation);
    const double vI = ParseValue(imax);
    const std::string limit = FormatValue(kFilterFrequencyLimit, "Hz");

    if (!(vFo > 0.0 && vFo < kFilterFrequencyLimit))
        return FieldError{kFoControl, "Obere Grenzfrequenz:", "Fehler: 0Hz < Fo < " + limit + " !"};
    if (!(vFu > 0.0 && vFu < kFilterFrequencyLimit))
        return FieldError{kFuControl, "Untere Grenzfrequenz:", "Fehler: 0Hz < Fu < " + limit + " !"};
    if (!(vFu < vFo)) return FieldError{kFoControl, "Obere Grenzfrequenz:", "Fehler: Fo muß größer als Fu sein!"};
    // 100 A itself is accepted although the message says "<".
    if (!(vI > 0.0 && vI <= 100.0))
        return FieldError{kImaxControl, "Maximaler Gleichstrom:", "Fehler: 0A < Imax < 100A"};
    if (!(vA > 0.0 && vA <= 120.0))
        return FieldError{kAttenuationControl, "Dämpfung:", "Fehler: 0dB < A <= 120dB"};

    spec.fUpper = vFo;
    spec.fLower = vFu;
    spec.minAttenuation = vA;
    spec.maxCurrent = vI;
    return std::nullopt;
}

}  // namespace vantor
