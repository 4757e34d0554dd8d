// The command that puts a group resonating at the worst frequency on the
// worst point of the stored results.
#include <algorithm>
#include <cmath>

#include "CCGroup.h"
#include "BoardStackup.h"
#include "Interaction.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor {

using Complex = std::complex<double>;

CCGroup* CLayer::KillMax(Interaction& ui) {
    int bestEntry = -1, bestRow = 0, bestColumn = 0;
    double best = 0.0;
    const int entries = static_cast<int>(std::min(resultMaps.size(), resultLabels.size()));
    for (int e = 0; e < entries; ++e) {
        const ComplexMatrix& map = resultMaps[e];
        for (int r = 0; r < map.Rows(); ++r)
            for (int c = 0; c < map.Columns(); ++c) {
                const Complex z = map(r, c);
                if (z == kNoMetal) continue;
                const double a = std::abs(z);
                if (bestEntry < 0 || a > best) {
                    bestEntry = e;
                    best = a;
                    bestRow = r;
                    bestColumn = c;
                }
            }
    }
    if (bestEntry < 0) {
        ui.message("KillMax: Es liegen keine Ergebnisse auf Metall vor; es wurde keine Gruppe gesetzt.",
                   MessageKind::Warning);
        return nullptr;
    }
    const double fmax = ParseValue(resultLabels[bestEntry]);
    if (board == nullptr || !(fmax > 0.0) || !std::isfinite(fmax)) {
        ui.message("KillMax: Das größte |Z| hat keine Frequenz; es wurde keine Gruppe gesetzt.",
                   MessageKind::Warning);
        return nullptr;
    }

    CCGroup group;
    group.board = board;
    group.Append(CCGroup::PlaneCapacitanceEntry(*board));
    // 5e-10 H stands for the capacitor's own inductance.
    const double t = 1.0 / (kTwoPi * fmax);
    group.Append(group.NewCapacitor(t * t / (board->ViaLoopInductance(1) + 5e-10)));
    for (int counter = 1;; ++counter) {
        group.name = "ResCap" + std::to_string(counter);
        if (FindGroupByName(group.name) == nullptr) break;
    }

    CCGroup& placed = AddGroupAtCentre(group);
    placed.posX = std::clamp(bestColumn * cellSize, 0.0, planeLength);
    placed.posY = std::clamp(bestRow * cellSize, 0.0, planeWidth);
    return &placed;
}

}  // namespace vantor
