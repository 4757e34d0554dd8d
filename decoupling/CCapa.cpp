#include "CCapa.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

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
    if (capa.group == nullptr || capa.group->stackup() == nullptr) return capa.shape.lser;
    return MountedEsl(capa.shape, *capa.group->stackup());
}

namespace {

double SolveMountedEsl(const CCapShape& shape, const BoardStackup& board) {
    const double T = shape.bodyThickness;
    const double A = 0.1 * T + 5e-5;
    const double B = (T - A) * 0.5;
    const double h1 = A + 3e-5 + 0.3 * B;
    const CMStrip seg1(h1, shape.bodyWidth, B, board.epsilonR, shape.bodyLength - board.viaSpacing);
    const CMStrip seg2(h1 + board.metalThickness + board.mountingDepth, shape.bodyWidth, B, board.epsilonR,
                       board.viaSpacing);
    return seg1.inductance + seg2.inductance;
}

}  // namespace

double MountedEsl(const CCapShape& shape, const BoardStackup& board) {
    // The optimiser and every curve ask for the same few packages at
    // thousands of frequencies, and each answer takes two microstrip
    // solutions. The last answers are kept per thread, keyed by the exact
    // bits of every input, so a kept answer is the one the solution gives.
    using Key = std::array<std::uint64_t, 7>;
    struct Kept {
        Key key;
        double esl;
    };
    constexpr std::size_t kKept = 8;
    thread_local std::array<Kept, kKept> kept;
    thread_local std::size_t used = 0, next = 0;
    const Key key{std::bit_cast<std::uint64_t>(shape.bodyThickness), std::bit_cast<std::uint64_t>(shape.bodyWidth),
                  std::bit_cast<std::uint64_t>(shape.bodyLength),    std::bit_cast<std::uint64_t>(board.epsilonR),
                  std::bit_cast<std::uint64_t>(board.viaSpacing),    std::bit_cast<std::uint64_t>(board.metalThickness),
                  std::bit_cast<std::uint64_t>(board.mountingDepth)};
    for (std::size_t i = 0; i < used; ++i)
        if (kept[i].key == key) return kept[i].esl;
    const double esl = SolveMountedEsl(shape, board);
    kept[next] = {key, esl};
    next = (next + 1) % kKept;
    used = std::min(used + 1, kKept);
    return esl;
}

Complex CapacitorImpedance(const CCapa& capa, double f) {
    const double w = kTwoPi * f;
    const double x = w * EffectiveEsl(capa) - 1.0 / (w * capa.capacitance);
    return {EffectiveEsr(capa, f), x};
}

}  // namespace vantor
