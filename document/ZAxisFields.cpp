#include "ZAxisFields.h"

#include "Values.h"

namespace vantor {

ZAxisFields ZAxisFields::From(bool automatic, double zmax, double zmin) {
    return {automatic, FormatValue(zmax, "Ohm"), FormatValue(zmin, "Ohm")};
}

FieldCheck ZAxisFields::Check() const {
    if (automatic) return std::nullopt;
    if (FieldCheck e = CheckFiniteValue(zmax, ZAxisField::Zmax, "Zmax:")) return e;
    if (FieldCheck e = CheckFiniteValue(zmin, ZAxisField::Zmin, "Zmin:")) return e;
    // An empty or upside-down range would flatten or invert the surface.
    if (!(ParseValue(zmin) < ParseValue(zmax)))
        return FieldError{ZAxisField::Zmax, "Zmax:", "Geben Sie für Zmax einen Wert größer Zmin ein."};
    return std::nullopt;
}

void ZAxisFields::ApplyTo(bool& automatic_, double& zmax_, double& zmin_) const {
    automatic_ = automatic;
    zmax_ = ParseValue(zmax);
    zmin_ = ParseValue(zmin);
}

}  // namespace vantor
