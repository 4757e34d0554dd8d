#include "CapacitorFields.h"

#include "Values.h"

namespace vantor {

FieldCheck CapacitorFields::Check() const {
    const double r = ParseValue(rloss);
    if (!(r >= 0.01 && r <= 5.0))
        return FieldError{kRlossId, "Verlustwiderstand:", "Fehler: 0.01 Ohm <= Rloss <= 5 Ohm !!!"};
    const double l = ParseValue(lser);
    if (!(l >= 5e-11 && l <= 1e-8))
        return FieldError{kLserId, "Serieninduktivität:", "Fehler: 0.05 nH <= Lser <= 10 nH !!!"};
    return std::nullopt;
}

}  // namespace vantor
