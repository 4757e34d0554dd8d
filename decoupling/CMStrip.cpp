#include "CMStrip.h"

#include <cmath>

#include "Values.h"

namespace vantor {

namespace {

// The closed forms take lengths in inches. 39.37 inches to the metre is the
// US survey inch, exactly 1/39.37 m (the international inch of 25.4 mm would
// give 39.3700787).
constexpr double kInchPerMetre = 39.37;

// Wave impedance of free space, 120 pi Ohm, with the program's pi.
constexpr double kFreeSpaceImpedance = 120.0 * kPi;
static_assert(kFreeSpaceImpedance == 376.99111848);

// Coefficient of the narrow-strip impedance, eta0 / (2 pi) = 60 Ohm.
constexpr double kNarrowStripImpedance = kFreeSpaceImpedance / kTwoPi;
static_assert(kNarrowStripImpedance == 60.0);

// Time a wave takes through one inch of vacuum, s/in: 0.0254 m / c is
// 84.725 ps; the formulas carry it to four digits, 84.72 ps.
constexpr double kVacuumDelayPerInch = 8.472e-11;

}  // namespace

CMStrip::CMStrip(double hMetres, double wMetres, double tMetres, double er, double lengthMetres)
    : h(hMetres * kInchPerMetre),
      w(wMetres * kInchPerMetre),
      t(tMetres * kInchPerMetre),
      epsilonR(er),
      len(lengthMetres * kInchPerMetre) {
    Compute();
}

void CMStrip::Compute() {
    valid = 1;
    if (t / h < 0 || t / h > 0.2 || w / h < 0.1 || w / h > 20 || epsilonR <= 0 || epsilonR >= 16) valid = 0;

    // Effective permittivity: the filling factor of the open strip, less the
    // thickness correction.
    double fill = 1.0 / std::sqrt(1.0 + 12.0 * h / w);
    if (w <= h) fill += 0.04 * (1.0 - w / h) * (1.0 - w / h);
    double eeff = (epsilonR + 1.0) / 2.0 + (epsilonR - 1.0) / 2.0 * fill;
    eeff -= (epsilonR - 1.0) * (t / h) / (4.6 * std::sqrt(w / h));

    // Effective width of a strip of thickness t.
    double we;
    if (kTwoPi * w > h)
        we = w + (1.25 * t / kPi) * (1.0 + std::log(2.0 * h / t));
    else
        we = w + (1.25 * t / kPi) * (1.0 + std::log(4.0 * kPi * w / t));

    // Impedance of the strip in air: narrow (w <= h) and wide forms.
    double za;
    if (w <= h)
        za = kNarrowStripImpedance * std::log(8.0 * h / we + we / (4.0 * h));
    else
        za = kFreeSpaceImpedance / (we / h + 1.393 + 0.667 * std::log(we / h + 1.444));

    z0 = za / std::sqrt(eeff);
    delay = std::sqrt(eeff) * kVacuumDelayPerInch;
    inductance = delay * z0 * len;
    capacitance = delay / z0 * len;
}

}  // namespace vantor
