#pragma once
// One decoupling capacitor: nominal capacitance plus its own copy of a
// package, and its electrical model over frequency.

#include <complex>
#include <cstdint>

#include "CCapShape.h"
#include "CObject.h"

namespace vantor {

class CCGroup;
struct BoardStackup;

using Complex = std::complex<double>;

class CCapa : public CObject {
public:
    CCapa() { shape.owner = this; }
    CCapa(const CCapa& other)
        : CObject(other),
          group(other.group),
          autoParasitics(other.autoParasitics),
          capacitance(other.capacitance),
          shape(other.shape) {
        shape.owner = this;
    }
    CCapa& operator=(const CCapa& other) {
        group = other.group;
        autoParasitics = other.autoParasitics;
        capacitance = other.capacitance;
        shape = other.shape;  // keeps shape.owner == this
        return *this;
    }

    const char* ClassName() const override { return "CCapa"; }
    /// Record: version 1, autoParasitics, capacitance, the shape.
    void Serialize(CArchive& ar) override;

    const CCGroup* group = nullptr;   // owning group; not stored
    std::int32_t autoParasitics = 4;  // only zero/nonzero matters
    double capacitance = 0.0;         // F
    CCapShape shape;
};

/// ESR at f (Hz), Ohm: rloss, or 0.05 + 2e-9 * f * rloss up to 2 Ohm.
double EffectiveEsr(const CCapa& capa, double f);

/// ESL, H: lser, or the mounted inductance on the group's board.
double EffectiveEsl(const CCapa& capa);

/// Mounting inductance of a package on a board, H: two microstrip segments
/// from the body geometry and the via/stack-up geometry.
double MountedEsl(const CCapShape& shape, const BoardStackup& board);

/// Series R-L-C impedance ESR + jX at f (Hz), Ohm.
Complex CapacitorImpedance(const CCapa& capa, double f);

}  // namespace vantor
