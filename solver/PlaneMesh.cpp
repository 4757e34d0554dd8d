#include "PlaneMesh.h"

#include <cmath>
#include <limits>

namespace vantor {

int IsOnMetal(const OwnedList<CCutOut>& cutOuts, double x, double y) {
    for (const auto& c : cutOuts)
        if (c->contains(x, y)) return 0;
    return 1;
}

double PlaneMesh::CellSizeFor(double epsilonR, double fTop, double resolution) {
    return (0.3 / (fTop * 1e-9 * std::sqrt(epsilonR)) * 0.1) / resolution;
}

bool PlaneMesh::GridFor(double length, double width, double epsilonR, double fTop, double resolution, double& h,
                        double& columns, double& rows) {
    h = CellSizeFor(epsilonR, fTop, resolution);
    if (!(h > 0.0) || !std::isfinite(h) || !(length >= 0.0) || !(width >= 0.0)) return false;
    columns = std::floor(length / h) + 1.0;
    rows = std::floor(width / h) + 1.0;
    // The grid count is an int32 in the file and in the sparse indices.
    return columns * rows < static_cast<double>(std::numeric_limits<std::int32_t>::max());
}

bool PlaneMesh::Build(double length, double width, double epsilonR, const OwnedList<CCutOut>& cutOuts, double fTop,
                      double resolution) {
    double h = 0.0, columns = 0.0, rows = 0.0;
    if (!GridFor(length, width, epsilonR, fTop, resolution, h, columns, rows)) return false;

    PlaneMesh m;
    m.cellSize = h;
    m.nx = static_cast<std::int32_t>(columns);
    m.ny = static_cast<std::int32_t>(rows);
    m.gridPointCount = m.nx * m.ny;
    m.nodeIndexMap = IntMatrix(m.ny, m.nx, 0);
    const int columnCount = m.nx, rowCount = m.ny;

    std::vector<char> metal(static_cast<std::size_t>(m.gridPointCount));
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < columnCount; ++c)
            metal[static_cast<std::size_t>(r) * columnCount + c] = IsOnMetal(cutOuts, c * h, r * h) != 0;
    auto isMetal = [&](int r, int c) {
        return r >= 0 && r < rowCount && c >= 0 && c < columnCount &&
               metal[static_cast<std::size_t>(r) * columnCount + c];
    };

    // A metal point without a metal neighbour carries no branch and would
    // make the system singular: it gets no unknown and reads as no metal.
    m.gridNodes.reserve(static_cast<std::size_t>(m.gridPointCount));
    std::int32_t k = 0;
    for (int r = 0; r < rowCount; ++r) {
        for (int c = 0; c < columnCount; ++c) {
            const bool onMetal = isMetal(r, c);
            auto node = std::make_unique<CNode>(r * columnCount + c + 1, onMetal ? 1 : 0, r, c, c * h, r * h);
            const bool connected = onMetal &&
                                   (isMetal(r, c - 1) || isMetal(r, c + 1) || isMetal(r - 1, c) || isMetal(r + 1, c));
            if (connected) {
                ++k;
                m.nodeIndexMap.Set(r, c, k);
                m.nodePorts.push_back(std::make_unique<CPort>(k, node.get()));
            }
            m.gridNodes.push_back(std::move(node));
        }
    }
    m.activeCount = k;

    PlaneStructure& s = m.structure;
    s.n = k;
    s.interiorDiag.assign(static_cast<std::size_t>(k), 0);
    s.edgeDiag.assign(static_cast<std::size_t>(k), 0);
    s.columnStart.assign(static_cast<std::size_t>(k) + 1, 0);
    s.rowIndex.reserve(static_cast<std::size_t>(k) * 5);
    s.kind.reserve(static_cast<std::size_t>(k) * 5);
    auto at = [&](int r, int c) {
        return r >= 0 && r < rowCount && c >= 0 && c < columnCount ? m.nodeIndexMap(r, c) : 0;
    };
    for (const auto& port : m.nodePorts) {
        const int r = port->node->row, c = port->node->column, self = port->index;
        const int L = at(r, c - 1), R = at(r, c + 1), D = at(r - 1, c), U = at(r + 1, c);
        const int DL = at(r - 1, c - 1), UL = at(r + 1, c - 1), DR = at(r - 1, c + 1), UR = at(r + 1, c + 1);
        // A branch stands for a full strip only when metal lies on both sides.
        const bool interiorL = UL && U && DL && D;
        const bool interiorR = UR && U && DR && D;
        const bool interiorD = DL && L && DR && R;
        const bool interiorU = UL && L && UR && R;
        auto branch = [&](int j, bool interior) {
            if (j == 0) return;
            (interior ? s.interiorDiag : s.edgeDiag)[self - 1] += 1;
            s.rowIndex.push_back(j - 1);
            s.kind.push_back(interior ? PlaneStructure::InteriorOff : PlaneStructure::EdgeOff);
        };
        // Rows ascend within a column: D, L, the node, R, U.
        branch(D, interiorD);
        branch(L, interiorL);
        s.rowIndex.push_back(self - 1);
        s.kind.push_back(PlaneStructure::Diagonal);
        branch(R, interiorR);
        branch(U, interiorU);
        s.columnStart[static_cast<std::size_t>(self)] = static_cast<int>(s.rowIndex.size());
    }
    *this = std::move(m);
    return true;
}

const CNode* PlaneMesh::FindNearestNode(double x, double y) const {
    double best = 1e12;
    const CNode* found = nullptr;
    for (const auto& n : gridNodes) {
        const double d = std::hypot(n->x - x, n->y - y);
        if (d < best) {
            best = d;
            found = n.get();
        }
    }
    return found;
}

const CPort* PlaneMesh::FindNearestNodePort(double x, double y) const {
    double best = 1e12;
    const CPort* found = nullptr;
    for (const auto& p : nodePorts) {
        if (p->node == nullptr) continue;
        const double d = std::hypot(p->node->x - x, p->node->y - y);
        if (d < best) {
            best = d;
            found = p.get();
        }
    }
    return found;
}

}  // namespace vantor
