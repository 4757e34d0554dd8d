#pragma once
// Small boards, sweeps and result checks for the solver tests.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "CAnalysisDomain.h"
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

inline CAnalysisDomain Sweep(double start, double stop, int steps, double resolution = 2.0) {
    CAnalysisDomain d(start, stop, 0.0, 1e-6, resolution);
    d.frequencySteps = steps;
    return d;
}

inline SolverOptions Options(SolverKind kind, int threads) {
    SolverOptions o;
    o.kind = kind;
    o.threads = threads;
    return o;
}

inline bool SameMaps(const std::vector<ComplexMatrix>& a, const std::vector<ComplexMatrix>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t e = 0; e < a.size(); ++e)
        for (int r = 0; r < a[e].Rows(); ++r)
            for (int c = 0; c < a[e].Columns(); ++c)
                if (a[e](r, c) != b[e](r, c)) return false;
    return true;
}

/// Mesh and results of a plane: a failed solve must keep the very same maps.
struct Kept {
    explicit Kept(const CLayer& l) : maps(l.results.resultMaps), labels(l.results.resultLabels), nx(l.mesh.nx),
                                     active(l.mesh.activeCount) {}
    bool In(const CLayer& l) const {
        bool same = l.results.resultLabels == labels && l.results.resultMaps.size() == maps.size() &&
                    l.mesh.nx == nx && l.mesh.activeCount == active;
        for (std::size_t e = 0; same && e < maps.size(); ++e) same = l.results.resultMaps[e].SharesStorageWith(maps[e]);
        return same;
    }
    std::vector<ComplexMatrix> maps;
    std::vector<std::string> labels;
    int nx, active;
};

}  // namespace vantor::testing
