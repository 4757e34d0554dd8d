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

CVtrDoc::CVtrDoc(CSParameterDB& database, Interaction& ui) : database_(database), ui_(ui) {
    filter.fLower = 1e7;
    filter.fUpper = 3e8;
    filter.minAttenuation = 35.0;
    filter.maxSupplyCurrent = 0.1;
    optimisationGroup.fo = 3e9;
    Link();
    if (const CLayer* plane = board.currentLayer) {
        optimisationGroup.posX = std::clamp(0.5 * plane->planeLength, 0.0, plane->planeLength);
        optimisationGroup.posY = std::clamp(0.5 * plane->planeWidth, 0.0, plane->planeWidth);
    }
}

CVtrDoc::~CVtrDoc() = default;

void CVtrDoc::Link() {
    board.document = this;
    board.LinkLayers();
    optimisationGroup.board = &board;
}

bool CVtrDoc::OnNewDocument() {
    Optimise(optimisationGroup, ui_, nullptr, this);
    return true;
}

void CVtrDoc::Store(CArchive& ar) {
    StoreDesign(ar);
    for (DocumentView* v : views_)
        if (const ViewRecord* r = v->Record()) r->Write(ar);
}

void CVtrDoc::StoreDesign(CArchive& ar) {
    ar.WriteInt32(1);
    analysisDomain.Serialize(ar);
    ar.WriteInt32(parasiticsAutomatic);
    ar.WriteInt32(filterReceivedGroup);
    ar.WriteInt32(graphWindowOpen);
    ar.WriteInt32(layerEditorOpen);
    board.Serialize(ar);
    optimisationGroup.Serialize(ar);
    filter.Serialize(ar);
}

CVtrDoc::LoadStatus CVtrDoc::ReadContents(CArchive& ar, const std::vector<ViewRecord*>& records) {
    if (ar.ReadInt32() != 1) {
        ui_.message(kMessageUnknownVersion, MessageKind::Warning);
        return LoadStatus::UnknownVersion;
    }
    analysisDomain.Serialize(ar);
    parasiticsAutomatic = ar.ReadInt32();
    filterReceivedGroup = ar.ReadInt32();
    graphWindowOpen = ar.ReadInt32();
    layerEditorOpen = ar.ReadInt32();
    board.Serialize(ar);
    board.document = this;
    board.LinkLayers();
    optimisationGroup.Serialize(ar);
    optimisationGroup.board = &board;
    filter.Serialize(ar);
    filter.group.board = &board;
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
        if (std::find(targets.begin(), targets.begin() + std::ptrdiff_t(i), targets[i]) == targets.begin() + std::ptrdiff_t(i))
            targets[i]->CopyFrom(*records[i]);
    if (adopt) adopt();
    UpdateAllViews(ChangeHint::Everything);
    return LoadStatus::Loaded;
}

