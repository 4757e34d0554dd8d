#pragma once
// The capacitor-properties dialog's values with its checks.

#include <string>

#include "CCapShape.h"
#include "FieldCheck.h"

namespace vantor {

struct CapacitorFields {
    static constexpr int kPackageId = 1110;
    static constexpr int kAutoId = 1111;
    static constexpr int kRlossId = 1034;
    static constexpr int kLserId = 1035;

    int packageType = 0;  // selected table entry
    bool automatic = false;
    std::string rloss;    // "Verlustwiderstand:", Ohm
    std::string lser;     // "Serieninduktivität:", H
    std::string name;     // "Bezeichnung:"

    /// Checks of OK: 0.01 <= Rloss <= 5 Ohm, 0.05 nH <= Lser <= 10 nH.
    FieldCheck Check() const;
};

}  // namespace vantor
