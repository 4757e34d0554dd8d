#include "BoardStackup.h"

#include <algorithm>
#include <cmath>

#include "Values.h"

namespace vantor {

double BoardStackup::FirstResonanceEstimate(double w, double l, double er) {
    const double f = 2.7e8 / (2.0 * std::max(w, l) * std::sqrt(er));
    return f > 3e9 ? 3e9 : f;
}

double BoardStackup::planeCapacitance() const { return length * width * epsilonR * kPlanePermittivity / planeSpacing; }

double BoardStackup::ViaLoopInductance(int n) const {
    // Divisors for 1..10 effective via pairs: each further pair helps less.
    static const double kDivisor[11] = {0.0, 1.0, 2.0, 2.9, 3.8, 4.5, 5.2, 5.8, 6.4, 6.9, 7.4};
    if (n == 0) n = 1;
    const double d = planeSpacing;
    const double lv = 2e-7 * d * (std::log(4.0 * d / viaDiameter) + 1.0) +
                      2e-7 * mountingDepth * 2.0 * std::log(viaSpacing / (0.5 * viaDiameter));
    int m;
    switch (viasPerSide) {
        case 2: m = (n - 1) + 2; break;
        case 3: m = static_cast<int>(std::floor((n - 1) * 1.5 + 3)); break;
        default: m = n; break;  // one via per side, and counts outside 1..3
    }
    if (m > 10) m = 10;
    if (m == 0) m = viasPerSide;
    // Counts outside 1..3 never reach here from the dialogs; keep the lookup
    // inside the table whatever a file holds.
    m = std::clamp(m, 1, 10);
    return lv / kDivisor[m];
}

}  // namespace vantor
