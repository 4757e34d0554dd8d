#include "CLayer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "CCGroup.h"
#include "CAnalysisDomain.h"
#include "BoardStackup.h"
#include "Interaction.h"
#include "Values.h"

namespace vantor {

struct CLayer::Mesh {
    double cellSize = 0.0;
    std::int32_t nx = 0, ny = 0, activeCount = 0, gridPointCount = 0;
    std::vector<std::unique_ptr<CPort>> nodePorts;
    std::vector<std::unique_ptr<CNode>> gridNodes;
    PlaneStructure structure;
    IntMatrix nodeIndexMap;
};

CLayer::CLayer(const BoardStackup* board_, double planeLength_, double planeWidth_, std::string name_)
    : name(std::move(name_)), planeLength(planeLength_), planeWidth(planeWidth_), board(board_) {
    probes.push_back(std::make_unique<CProbe>(0.5 * planeLength, 0.5 * planeWidth, "Probe1"));
    probes.push_back(std::make_unique<CProbe>(0.25 * planeLength, 0.25 * planeWidth, "Probe2"));
}

CLayer::~CLayer() = default;

CLayer::Mesh CLayer::TakeMesh() {
    Mesh m;
    m.cellSize = cellSize;
    m.nx = nx;
    m.ny = ny;
    m.activeCount = activeCount;
    m.gridPointCount = gridPointCount;
    m.nodePorts = std::move(nodePorts);
    m.gridNodes = std::move(gridNodes);
    m.structure = std::move(structure);
    m.nodeIndexMap = std::move(nodeIndexMap);
    nodePorts.clear();
    gridNodes.clear();
    structure.Clear();
    nodeIndexMap = IntMatrix();
    return m;
}

void CLayer::RestoreMesh(Mesh&& m) {
    cellSize = m.cellSize;
    nx = m.nx;
    ny = m.ny;
    activeCount = m.activeCount;
    gridPointCount = m.gridPointCount;
    nodePorts = std::move(m.nodePorts);
    gridNodes = std::move(m.gridNodes);
    structure = std::move(m.structure);
    nodeIndexMap = std::move(m.nodeIndexMap);
}

bool CLayer::BuildMeshAndSolve(const CAnalysisDomain& domain, Interaction& ui, const SolverOptions& options) {
    if (board == nullptr) {
        ui.message("Die Lage gehört zu keiner Platine.", MessageKind::Error);
        return false;
    }
    Mesh previous = TakeMesh();
    if (!BuildMesh(domain.stopFrequency, domain.resolution)) {
        RestoreMesh(std::move(previous));
        ui.message("Aus Stopfrequenz " + FormatValue(domain.stopFrequency, "Hz") + " und Auflösung " +
                       FormatLimit(domain.resolution) +
                       " lässt sich kein Gitter bilden.\nDie bisherigen Ergebnisse bleiben erhalten.",
                   MessageKind::Error);
        return false;
    }
    if (SolvePlane(domain, ui, options)) return true;
    // The old results belong to the old mesh: keep them together.
    RestoreMesh(std::move(previous));
    return false;
}

double CLayer::CellSizeFor(double fTop, double resolution) const {
    const double er = board != nullptr ? board->epsilonR : 1.0;
    return (0.3 / (fTop * 1e-9 * std::sqrt(er)) * 0.1) / resolution;
}

bool CLayer::BuildMesh(double fTop, double resolution) {
    const double h = CellSizeFor(fTop, resolution);
    const double length = board != nullptr ? board->length : planeLength;
    const double width = board != nullptr ? board->width : planeWidth;
    if (!(h > 0.0) || !std::isfinite(h) || !(length >= 0.0) || !(width >= 0.0)) return false;
    const double columns = std::floor(length / h) + 1.0;
    const double rows = std::floor(width / h) + 1.0;
    // The grid count is an int32 in the file and in the sparse indices.
    if (!(columns * rows < static_cast<double>(std::numeric_limits<std::int32_t>::max()))) return false;

    cellSize = h;
    planeLength = length;
    planeWidth = width;
    nx = static_cast<std::int32_t>(columns);
    ny = static_cast<std::int32_t>(rows);
    gridPointCount = nx * ny;
    nodePorts.clear();
    gridNodes.clear();
    structure.Clear();
    nodeIndexMap = IntMatrix(ny, nx, 0);

    std::vector<char> metal(static_cast<std::size_t>(gridPointCount));
    for (int r = 0; r < ny; ++r)
        for (int c = 0; c < nx; ++c) metal[static_cast<std::size_t>(r) * nx + c] = IsOnMetal(c * h, r * h) != 0;
    auto isMetal = [&](int r, int c) {
        return r >= 0 && r < ny && c >= 0 && c < nx && metal[static_cast<std::size_t>(r) * nx + c];
    };

    // A metal point without a metal neighbour carries no branch and would
    // make the system singular: it gets no unknown and reads as no metal.
    gridNodes.reserve(static_cast<std::size_t>(gridPointCount));
    std::int32_t k = 0;
    for (int r = 0; r < ny; ++r) {
        for (int c = 0; c < nx; ++c) {
            const bool onMetal = isMetal(r, c);
            auto node = std::make_unique<CNode>(r * nx + c + 1, onMetal ? 1 : 0, r, c, c * h, r * h);
            const bool connected =
                onMetal && (isMetal(r, c - 1) || isMetal(r, c + 1) || isMetal(r - 1, c) || isMetal(r + 1, c));
            if (connected) {
                ++k;
                nodeIndexMap.Set(r, c, k);
                nodePorts.push_back(std::make_unique<CPort>(k, node.get()));
            }
            gridNodes.push_back(std::move(node));
        }
    }
    activeCount = k;

    PlaneStructure& s = structure;
    s.n = k;
    s.interiorDiag.assign(static_cast<std::size_t>(k), 0);
    s.edgeDiag.assign(static_cast<std::size_t>(k), 0);
    s.columnStart.assign(static_cast<std::size_t>(k) + 1, 0);
    s.rowIndex.reserve(static_cast<std::size_t>(k) * 5);
    s.kind.reserve(static_cast<std::size_t>(k) * 5);
    auto at = [&](int r, int c) { return r >= 0 && r < ny && c >= 0 && c < nx ? nodeIndexMap(r, c) : 0; };
    for (const auto& port : nodePorts) {
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
    return true;
}

int CLayer::IsOnMetal(double x, double y) const {
    for (const auto& c : cutOuts)
        if (c->contains(x, y)) return 0;
    return 1;
}

CNode* CLayer::FindNearestNode(double x, double y) const {
    double best = 1e12;
    CNode* found = nullptr;
    for (const auto& n : gridNodes) {
        const double d = std::hypot(n->x - x, n->y - y);
        if (d < best) {
            best = d;
            found = n.get();
        }
    }
    return found;
}

CPort* CLayer::FindNearestNodePort(double x, double y) const {
    double best = 1e12;
    CPort* found = nullptr;
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

CProbe* CLayer::HitProbe(double x, double y) const {
    for (const auto& p : probes)
        if (std::hypot(p->x - x, p->y - y) <= 0.0015) return p.get();
    return nullptr;
}

CCutOut* CLayer::HitCutOut(double x, double y) const {
    for (const auto& c : cutOuts)
        if (c->covers(x, y)) return c.get();
    return nullptr;
}

CCGroup& CLayer::AddGroupAtCentre(const CCGroup& group) {
    auto copy = std::make_unique<CCGroup>();
    copy->Assign(group);
    copy->posX = 0.5 * planeLength;
    copy->posY = 0.5 * planeWidth;
    capacitorGroups.push_back(std::move(copy));
    return *capacitorGroups.back();
}

CCGroup* CLayer::FindGroupByName(const std::string& groupName) const {
    for (const auto& g : capacitorGroups)
        if (g->name == groupName) return g.get();
    return nullptr;
}

bool CLayer::CutOutNameExists(const std::string& cutOutName) const {
    return std::any_of(cutOuts.begin(), cutOuts.end(), [&](const auto& c) { return c->name == cutOutName; });
}

bool CLayer::DeleteCutOutByName(const std::string& cutOutName) {
    auto it = std::find_if(cutOuts.begin(), cutOuts.end(), [&](const auto& c) { return c->name == cutOutName; });
    if (it == cutOuts.end()) return false;
    cutOuts.erase(it);
    return true;
}

bool CLayer::ProbePositionByName(const std::string& probeName, double& x, double& y) const {
    for (const auto& p : probes) {
        if (p->name == probeName) {
            x = p->x;
            y = p->y;
            return true;
        }
    }
    return false;
}

}  // namespace vantor
