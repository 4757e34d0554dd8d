#pragma once
// Microstrip line calculator (Hammerstad-Wheeler closed forms with a
// thickness correction). Works in inches as the formulas do.

#include <cstdint>

namespace vantor {

class CMStrip {
public:
    /// h, w, t and length in metres; they are converted to inches (x 39.37)
    /// and the results computed at once.
    CMStrip(double hMetres, double wMetres, double tMetres, double epsilonR, double lengthMetres);

    void Compute();

    double h = 0.0;  // inch, height above the plane
    double w = 0.0;  // inch, strip width
    double t = 0.0;  // inch, strip thickness
    double epsilonR = 0.0;
    double len = 0.0;          // inch
    double capacitance = 0.0;  // F, whole strip
    double inductance = 0.0;   // H, whole strip
    double delay = 0.0;        // s per inch
    double z0 = 0.0;           // Ohm
    std::uint8_t valid = 0;    // 1 when the formulas hold for the input
};

}  // namespace vantor
