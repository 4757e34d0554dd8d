#include "TargetFields.h"

#include "Values.h"

namespace vantor {

namespace {

std::string Display(double v, const char* unit) { return FormatValue(v, unit); }
std::string Exact(double v, const char*) { return ExactText(v); }

// The targets as display texts or as texts that read back exactly; the
// hidden limit is always shown as the dialog shows it.
TargetFields Fill(const CCGroup& g, double maxFrequency, std::string (*text)(double, const char* unit)) {
    TargetFields t;
    t.fo = text(g.fo > maxFrequency ? maxFrequency : g.fo, "Hz");
    t.limit = FormatValue(maxFrequency, "Hz");
    t.zmaxFu = text(g.zmaxFu, "Ohm");
    t.zminFu = text(g.zminFu, "Ohm");
    t.zmaxFo = text(g.zmaxFo, "Ohm");
    t.zminFo = text(g.zminFo, "Ohm");
    return t;
}

}  // namespace

TargetFields TargetFields::FromGroup(const CCGroup& g, double maxFrequency) { return Fill(g, maxFrequency, Display); }

TargetFields TargetFields::FromGroupExact(const CCGroup& g, double maxFrequency) {
    return Fill(g, maxFrequency, Exact);
}

FieldCheck TargetFields::Check() const {
    const double foValue = ParseValue(fo);
    if (foValue > ParseValue(limit))
        return FieldError{TargetField::Fo,
                          "Obere Grenzfrequenz:", "Fehler: Obere Grenzfrequenz muß <= " + limit + " sein!"};
    // A corner frequency of zero or below leaves the limit lines undefined
    // (they are divided by it); refuse it like the upper bound.
    if (!(foValue > 0))
        return FieldError{TargetField::Fo, "Obere Grenzfrequenz:",
                          "Fehler: Obere Grenzfrequenz muß > " + FormatValue(0, "Hz") + " sein!"};

    const std::string zero = FormatValue(0, "Ohm");
    const std::string five = FormatValue(5, "Ohm");
    const double zminU = ParseValue(zminFu);
    const double zminO = ParseValue(zminFo);
    const double zmaxU = ParseValue(zmaxFu);
    const double zmaxO = ParseValue(zmaxFo);
    if (!(zminU > 0 && zminU <= 5))
        return FieldError{TargetField::ZminFu, "Fu - Zmin:", "Fehler: " + zero + " < Fu - Zmin <= " + five + "  !!!"};
    if (!(zminO > 0 && zminO <= 5))
        return FieldError{TargetField::ZminFo, "Fo - Zmin:", "Fehler: " + zero + " < Fo - Zmin <= " + five + "  !!!"};
    if (!(zmaxU > zminU && zmaxU <= 5))
        return FieldError{TargetField::ZmaxFu,
                          "Fu - Zmax:", "Fehler: " + FormatValue(zminU, "Ohm") + " < Fu - Zmax <= " + five + "  !!!"};
    if (!(zmaxO > zminO && zmaxO <= 5))
        return FieldError{TargetField::ZmaxFo,
                          "Fo - Zmax:", "Fehler: " + FormatValue(zminO, "Ohm") + " < Fo - Zmax <= " + five + "  !!!"};
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
