#include "DesignHistory.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "CLayer.h"
#include "CVtrDoc.h"
#include "DesignAccess.h"

namespace vantor {

namespace {

void SwapSolution(CLayer& plane, PlaneSolution& solution) {
    std::swap(plane.mesh, solution.mesh);
    std::swap(plane.results, solution.results);
}

// What a solution holds on the heap, roughly: the maps, the mesh's objects
// and its sparse structure.
std::size_t SolutionBytes(const PlaneSolution& s) {
    std::size_t n = 0;
    for (const ComplexMatrix& m : s.results.resultMaps)
        n += static_cast<std::size_t>(m.Rows()) * static_cast<std::size_t>(m.Columns()) * sizeof(std::complex<double>);
    for (const std::string& label : s.results.resultLabels) n += label.capacity();
    const PlaneMesh& mesh = s.mesh;
    n += mesh.gridNodes.size() * (sizeof(CNode) + sizeof(void*));
    n += mesh.nodePorts.size() * (sizeof(CPort) + sizeof(void*));
    n += static_cast<std::size_t>(mesh.nodeIndexMap.Rows()) * static_cast<std::size_t>(mesh.nodeIndexMap.Columns()) *
         sizeof(int);
    const PlaneStructure& st = mesh.structure;
    n += (st.interiorDiag.size() + st.edgeDiag.size() + st.columnStart.size() + st.rowIndex.size()) * sizeof(int) +
         st.kind.size();
    return n;
}

void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

}  // namespace

DesignHistory::DesignHistory(CVtrDoc& doc, std::size_t limit, std::size_t byteLimit)
    : doc_(doc), limit_(std::max<std::size_t>(limit, 1)), byteLimit_(byteLimit) {
    doc_.SetSolutionKeeper([this](PlaneSolution& replaced) { Keep(replaced); });
    Clear();
}

DesignHistory::~DesignHistory() { doc_.SetSolutionKeeper({}); }

std::size_t DesignHistory::Snapshot::Size() const {
    std::size_t n = design.size();
    for (const Record& r : records) n += r.bytes.size();
    return n;
}

std::size_t DesignHistory::Step::Bytes() const {
    return label.size() + before.Size() + after.Size() + (other ? SolutionBytes(*other) : 0);
}

DesignHistory::Snapshot DesignHistory::Capture() const {
    // The mesh and results step aside while the document is written, and
    // come back even when writing throws.
    struct Aside {
        CLayer* plane;
        PlaneSolution solution;
        explicit Aside(CLayer* p) : plane(p) {
            if (plane != nullptr) SwapSolution(*plane, solution);
        }
        ~Aside() {
            if (plane != nullptr) SwapSolution(*plane, solution);
        }
        Aside(const Aside&) = delete;
        Aside& operator=(const Aside&) = delete;
    } aside(DesignAccess::Plane(doc_));

    Snapshot s;
    CArchive design;
    doc_.StoreDesign(design);
    s.design = design.Bytes();
    for (DocumentView* v : doc_.Views())
        if (const ViewRecord* r = v->Record()) {
            CArchive ar;
            r->Write(ar);
            s.records.push_back({v, typeid(*r), ar.Bytes()});
        }
    s.candidates = doc_.filter().candidates;
    s.selected = doc_.filter().selected;
    return s;
}

void DesignHistory::Begin(std::string label) { pending_ = Pending{std::move(label), Capture(), std::nullopt}; }

void DesignHistory::Abandon() { pending_.reset(); }

void DesignHistory::Keep(PlaneSolution& replaced) {
    // Only the solution from before the command matters; a solve outside a
    // command is not undoable and its predecessor is freed with the job.
    if (pending_ && !pending_->replaced) pending_->replaced = std::move(replaced);
}

bool DesignHistory::Commit() {
    if (!pending_) return false;
    Pending p = std::move(*pending_);
    pending_.reset();
    Snapshot after = Capture();
    if (!p.replaced && after == p.before) return false;

    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(current_), steps_.end());
    if (saved_ != kNone && saved_ > current_) saved_ = kNone;
    steps_.push_back(Step{std::move(p.label), std::move(p.before), std::move(after), std::move(p.replaced)});
    ++current_;
    // One rule for undo and for the save question: a command that changed
    // what the file holds made the design differ from the file.
    doc_.SetModifiedFlag(true);
    Trim();
    return true;
}

