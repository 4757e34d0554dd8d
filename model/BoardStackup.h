#pragma once
// The board's stack-up as a plain value: the plane pair's size and
// dielectric, the copper and the via geometry by which every capacitor
// reaches the planes, with the formulas the capacitor model, the groups and
// the mesh need. All lengths in metres, conductivity in S/m, frequencies in Hz.

#include <cstdint>

namespace vantor {

struct BoardStackup {
    /// Capacitance of the plane pair, F (permittivity constant 8.859e-12).
    double planeCapacitance() const;

    /// Inductance of the via connections of n capacitors, H.
    double ViaLoopInductance(int n) const;

    /// 2.7e8 / (2 * longer side * sqrt(er)), at most 3e9 Hz.
    static double FirstResonanceEstimate(double width, double length, double epsilonR);

    std::int32_t viasPerSide = 2;
    double maxFrequency = 0.0;  // Hz
    double epsilonR = 4.4;
    double planeSpacing = 5e-5;       // m, Vcc to GND
    double mountingDepth = 0.001144;  // m, plane pair to component side
    double width = 0.071;             // m, y extent
    double length = 0.099;            // m, x extent
    double viaSpacing = 0.0005;       // m, Vcc via to GND via, centre to centre
    double conductivity = 5.8e7;      // S/m
    double metalThickness = 3.5e-5;   // m
    double tanDelta = 0.022;
    double viaDiameter = 0.0003;  // m
};

}  // namespace vantor
