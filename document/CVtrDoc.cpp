#include "CVtrDoc.h"

#include <chrono>
#include <new>

#include <algorithm>
#include <optional>
#include <utility>

#include "DecouplingClasses.h"
#include "Optimiser.h"
#include "DocumentFile.h"
#include "Values.h"
#include "CLayer.h"
#include "LayerEditLogic.h"
#include "PlaneSolver.h"

namespace vantor {

void RegisterModelClasses() {
    RegisterDecouplingClasses();
    ClassRegistry::Register("CLayer", [] { return std::make_unique<CLayer>(nullptr, 0.0, 0.0, ""); });
    ClassRegistry::Register("CCutOut", [] { return std::make_unique<CCutOut>(); });
    ClassRegistry::Register("CNode", [] { return std::make_unique<CNode>(); });
    ClassRegistry::Register("CPort", [] { return std::make_unique<CPort>(); });
    ClassRegistry::Register("CProbe", [] { return std::make_unique<CProbe>(); });
}

// The design's two free groups (the optimiser's and the filter's) belong to
// the board's stack-up for the document's whole life: assigning other values
// to them, as reading a file does, keeps that link.
CVtrDoc::CVtrDoc(CSParameterDB& database, Interaction& ui)
    : database_(database), ui_(ui), filter_(&board_), optimisationGroup_(&board_) {
    filter_.fLower = 1e7;
    filter_.fUpper = 3e8;
    filter_.minAttenuation = 35.0;
    filter_.maxSupplyCurrent = 0.1;
    optimisationGroup_.fo = 3e9;
    if (const CLayer* plane = board_.currentLayer) {
        optimisationGroup_.posX = std::clamp(0.5 * plane->planeLength, 0.0, plane->planeLength);
        optimisationGroup_.posY = std::clamp(0.5 * plane->planeWidth, 0.0, plane->planeWidth);
    }
}

CVtrDoc::~CVtrDoc() = default;

bool CVtrDoc::OnNewDocument() {
    Optimise(optimisationGroup_, ui_, nullptr, this);
    return true;
}

void CVtrDoc::Store(CArchive& ar) {
    StoreDesign(ar);
    for (DocumentView* v : views_)
        if (const ViewRecord* r = v->Record()) r->Write(ar);
}

void CVtrDoc::StoreDesign(CArchive& ar) {
    ar.WriteInt32(1);
    analysisDomain_.Serialize(ar);
    ar.WriteInt32(parasiticsAutomatic_);
    ar.WriteInt32(filterReceivedGroup_);
    ar.WriteInt32(graphWindowOpen_);
    ar.WriteInt32(layerEditorOpen_);
    board_.Serialize(ar);
    optimisationGroup_.Serialize(ar);
    filter_.Serialize(ar);
}

CVtrDoc::LoadStatus CVtrDoc::ReadContents(CArchive& ar, const std::vector<ViewRecord*>& records) {
    if (ar.ReadInt32() != 1) {
        ui_.message(kMessageUnknownVersion, MessageKind::Warning);
        return LoadStatus::UnknownVersion;
    }
    analysisDomain_.Serialize(ar);
    parasiticsAutomatic_ = ar.ReadInt32();
    filterReceivedGroup_ = ar.ReadInt32();
    graphWindowOpen_ = ar.ReadInt32();
    layerEditorOpen_ = ar.ReadInt32();
    board_.Serialize(ar);
    optimisationGroup_.Serialize(ar);
    filter_.Serialize(ar);
    // Records of views not attached now (graph, layer editor) are ignored.
    for (ViewRecord* r : records)
        if (!r->Read(ar, ui_)) break;
    return LoadStatus::Loaded;
}

CVtrDoc::LoadStatus CVtrDoc::Load(CArchive& ar) { return Load(ar, {}); }

CVtrDoc::LoadStatus CVtrDoc::Load(CArchive& ar, const std::function<void()>& adopt) {
    std::vector<std::unique_ptr<ViewRecord>> copies;
    std::vector<ViewRecord*> records;
    std::vector<ViewRecord*> targets;
    for (DocumentView* v : views_)
        if (ViewRecord* r = v->Record()) {
            copies.push_back(r->Clone());
            records.push_back(copies.back().get());
            targets.push_back(r);
        }
    CVtrDoc fresh(database_, ui_);
    if (fresh.ReadContents(ar, records) == LoadStatus::UnknownVersion) return LoadStatus::UnknownVersion;
    TakeContents(fresh);
    // A record several views store (the main forms') takes the first one's values.
    for (std::size_t i = 0; i < targets.size(); ++i)
        if (std::find(targets.begin(), targets.begin() + std::ptrdiff_t(i), targets[i]) ==
            targets.begin() + std::ptrdiff_t(i))
            targets[i]->CopyFrom(*records[i]);
    if (adopt) adopt();
    UpdateAllViews(ChangeHint::Everything);
    return LoadStatus::Loaded;
}

void CVtrDoc::TakeContents(CVtrDoc& fresh) {
    analysisDomain_ = fresh.analysisDomain_;
    filterReceivedGroup_ = fresh.filterReceivedGroup_;
    graphWindowOpen_ = fresh.graphWindowOpen_;
    layerEditorOpen_ = fresh.layerEditorOpen_;
    filter_ = fresh.filter_;
    parasiticsAutomatic_ = fresh.parasiticsAutomatic_;
    board_.TakeOver(fresh.board_);
    optimisationGroup_.Assign(fresh.optimisationGroup_);
    filter_.AdoptStoredChoke(database_);
}

bool CVtrDoc::SaveFile(const std::filesystem::path& path, std::string& error, const SaveOptions& options) {
    CArchive ar;
    Store(ar);
    if (!WriteFileAtomically(path, ar.Bytes(), error, options)) return false;
    modified_ = false;
    diskStamp_ = StampOf(path);
    return true;
}

CVtrDoc::OpenResult CVtrDoc::OpenFile(const std::filesystem::path& path) {
    OpenResult result;
    DocumentSource file;
    if (!file.Open(path, result.message)) return result;
    try {
        CArchive ar(file);
        if (Load(ar) == LoadStatus::UnknownVersion) {
            result.kind = OpenResult::UnknownVersion;
            result.message = kMessageUnknownVersion;
            return result;
        }
    } catch (const ArchiveError& e) {
        result.message = "Die Datei " + path.string() + " ist beschädigt oder keine Vantor-Datei: " + e.what();
        return result;
    } catch (const FileReadError& e) {
        result.message = e.what();
        return result;
    } catch (const std::bad_alloc&) {
        // What was read so far is gone with the fresh document it was read into.
        result.message = std::string(kNotEnoughMemory) + " Die Datei " + path.string() + " wird nicht geöffnet.";
        return result;
    }
    modified_ = false;
    diskStamp_ = file.Stamp();
    result.kind = OpenResult::Loaded;
    return result;
}

void CVtrDoc::AddView(DocumentView& view) {
    if (std::find(views_.begin(), views_.end(), &view) == views_.end()) views_.push_back(&view);
}

void CVtrDoc::RemoveView(DocumentView& view) {
    views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
}

void CVtrDoc::UpdateAllViews(ChangeHint what, DocumentView* sender) {
    // A view may detach itself while it redraws; walk a copy.
    const std::vector<DocumentView*> views = views_;
    for (DocumentView* v : views)
        if (v != sender) v->OnUpdate(what);
}

void CVtrDoc::DesignChanged(ChangeHint what, DocumentView* sender) {
    // Marked first, so that a view redrawing sees the unsaved state.
    modified_ = true;
    UpdateAllViews(what, sender);
}

void CVtrDoc::refreshAllViews() {
    // The person watches the values move; a redraw per value change would
    // slow the optimiser down to the speed of the windows. Every command
    // that optimises ends with its own refresh of the final state.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastOptimiserRedraw_ < std::chrono::milliseconds(40)) return;
    lastOptimiserRedraw_ = now;
    UpdateAllViews(ChangeHint::Groups);
}

const MainFormState* CVtrDoc::MainForm() const {
    for (DocumentView* v : views_)
        if (v->Record() == &mainForm_) return &mainForm_;
    return nullptr;
}

MainFormState* CVtrDoc::EditedMainForm() { return MainForm() != nullptr ? &mainForm_ : nullptr; }

const CLayer* CVtrDoc::plane() const {
    // The lookup does not change the board.
    return const_cast<CCircuitBoard&>(board_).SolverLayer();
}

CLayer* CVtrDoc::EditedPlane() { return board_.SolverLayer(); }

const CCGroup* CVtrDoc::currentGroup() const {
    const MainFormState* form = MainForm();
    const CLayer* edited = plane();
    if (form == nullptr || edited == nullptr) return nullptr;
    return edited->FindGroupByName(form->currentGroupName);
}

CCGroup* CVtrDoc::EditedCurrentGroup() {
    const CCGroup* group = currentGroup();
    return group != nullptr ? EditedGroup(*group) : nullptr;
}

CCGroup* CVtrDoc::EditedGroup(const CCGroup& group) {
    for (auto& layer : board_.layers)
        if (CCGroup* own = layer->OwnGroup(&group)) return own;
    return nullptr;
}

bool CVtrDoc::selectGroup(const CCGroup* group) {
    CLayer* edited = EditedPlane();
    MainFormState* form = EditedMainForm();
    if (edited == nullptr || form == nullptr || edited->OwnGroup(group) == nullptr) return false;
    form->currentGroupName = group->name;
    UpdateAllViews(ChangeHint::ViewState);
    return true;
}

bool CVtrDoc::moveGroup(const CCGroup* group, double x, double y) {
    CLayer* edited = EditedPlane();
    CCGroup* moved = edited != nullptr ? edited->OwnGroup(group) : nullptr;
    if (moved == nullptr) return false;
    moved->posX = std::clamp(x, 0.0, edited->planeLength);
    moved->posY = std::clamp(y, 0.0, edited->planeWidth);
    DesignChanged(ChangeHint::Groups);
    return true;
}

bool CVtrDoc::deleteGroup(const CCGroup* group) {
    CLayer* edited = EditedPlane();
    if (edited == nullptr || group == nullptr) return false;
    const std::string name = group->name;
    if (!edited->DeleteGroup(group)) return false;
    const auto& groups = edited->capacitorGroups;
    if (MainFormState* form = EditedMainForm(); form != nullptr && form->currentGroupName == name)
        form->currentGroupName = groups.empty() ? std::string() : groups.front()->name;
    // The main form's "Gruppe löschen" does not mark the document modified.
    UpdateAllViews(ChangeHint::Groups | ChangeHint::ViewState);
    return true;
}

void CVtrDoc::setSeries(bool e6, DocumentView* sender) {
    MainFormState* form = EditedMainForm();
    if (form == nullptr || form->e6 == e6) return;
    form->e6 = e6;
    UpdateAllViews(ChangeHint::ViewState, sender);
}

bool CVtrDoc::editLayout(LayoutDialog& dialog) {
    const CCircuitBoard kept(board_);
    const CCGroup keptGroup(optimisationGroup_);
    bool confirmed = false;
    for (;;) {
        if (!board_.editParameters(dialog, ui_)) {
            if (confirmed) {
                board_.viasPerSide = kept.viasPerSide;
                board_.maxFrequency = kept.maxFrequency;
                board_.epsilonR = kept.epsilonR;
                board_.planeSpacing = kept.planeSpacing;
                board_.mountingDepth = kept.mountingDepth;
                board_.width = kept.width;
                board_.length = kept.length;
                board_.viaSpacing = kept.viaSpacing;
                // The planes follow the restored size, so that board and
                // mesh agree again.
                board_.resizeLayers();
                optimisationGroup_.Assign(keptGroup);
                UpdateAllViews(ChangeHint::Board | ChangeHint::Groups);
            }
            return false;
        }
        confirmed = true;
        if (Optimise(optimisationGroup_, ui_, nullptr, this)) {
            UpdateAllViews(ChangeHint::Board | ChangeHint::Groups);
            return true;
        }
    }
}

bool CVtrDoc::editTargets(TargetDialog& dialog) {
    const CCGroup kept(optimisationGroup_);
    bool confirmed = false;
    for (;;) {
        if (!EditTargets(optimisationGroup_, dialog, kTargetFrequencyLimit)) {
            optimisationGroup_.Assign(kept);
            if (confirmed) UpdateAllViews(ChangeHint::Groups);
            return false;
        }
        confirmed = true;
        if (Optimise(optimisationGroup_, ui_, nullptr, this)) {
            UpdateAllViews(ChangeHint::Groups);
            return true;
        }
    }
}

bool CVtrDoc::editCapacitorProperties(CapacitorDialog& dialog) {
    const CCapShape kept = optimisationGroup_.defaultPackage;
    bool optimised = false;
    for (;;) {
        if (!EditShape(optimisationGroup_.defaultPackage, dialog, &board_)) {
            optimisationGroup_.defaultPackage = kept;
            if (optimised) UpdateAllViews(ChangeHint::Groups);
            return false;
        }
        optimised = true;
        if (Optimise(optimisationGroup_, ui_, nullptr, this)) {
            UpdateAllViews(ChangeHint::Groups);
            return true;
        }
    }
}

bool CVtrDoc::editAnalysis(AnalysisDialog& dialog) {
    if (!analysisDomain_.edit(dialog)) return false;
    UpdateAllViews(ChangeHint::Analysis);
    return true;
}

void CVtrDoc::setAnalysisDomain(const CAnalysisDomain& domain) {
    analysisDomain_ = domain;
    DesignChanged(ChangeHint::Analysis);
}

bool CVtrDoc::analyse(const SolverOptions& options) {
    return RunToEnd(startAnalysis(options), &CVtrDoc::finishAnalysis);
}

bool CVtrDoc::RunToEnd(const std::unique_ptr<SolveJob>& job, bool (CVtrDoc::*finish)(SolveJob&)) {
    if (job == nullptr) return false;
    job->start();
    while (!job->pump(ui_, std::chrono::milliseconds(100))) {
    }
    return (this->*finish)(*job);
}

std::unique_ptr<SolveJob> CVtrDoc::startAnalysis(const SolverOptions& options) {
    CLayer* solved = EditedPlane();
    if (solved == nullptr) {
        ui_.message(kMessageNothingToSolve, MessageKind::Error);
        return nullptr;
    }
    return std::make_unique<SolveJob>(*solved, analysisDomain_, options);
}

bool CVtrDoc::finishAnalysis(SolveJob& job) {
    if (!job.commit(ui_)) return false;
    KeepReplaced(job);
    DesignChanged(ChangeHint::Results);
    return true;
}

const CCGroup* CVtrDoc::newGroup() {
    CLayer* edited = EditedPlane();
    if (edited == nullptr) return nullptr;
    auto held = [&](const std::string& name) {
        return std::any_of(board_.layers.begin(), board_.layers.end(),
                           [&](const auto& layer) { return layer->FindGroupByName(name) != nullptr; });
    };
    std::string name;
    for (int k = 1;; ++k) {
        name = "Gruppe" + std::to_string(k);
        if (!held(name)) break;
    }
    CCGroup& group = edited->AddGroupAtCentre(optimisationGroup_);
    group.name = name;
    if (MainFormState* form = EditedMainForm()) form->currentGroupName = name;
    DesignChanged(ChangeHint::Groups | ChangeHint::ViewState);
    return &group;
}

bool CVtrDoc::transferGroupToFilter() {
    const CCGroup* group = currentGroup();
    if (group == nullptr || group->ElementCount() == 0) return false;
    filter_.group.Assign(*group);
    if (filter_.group.ElementCount() >= 1) filterReceivedGroup_ = 1;
    filter_.candidates.clear();
    DesignChanged(ChangeHint::Filter);
    return true;
}

void CVtrDoc::setFilterRequirements(const std::string& fo, const std::string& fu, const std::string& attenuation,
                                    const std::string& maxCurrent) {
    filter_.fUpper = ParseValue(fo);
    filter_.fLower = ParseValue(fu);
    filter_.minAttenuation = ParseValue(attenuation);
    filter_.maxSupplyCurrent = ParseValue(maxCurrent);
    DesignChanged(ChangeHint::Filter);
}

void CVtrDoc::setMinAttenuation(double attenuation, DocumentView* sender) {
    filter_.minAttenuation = attenuation;
    DesignChanged(ChangeHint::Filter, sender);
}

int CVtrDoc::searchChoke() {
    const int found = filter_.SearchChokes(database_);
    DesignChanged(ChangeHint::Filter);
    return found;
}

bool CVtrDoc::selectChoke(int index) {
    if (index < 0 || index >= static_cast<int>(filter_.candidates.size())) return false;
    filter_.selected = index;
    UpdateAllViews(ChangeHint::Filter);
    return true;
}

void CVtrDoc::toggleGroupInFilter() {
    filter_.useGroup = filter_.useGroup ? 0 : 1;
    DesignChanged(ChangeHint::Filter);
}

bool CVtrDoc::killMax(const SolverOptions& options) { return RunToEnd(startKillMax(options), &CVtrDoc::finishKillMax); }

std::unique_ptr<SolveJob> CVtrDoc::startKillMax(const SolverOptions& options) {
    CLayer* edited = EditedPlane();
    CCGroup* placed = edited != nullptr ? edited->KillMax(ui_) : nullptr;
    if (placed == nullptr) return nullptr;
    auto job = std::make_unique<SolveJob>(*edited, analysisDomain_, options);
    killMaxJob_ = job.get();
    killMaxGroup_ = placed;
    return job;
}

bool CVtrDoc::finishKillMax(SolveJob& job) {
    if (&job != killMaxJob_) return false;
    const CCGroup* placed = std::exchange(killMaxGroup_, nullptr);
    killMaxJob_ = nullptr;
    if (!job.commit(ui_)) {
        // All or nothing: without its solve the group is not placed either.
        if (CLayer* edited = EditedPlane()) edited->DeleteGroup(placed);
        return false;
    }
    KeepReplaced(job);
    DesignChanged(ChangeHint::Groups | ChangeHint::Results);
    return true;
}

void CVtrDoc::KeepReplaced(SolveJob& job) {
    if (!solutionKeeper_) return;
    if (std::optional<PlaneSolution> replaced = job.TakeReplaced()) solutionKeeper_(*replaced);
}

void CVtrDoc::setGroupValues(const std::array<std::string, 10>& slotTexts, DocumentView* sender) {
    CCGroup* group = EditedCurrentGroup();
    if (group == nullptr) return;
    const int n = group->CapacitorCount();
    for (int i = 1; i <= n; ++i) {
        const int k = n + 1 - i;
        if (k <= 10) group->Capacitor(i).capacitance = ParseValue(slotTexts[static_cast<std::size_t>(k - 1)]);
    }
    DesignChanged(ChangeHint::Groups, sender);
}

bool CVtrDoc::insertCapacitor(const CCGroup& group, int position) {
    CCGroup* own = EditedGroup(group);
    if (own == nullptr || own->InsertCapacitor(position) == 0) return false;
    UpdateAllViews(ChangeHint::Groups);
    return true;
}

bool CVtrDoc::removeCapacitor(const CCGroup& group, int position) {
    CCGroup* own = EditedGroup(group);
    if (own == nullptr || position < 1 || position >= own->ElementCount()) return false;
    own->RemoveCapacitor(position);
    UpdateAllViews(ChangeHint::Groups);
    return true;
}

bool CVtrDoc::editCapacitor(const CCGroup& group, int position, CapacitorDialog& dialog) {
    CCGroup* own = EditedGroup(group);
    if (own == nullptr || position < 1 || position >= own->ElementCount()) return false;
    if (!EditShape(own->Capacitor(position).shape, dialog, &board_)) return false;
    DesignChanged(ChangeHint::Groups);
    return true;
}

bool CVtrDoc::dragCutOut(const CCutOut& cutOut, double dx, double dy) {
    CLayer* edited = EditedPlane();
    if (edited == nullptr) return false;
    for (auto& c : edited->cutOuts)
        if (c.get() == &cutOut) {
            DragCutOut(*c, dx, dy);
            DesignChanged(ChangeHint::Board);
            return true;
        }
    return false;
}

void CVtrDoc::setGraphWindowOpen(bool open) {
    graphWindowOpen_ = open ? 1 : 0;
    UpdateAllViews(ChangeHint::ViewState);
}

void CVtrDoc::setLayerEditorOpen(bool open) {
    layerEditorOpen_ = open ? 1 : 0;
    UpdateAllViews(ChangeHint::ViewState);
}

bool CVtrDoc::asksToSaveOnClose(bool graphFrame, bool lastFrameOfDocument) const {
    return !graphFrame && lastFrameOfDocument && modified_;
}

}  // namespace vantor
