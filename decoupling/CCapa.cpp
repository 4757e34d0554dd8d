#include "CCapa.h"

#include "CCGroup.h"
#include "CMStrip.h"
#include "BoardStackup.h"
#include "Values.h"

namespace vantor {

void CCapa::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    ar.Int32(autoParasitics);
    ar.Double(capacitance);
    shape.Serialize(ar);
}

double EffectiveEsr(const CCapa& capa, double f) {
    if (capa.autoParasitics == 0) return capa.shape.rloss;
    const double esr = 0.05 + 2e-9 * f * capa.shape.rloss;
    return esr > 2.0 ? 2.0 : esr;
}

double EffectiveEsl(const CCapa& capa) {
    if (capa.autoParasitics == 0 || capa.shape.packageType == 0) return capa.shape.lser;
    // A capacitor outside a group (or a group without a board) has no
    // mounting geometry; its package inductance is all we know.
    if (capa.group == nullptr || capa.group->board == nullptr) return capa.shape.lser;
    return MountedEsl(capa.shape, *capa.group->board);
}

double MountedEsl(const CCapShape& shape, const BoardStackup& board) {
    const double T = shape.bodyThickness;
    const double A = 0.1 * T + 5e-5;
    const double B = (T - A) * 0.5;
    const double h1 = A + 3e-5 + 0.3 * B;
    const CMStrip seg1(h1, shape.bodyWidth, B, board.epsilonR, shape.bodyLength - board.viaSpacing);
    const CMStrip seg2(h1 + board.metalThickness + board.mountingDepth, shape.bodyWidth, B, board.epsilonR,
                       board.viaSpacing);
    return seg1.inductance + seg2.inductance;
}

Complex CapacitorImpedance(const CCapa& capa, double f) {
    const double w = kTwoPi * f;
    const double x = w * EffectiveEsl(capa) - 1.0 / (w * capa.capacitance);
    return {EffectiveEsr(capa, f), x};
}

}  // namespace vantor
