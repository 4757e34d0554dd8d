#pragma once
// The optimisation-target dialog's fields as texts, with its checks. Shared
// by the desktop dialog, the command-line tool and the tests.

#include <string>

#include "CCGroup.h"
#include "FieldCheck.h"

namespace vantor {

/// The fields of the optimisation-target dialog.
enum class TargetField { ZmaxFu, ZminFu, ZmaxFo, ZminFo, Fo };

struct TargetFields {
    std::string zmaxFu;  // "Fu - Zmax:", Ohm
    std::string zminFu;  // "Fu - Zmin:", Ohm
    std::string zmaxFo;  // "Fo - Zmax:", Ohm
    std::string zminFo;  // "Fo - Zmin:", Ohm
    std::string fo;      // "Obere Grenzfrequenz:", Hz
    std::string limit;   // hidden "Maximal mögliche Frequenz:", Hz

    /// Filled from a group; an fo above the limit shows the limit.
    static TargetFields FromGroup(const CCGroup& group, double maxFrequency);
    /// The same with texts that read back exactly (no display rounding).
    static TargetFields FromGroupExact(const CCGroup& group, double maxFrequency);

    /// The checks of OK in the dialog's order; the first failure.
    FieldCheck Check() const;

    /// The group takes fo, zminFu, zmaxFu, zminFo, zmaxFo.
    void ApplyTo(CCGroup& group) const;
};

}  // namespace vantor
