#include "CMStrip.h"

#include <cmath>

namespace vantor {

namespace {
constexpr double kInchPerMetre = 39.37;
constexpr double kPi = 3.141592654;
constexpr double kTwoPi = 6.283185308;
constexpr double kFourPi = 12.566370616;
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

    double fill = 1.0 / std::sqrt(1.0 + 12.0 * h / w);
    if (w <= h) fill += 0.04 * (1.0 - w / h) * (1.0 - w / h);
    double eeff = (epsilonR + 1.0) / 2.0 + (epsilonR - 1.0) / 2.0 * fill;
    eeff -= (epsilonR - 1.0) * (t / h) / (4.6 * std::sqrt(w / h));

    double we;
    if (kTwoPi * w > h)
        we = w + (1.25 * t / kPi) * (1.0 + std::log(2.0 * h / t));
    else
        we = w + (1.25 * t / kPi) * (1.0 + std::log(kFourPi * w / t));

    double za;
    if (w <= h)
        za = 60.0 * std::log(8.0 * h / we + we / (4.0 * h));
    else
        za = 376.99111848 / (we / h + 1.393 + 0.667 * std::log(we / h + 1.444));

    z0 = za / std::sqrt(eeff);
    delay = std::sqrt(eeff) * 8.472e-11;
    inductance = delay * z0 * len;
    capacitance = delay / z0 * len;
}

}  // namespace vantor
