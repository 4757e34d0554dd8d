#include "CLayer.h"

#include <algorithm>
#include <utility>
#include <cmath>

#include "BoardStackup.h"
#include "CAnalysisDomain.h"
#include "CArchive.h"
#include "CCGroup.h"
#include "Interaction.h"
#include "PlaneSolver.h"
#include "SolveJob.h"
#include "Values.h"

namespace vantor {

CLayer::CLayer(const BoardStackup* stackup, double planeLength_, double planeWidth_, std::string name_)
    : name(std::move(name_)), planeLength(planeLength_), planeWidth(planeWidth_), board_(stackup) {
    probes.push_back(std::make_unique<CProbe>(0.5 * planeLength, 0.5 * planeWidth, "Probe1"));
    probes.push_back(std::make_unique<CProbe>(0.25 * planeLength, 0.25 * planeWidth, "Probe2"));
}

CLayer::~CLayer() = default;

double CLayer::CellSizeFor(double fTop, double resolution) const {
    return PlaneMesh::CellSizeFor(board_ != nullptr ? board_->epsilonR : 1.0, fTop, resolution);
}

bool CLayer::BuildMesh(double fTop, double resolution) {
    const double length = board_ != nullptr ? board_->length : planeLength;
    const double width = board_ != nullptr ? board_->width : planeWidth;
    if (!mesh.Build(length, width, board_ != nullptr ? board_->epsilonR : 1.0, cutOuts, fTop, resolution)) return false;
    planeLength = length;
    planeWidth = width;
    return true;
}

bool CLayer::BuildMeshAndSolve(const CAnalysisDomain& domain, Interaction& ui, const SolverOptions& options) {
    SolveJob job(*this, domain, options);
    return job.run(ui);
}

const CProbe* CLayer::HitProbe(double x, double y) const {
    for (const auto& p : probes)
        if (std::hypot(p->x - x, p->y - y) <= 0.0015) return p.get();
    return nullptr;
}

const CCutOut* CLayer::HitCutOut(double x, double y) const {
    for (const auto& c : cutOuts)
        if (c->covers(x, y)) return c.get();
    return nullptr;
}

void CLayer::LinkTo(const BoardStackup* stackup) {
    board_ = stackup;
    for (auto& g : capacitorGroups) g->board_ = stackup;
}

CCGroup& CLayer::AddGroupAtCentre(const CCGroup& group) {
    auto copy = std::make_unique<CCGroup>(board_);
    copy->Assign(group);
    copy->posX = 0.5 * planeLength;
    copy->posY = 0.5 * planeWidth;
    capacitorGroups.push_back(std::move(copy));
    return *capacitorGroups.back();
}

const CCGroup* CLayer::FindGroupByName(const std::string& groupName) const {
    for (const auto& g : capacitorGroups)
        if (g->name == groupName) return g.get();
    return nullptr;
}

CCGroup* CLayer::FindGroupByName(const std::string& groupName) {
    return OwnGroup(std::as_const(*this).FindGroupByName(groupName));
}

CCGroup* CLayer::OwnGroup(const CCGroup* group) {
    for (auto& g : capacitorGroups)
        if (g.get() == group) return g.get();
    return nullptr;
}

bool CLayer::DeleteGroup(const CCGroup* group) {
    auto it = std::find_if(capacitorGroups.begin(), capacitorGroups.end(),
                           [&](const auto& g) { return g.get() == group; });
    if (it == capacitorGroups.end()) return false;
    capacitorGroups.erase(it);
    return true;
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

CCGroup* CLayer::KillMax(Interaction& ui) {
    const WorstPoint worst = results.FindWorstPoint();
    if (!worst.found) {
        ui.message("KillMax: Es liegen keine Ergebnisse auf Metall vor; es wurde keine Gruppe gesetzt.",
                   MessageKind::Warning);
        return nullptr;
    }
    const double fmax = worst.frequency;
    if (board_ == nullptr || !(fmax > 0.0) || !std::isfinite(fmax)) {
        ui.message("KillMax: Das größte |Z| hat keine Frequenz; es wurde keine Gruppe gesetzt.", MessageKind::Warning);
        return nullptr;
    }

    CCGroup group;
    group.Append(CCGroup::PlaneCapacitanceEntry(*board_));
    // 5e-10 H stands for the capacitor's own inductance.
    const double t = 1.0 / (kTwoPi * fmax);
    group.Append(group.NewCapacitor(t * t / (board_->ViaLoopInductance(1) + 5e-10)));
    for (int counter = 1;; ++counter) {
        group.name = "ResCap" + std::to_string(counter);
        if (FindGroupByName(group.name) == nullptr) break;
    }

    CCGroup& placed = AddGroupAtCentre(group);
    placed.posX = std::clamp(worst.column * mesh.cellSize, 0.0, planeLength);
    placed.posY = std::clamp(worst.row * mesh.cellSize, 0.0, planeWidth);
    return &placed;
}

// The record.

namespace {

template <class T>
void SerializeList(CArchive& ar, std::vector<T>& list, const char* className) {
    using Object = std::remove_pointer_t<decltype(std::declval<T&>().get())>;
    if (ar.IsStoring()) {
        ar.WriteCount(list.size());
        for (auto& o : list) ar.WriteObject(o.get());
        return;
    }
    // Grows as the elements are read: a count the file only claims to fill
    // reserves nothing.
    const std::size_t n = ar.ReadListCount();
    std::vector<T> read;
    for (std::size_t i = 0; i < n; ++i) read.push_back(ReadListElement<Object>(ar, className));
    list = std::move(read);
}

}  // namespace

void CLayer::Serialize(CArchive& ar) {
    std::int32_t version = 2;
    ar.Int32(version);
    if (ar.IsLoading() && version != 1 && version != 2)
        throw ArchiveError("Unbekannte Version " + std::to_string(version) + " eines Datensatzes CLayer");
    ar.Double(mesh.cellSize);
    ar.Double(planeLength);
    ar.Double(planeWidth);
    ar.Int32(mesh.nx);
    ar.Int32(mesh.ny);
    ar.Int32(mesh.gridPointCount);
    ar.Int32(mesh.activeCount);
    ar.Int32(groundFlag);
    // A mesh has no negative size; the results header repeats it.
    if (ar.IsLoading() && (mesh.nx < 0 || mesh.ny < 0))
        throw ArchiveError("Ungültige Gittergröße " + std::to_string(mesh.nx) + " x " + std::to_string(mesh.ny) +
                           " einer Lage");
    ar.Text(name);
    SerializeList(ar, capacitorGroups, "CCGroup");
    if (ar.IsLoading()) LinkTo(board_);  // the groups read belong to the plane's board
    SerializeList(ar, cutOuts, "CCutOut");
    SerializeList(ar, mesh.gridNodes, "CNode");
    SerializeList(ar, mesh.nodePorts, "CPort");
    if (ar.IsLoading()) {
        // The two probes of construction make way for the stored ones; the
        // mesh's index map and structure are not stored.
        probes.clear();
        mesh.nodeIndexMap = IntMatrix();
        mesh.structure.Clear();
    }
    SerializeList(ar, probes, "CProbe");
    if (ar.IsStoring())
        results.Write(ar, mesh.ny, mesh.nx);
    else if (version == 2)
        results.Read(ar);
    else
        results = PlaneResults();
}

}  // namespace vantor
