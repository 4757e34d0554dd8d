#pragma once
// The Z-axis dialog of the 3D view ("Skalierung: Z-Achse") as texts, with
// its checks: the range of |Z| the surface spans when not automatic.

#include <string>

#include "FieldCheck.h"

namespace vantor {

/// The fields of the Z-axis dialog.
enum class ZAxisField { Automatic, Zmin, Zmax };

struct ZAxisFields {
    bool automatic = true;  // "Auto": the data's own range
    std::string zmax;       // "Zmax:", e.g. "1Ohm"
    std::string zmin;       // "Zmin:"

    /// The fields showing a range in Ohm.
    static ZAxisFields From(bool automatic, double zmax, double zmin);
    /// With "Auto" off both must be finite values and Zmin below Zmax.
    FieldCheck Check() const;
    /// After a passed Check: the flag and ParseValue of both texts, Ohm.
    void ApplyTo(bool& automatic_, double& zmax_, double& zmin_) const;
};

}  // namespace vantor