void DesignHistory::DropOldest() {
    steps_.pop_front();
    --current_;
    saved_ = saved_ == 0 || saved_ == kNone ? kNone : saved_ - 1;
}

void DesignHistory::Trim() {
    while (steps_.size() > limit_) DropOldest();
    std::size_t held = HeldBytes();
    // Every step is done here (the redo steps went with the push), so each
    // kept solution is the one from before its step: the bulk of the bytes,
    // and the least needed.
    for (Step& step : steps_) {
        if (held <= byteLimit_) break;
        if (!step.other) continue;
        const std::size_t bytes = SolutionBytes(*step.other);
        if (bytes == 0) continue;
        step.other = PlaneSolution{};
        step.solutionDropped = true;
        held -= bytes;
    }
    while (held > byteLimit_ && !steps_.empty()) {
        held -= steps_.front().Bytes();
        DropOldest();
    }
}

std::string DesignHistory::UndoLabel() const {
    if (!CanUndo()) return {};
    const Step& step = steps_[current_ - 1];
    return step.solutionDropped ? step.label + " (ohne die früheren Ergebnisse)" : step.label;
}

std::string DesignHistory::RedoLabel() const { return CanRedo() ? steps_[current_].label : std::string(); }

bool DesignHistory::Undo() {
    if (!CanUndo()) return false;
    Step& step = steps_[current_ - 1];
    return Restore(step.before, step.other, current_ - 1);
}

bool DesignHistory::Redo() {
    if (!CanRedo()) return false;
    Step& step = steps_[current_];
    return Restore(step.after, step.other, current_ + 1);
}

bool DesignHistory::Restore(const Snapshot& s, std::optional<PlaneSolution>& other, std::size_t target) {
    // The records of the views attached now, in their order: the snapshot's
    // where it has one for that view, else the view keeps its own.
    std::vector<std::uint8_t> bytes = s.design;
    for (DocumentView* v : doc_.Views()) {
        const ViewRecord* r = v->Record();
        if (r == nullptr) continue;
        const auto kept = std::find_if(s.records.begin(), s.records.end(), [&](const Snapshot::Record& k) {
            return k.view == v && k.kind == std::type_index(typeid(*r));
        });
        if (kept != s.records.end()) {
            Append(bytes, kept->bytes);
        } else {
            CArchive ar;
            r->Write(ar);
            Append(bytes, ar.Bytes());
        }
    }

    // What the restored plane gets: the step's other solution, or the one
    // in the plane now.
    CLayer* const plane = DesignAccess::Plane(doc_);
    PlaneSolution keep;
    if (plane != nullptr) SwapSolution(*plane, keep);
    if (other) std::swap(keep, *other);
    // Which windows are open is not the command's to take back.
    const std::int32_t graphOpen = doc_.graphWindowOpen(), editorOpen = doc_.layerEditorOpen();
    bool adopted = false;
    try {
        CArchive ar(std::move(bytes));
        doc_.Load(ar, [&] {
            DesignAccess::GraphWindowOpen(doc_) = graphOpen;
            DesignAccess::LayerEditorOpen(doc_) = editorOpen;
            if (CLayer* restored = DesignAccess::Plane(doc_)) SwapSolution(*restored, keep);
            DesignAccess::Filter(doc_).candidates = s.candidates;
            DesignAccess::Filter(doc_).selected = s.selected;
            current_ = target;
            doc_.SetModifiedFlag(current_ != saved_);
            adopted = true;
        });
    } catch (const std::exception&) {
        if (adopted) throw;  // a view failed to redraw; the document is whole
    }
    if (!adopted) {
        // The load changed nothing: the solutions go back where they were.
        if (other) std::swap(keep, *other);
        if (plane != nullptr) SwapSolution(*plane, keep);
    }
    return adopted;
}

void DesignHistory::MarkSaved() { saved_ = current_; }

void DesignHistory::Clear() {
    steps_.clear();
    pending_.reset();
    current_ = 0;
    saved_ = doc_.IsModified() ? kNone : 0;
}

std::size_t DesignHistory::SnapshotBytes() const {
    std::size_t n = 0;
    for (const Step& step : steps_) n += step.before.Size() + step.after.Size();
    return n;
}

std::size_t DesignHistory::HeldBytes() const {
    std::size_t n = 0;
    for (const Step& step : steps_) n += step.Bytes();
    return n;
}

}  // namespace vantor