void CVtrDoc::TakeContents(CVtrDoc& fresh) {
    analysisDomain = fresh.analysisDomain;
    filterReceivedGroup = fresh.filterReceivedGroup;
    graphWindowOpen = fresh.graphWindowOpen;
    layerEditorOpen = fresh.layerEditorOpen;
    filter = fresh.filter;
    parasiticsAutomatic = fresh.parasiticsAutomatic;
    board = fresh.board;  // the values
    std::swap(board.layers, fresh.board.layers);
    std::swap(board.currentLayer, fresh.board.currentLayer);
    optimisationGroup.Assign(fresh.optimisationGroup);
    Link();
    filter.group.board = &board;
    filter.AdoptStoredChoke(database_);
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

CLayer* CVtrDoc::plane() const {
    // The lookup does not change the board.
    return const_cast<CCircuitBoard&>(board).SolverLayer();
}

CCGroup* CVtrDoc::currentGroup() const {
    const MainFormState* form = MainForm();
    CLayer* edited = plane();
    if (form == nullptr || edited == nullptr) return nullptr;
    return edited->FindGroupByName(form->currentGroupName);
}

bool CVtrDoc::selectGroup(const CCGroup* group) {
    CLayer* edited = plane();
    MainFormState* form = EditedMainForm();
    if (edited == nullptr || form == nullptr || edited->OwnGroup(group) == nullptr) return false;
    form->currentGroupName = group->name;
    UpdateAllViews(ChangeHint::ViewState);
    return true;
}

bool CVtrDoc::moveGroup(const CCGroup* group, double x, double y) {
    CLayer* edited = plane();
    CCGroup* moved = edited != nullptr ? edited->OwnGroup(group) : nullptr;
    if (moved == nullptr) return false;
    moved->posX = std::clamp(x, 0.0, edited->planeLength);
    moved->posY = std::clamp(y, 0.0, edited->planeWidth);
    DesignChanged(ChangeHint::Groups);
    return true;
}

bool CVtrDoc::deleteGroup(const CCGroup* group) {
    CLayer* edited = plane();
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
    const CCircuitBoard kept(board);
    const CCGroup keptGroup(optimisationGroup);
    bool confirmed = false;
    for (;;) {
        if (!board.editParameters(dialog, ui_)) {
            if (confirmed) {
                board.document = kept.document;
                board.viasPerSide = kept.viasPerSide;
                board.maxFrequency = kept.maxFrequency;
                board.epsilonR = kept.epsilonR;
                board.planeSpacing = kept.planeSpacing;
                board.mountingDepth = kept.mountingDepth;
                board.width = kept.width;
                board.length = kept.length;
                board.viaSpacing = kept.viaSpacing;
                // The planes follow the restored size, so that board and
                // mesh agree again.
                board.resizeLayers();
                optimisationGroup.Assign(keptGroup);
                UpdateAllViews(ChangeHint::Board | ChangeHint::Groups);
            }
            return false;
        }
        confirmed = true;
        if (Optimise(optimisationGroup, ui_, nullptr, this)) {
            UpdateAllViews(ChangeHint::Board | ChangeHint::Groups);
            return true;
        }
    }
}

bool CVtrDoc::editTargets(TargetDialog& dialog) {
    const CCGroup kept(optimisationGroup);
    bool confirmed = false;
    for (;;) {
        if (!EditTargets(optimisationGroup, dialog, kTargetFrequencyLimit)) {
            optimisationGroup.Assign(kept);
            if (confirmed) UpdateAllViews(ChangeHint::Groups);
            return false;
        }
        confirmed = true;
        if (Optimise(optimisationGroup, ui_, nullptr, this)) {
            UpdateAllViews(ChangeHint::Groups);
            return true;
        }
    }
}

bool CVtrDoc::editCapacitorProperties(CapacitorDialog& dialog) {
    const CCapShape kept = optimisationGroup.defaultPackage;
    bool optimised = false;
    for (;;) {
        if (!EditShape(optimisationGroup.defaultPackage, dialog, &board)) {
            optimisationGroup.defaultPackage = kept;
            if (optimised) UpdateAllViews(ChangeHint::Groups);
            return false;
        }
        optimised = true;
        if (Optimise(optimisationGroup, ui_, nullptr, this)) {
            UpdateAllViews(ChangeHint::Groups);
            return true;
        }
    }
}

bool CVtrDoc::editAnalysis(AnalysisDialog& dialog) {
    if (!analysisDomain.edit(dialog)) return false;
    UpdateAllViews(ChangeHint::Analysis);
    return true;
}

bool CVtrDoc::analyse(const SolverOptions& options) { return RunToEnd(startAnalysis(options), &CVtrDoc::finishAnalysis); }

bool CVtrDoc::RunToEnd(const std::unique_ptr<SolveJob>& job, bool (CVtrDoc::*finish)(SolveJob&)) {
    if (job == nullptr) return false;
    job->start();
    while (!job->pump(ui_, std::chrono::milliseconds(100))) {
    }
    return (this->*finish)(*job);
}

std::unique_ptr<SolveJob> CVtrDoc::startAnalysis(const SolverOptions& options) {
    CLayer* solved = plane();
    if (solved == nullptr) {
        ui_.message(kMessageNothingToSolve, MessageKind::Error);
        return nullptr;
    }
    return std::make_unique<SolveJob>(*solved, analysisDomain, options);
}

bool CVtrDoc::finishAnalysis(SolveJob& job) {
    if (!job.commit(ui_)) return false;
    KeepReplaced(job);
    DesignChanged(ChangeHint::Results);
    return true;
}

CCGroup* CVtrDoc::newGroup() {
    CLayer* edited = plane();
    if (edited == nullptr) return nullptr;
    auto held = [&](const std::string& name) {
        return std::any_of(board.layers.begin(), board.layers.end(),
                           [&](const auto& layer) { return layer->FindGroupByName(name) != nullptr; });
    };
    std::string name;
    for (int k = 1;; ++k) {
        name = "Gruppe" + std::to_string(k);
        if (!held(name)) break;
    }
    CCGroup& group = edited->AddGroupAtCentre(optimisationGroup);
    group.name = name;
    group.board = &board;
    if (MainFormState* form = EditedMainForm()) form->currentGroupName = name;
    DesignChanged(ChangeHint::Groups | ChangeHint::ViewState);
    return &group;
}

bool CVtrDoc::transferGroupToFilter() {
    const CCGroup* group = currentGroup();
    if (group == nullptr || group->ElementCount() == 0) return false;
    filter.group.Assign(*group);
    filter.group.board = &board;
    if (filter.group.ElementCount() >= 1) filterReceivedGroup = 1;
    filter.candidates.clear();
    DesignChanged(ChangeHint::Filter);
    return true;
}

void CVtrDoc::setFilterSpecification(const std::string& fo, const std::string& fu, const std::string& attenuation,
                                     const std::string& maxCurrent) {
    filter.fUpper = ParseValue(fo);
    filter.fLower = ParseValue(fu);
    filter.minAttenuation = ParseValue(attenuation);
    filter.maxSupplyCurrent = ParseValue(maxCurrent);
    DesignChanged(ChangeHint::Filter);
}

void CVtrDoc::setMinAttenuation(double attenuation, DocumentView* sender) {
    filter.minAttenuation = attenuation;
    DesignChanged(ChangeHint::Filter, sender);
}

int CVtrDoc::searchChoke() {
    const int found = filter.SearchChokes(database_);
    DesignChanged(ChangeHint::Filter);
    return found;
}

bool CVtrDoc::selectChoke(int index) {
    if (index < 0 || index >= static_cast<int>(filter.candidates.size())) return false;
    filter.selected = index;
    UpdateAllViews(ChangeHint::Filter);
    return true;
}

void CVtrDoc::toggleGroupInFilter() {
    filter.useGroup = filter.useGroup ? 0 : 1;
    DesignChanged(ChangeHint::Filter);
}

bool CVtrDoc::killMax(const SolverOptions& options) { return RunToEnd(startKillMax(options), &CVtrDoc::finishKillMax); }

std::unique_ptr<SolveJob> CVtrDoc::startKillMax(const SolverOptions& options) {
    CLayer* edited = plane();
    CCGroup* placed = edited != nullptr ? edited->KillMax(ui_) : nullptr;
    if (placed == nullptr) return nullptr;
    board.LinkLayers();
    auto job = std::make_unique<SolveJob>(*edited, analysisDomain, options);
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
        if (CLayer* edited = plane()) edited->DeleteGroup(placed);
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
    CCGroup* group = currentGroup();
    if (group == nullptr) return;
    const int n = group->CapacitorCount();
    for (int i = 1; i <= n; ++i) {
        const int k = n + 1 - i;
        if (k <= 10) group->Capacitor(i).capacitance = ParseValue(slotTexts[static_cast<std::size_t>(k - 1)]);
    }
    DesignChanged(ChangeHint::Groups, sender);
}

bool CVtrDoc::insertCapacitor(CCGroup& group, int position) {
    if (group.InsertCapacitor(position) == 0) return false;
    UpdateAllViews(ChangeHint::Groups);
    return true;
}

bool CVtrDoc::removeCapacitor(CCGroup& group, int position) {
    if (position < 1 || position >= group.ElementCount()) return false;
    group.RemoveCapacitor(position);
    UpdateAllViews(ChangeHint::Groups);
    return true;
}

bool CVtrDoc::asksToSaveOnClose(bool graphFrame, bool lastFrameOfDocument) const {
    return !graphFrame && lastFrameOfDocument && modified_;
}

}  // namespace vantor
