#include "decoupling/TargetFields.h"

#include "model/Values.h"

namespace vantor {

TargetFields TargetFields::FromGroup(const CCGroup& g, double maxFrequency) {
    TargetFields t;
    t.fo = FormatValue(g.fo > maxFrequency ? maxFrequency : g.fo, "Hz");
    t.limit = FormatValue(maxFrequency, "Hz");
    t.zmaxFu = FormatValue(g.zmaxFu, "Ohm");
    t.zminFu = FormatValue(g.zminFu, "Ohm");
    t.zmaxFo = FormatValue(g.zmaxFo, "Ohm");
    t.zminFo = FormatValue(g.zminFo, "Ohm");
    return t;
}

TargetFields TargetFields::FromGroupExact(const CCGroup& g, double maxFrequency) {
    TargetFields t;
    t.fo = ExactText(g.fo > maxFrequency ? maxFrequency : g.fo);
    t.limit = FormatValue(maxFrequency, "Hz");
    t.zmaxFu = ExactText(g.zmaxFu);
    t.zminFu = ExactText(g.zminFu);
    t.zmaxFo = ExactText(g.zmaxFo);
    t.zminFo = ExactText(g.zminFo);
    return t;
}

FieldCheck TargetFields::Check() const {
    const double foValue = ParseValue(fo);
    if (foValue > ParseValue(limit))
        return FieldError{kFoId, "Obere Grenzfrequenz:", "Fehler: Obere Grenzfrequenz muß <= " + limit + " sein!"};
    // A corner frequency of zero or below leaves the limit lines undefined
    // (they are divided by it); refuse it like the upper bound.
    if (!(foValue > 0))
        return FieldError{kFoId, "Obere Grenzfrequenz:",
                          "Fehler: Obere Grenzfrequenz muß > " + FormatValue(0, "Hz") + " sein!"};

    const std::string zero = FormatValue(0, "Ohm");
    const std::string five = FormatValue(5, "Ohm");
    const double zminU = ParseValue(zminFu);
    const double zminO = ParseValue(zminFo);
    const double zmaxU = ParseValue(zmaxFu);
    const double zmaxO = ParseValue(zmaxFo);
    if (!(zminU > 0 && zminU <= 5))
        return FieldError{kZminFuId, "Fu - Zmin:", "Fehler: " + zero + " < Fu - Zmin <= " + five + "  !!!"};
    if (!(zminO > 0 && zminO <= 5))
        return FieldError{kZminFoId, "Fo - Zmin:", "Fehler: " + zero + " < Fo - Zmin <= " + five + "  !!!"};
    if (!(zmaxU > zminU && zmaxU <= 5))
        return FieldError{kZmaxFuId, "Fu - Zmax:",
                          "Fehler: " + FormatValue(zminU, "Ohm") + " < Fu - Zmax <= " + five + "  !!!"};
    if (!(zmaxO > zminO && zmaxO <= 5))
        return FieldError{kZmaxFoId, "Fo - Zmax:",
                          "Fehler: " + FormatValue(zminO, "Ohm") + " < Fo - Zmax <= " + five + "  !!!"};
    return std::nullopt;
}

void TargetFields::ApplyTo(CCGroup& g) const {
    g.fo = ParseValue(fo);
    g.zminFu = ParseValue(zminFu);
    g.zmaxFu = ParseValue(zmaxFu);
    g.zminFo = ParseValue(zminFo);
    g.zmaxFo = ParseValue(zmaxFo);
}

}  // namespace vantor
