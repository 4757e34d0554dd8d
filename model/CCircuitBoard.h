#pragma once
// The physical board: a rectangular Vcc/GND plane pair, its stack-up and the
// via geometry by which every capacitor reaches the planes. All lengths in
// metres, conductivity in S/m, frequencies in Hz.

#include <cstdint>

namespace vantor {

class CVtrDoc;

class CCircuitBoard {
public:
    /// Board with the program's defaults (99 mm x 71 mm, 50 um, er 4.4).
    CCircuitBoard();
    /// Arguments in the order the document passes them; maxFrequency is
    /// overwritten by the computed first-resonance estimate.
    CCircuitBoard(double width, double length, double planeSpacing, double mountingDepth, double maxFrequency,
                  double epsilonR, double viaSpacing, double conductivity, double metalThickness, double tanDelta,
                  double viaDiameter);
    /// Copies the values (a backup of the stack-up for edit workflows).
    CCircuitBoard(const CCircuitBoard&) = default;
    CCircuitBoard& operator=(const CCircuitBoard&) = default;

    /// Capacitance of the plane pair, F (permittivity constant 8.859e-12).
    double planeCapacitance() const;

    /// Inductance of the via connections of n capacitors, H.
    double ViaLoopInductance(int n) const;

    /// 2.7e8 / (2 * longer side * sqrt(er)), at most 3e9 Hz.
    static double FirstResonanceEstimate(double width, double length, double epsilonR);

    CVtrDoc* document = nullptr;
    std::int32_t viasPerSide = 2;
    double maxFrequency = 0.0;      // Hz
    double epsilonR = 4.4;
    double planeSpacing = 5e-5;     // m, Vcc to GND
    double mountingDepth = 0.001144;  // m, plane pair to component side
    double width = 0.071;           // m, y extent
    double length = 0.099;          // m, x extent
    double viaSpacing = 0.0005;     // m, Vcc via to GND via, centre to centre
    double conductivity = 5.8e7;    // S/m
    double metalThickness = 3.5e-5; // m
    double tanDelta = 0.022;
    double viaDiameter = 0.0003;    // m
};

}  // namespace vantor
