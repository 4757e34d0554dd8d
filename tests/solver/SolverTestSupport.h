#pragma once
// Small boards and planes for the solver tests.

#include <memory>

#include "CCGroup.h"
#include "CCircuitBoard.h"
#include "CLayer.h"

namespace vantor::testing {

/// A board of the given size, m; the other values are the defaults.
inline std::unique_ptr<CCircuitBoard> Board(double length, double width) {
    auto b = std::make_unique<CCircuitBoard>();
    b->length = length;
    b->width = width;
    b->resizeLayers();
    return b;
}

/// A group with the plane entry and one capacitor of c, F.
inline CCGroup GroupWith(const CCircuitBoard& board, double c) {
    CCGroup g;
    g.board = &board;
    g.Append(CCGroup::PlaneCapacitanceEntry(board));
    g.Append(g.NewCapacitor(c));
    return g;
}

/// fTop for which a plane of er gets cells of h, m, at resolution 1.
inline double FrequencyForCell(double h, double er) { return 0.3 / (h * std::sqrt(er)) * 0.1 * 1e9; }

}  // namespace vantor::testing
