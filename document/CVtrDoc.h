#pragma once
// One decoupling design: the board with its plane objects, the group the
// optimiser works on, the LC filter, the analysis domain and the window
// flags; its views, its edit workflows and its file.

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CFilter.h"
#include "CSParameterDB.h"
#include "CCGroup.h"
#include "GroupEdits.h"
#include "CAnalysisDomain.h"
#include "CCircuitBoard.h"
#include "DocumentFile.h"
#include "Interaction.h"
#include "LayoutDialog.h"
#include "SolveJob.h"
#include "ViewRecords.h"

namespace vantor {

inline constexpr const char* kMessageUnknownVersion = "Dateiversion unbekannt!";
/// Highest Fo the target dialog accepts, Hz.
inline constexpr double kTargetFrequencyLimit = 3e9;

/// Makes every class a document file holds creatable by name.
void RegisterModelClasses();

class CVtrDoc : public ViewRefresher {
public:
    enum class LoadStatus { Loaded, UnknownVersion };

    /// Outcome of opening a file: loaded, of unknown version (the person was
    /// told, the document unchanged), or failed with the reader's message.
    struct OpenResult {
        enum Kind { Loaded, UnknownVersion, Failed } kind = Failed;
        std::string message;
        bool ok() const { return kind == Loaded; }
    };

    /// A new design with the defaults; the database is the application's,
    /// the interaction answers for every message and question.
    CVtrDoc(CSParameterDB& database, Interaction& ui);
    CVtrDoc(const CVtrDoc&) = delete;
    CVtrDoc& operator=(const CVtrDoc&) = delete;
    ~CVtrDoc() override;

    /// The new-document step: optimises the optimisation group. True.
    bool OnNewDocument();

    /// Writes the document record and the attached views' records.
    void Store(CArchive& ar);
    /// Writes the document record alone (Store without the views' records).
    void StoreDesign(CArchive& ar);
    /// Reads a document record into a fresh document and takes it over only
    /// when all of it, and the records of the attached views, were read;
    /// the views then refresh whole. A damaged stream throws ArchiveError
    /// and changes nothing.
    LoadStatus Load(CArchive& ar);
    /// Load for undo and redo: adopt runs on the taken-over document (after
    /// the view records, before the views refresh), e.g. to hand back what
    /// the stream left out.
    LoadStatus Load(CArchive& ar, const std::function<void()>& adopt);

    /// Saves to path (atomically) and clears the modified flag; false with
    /// the reason in error, the old file untouched.
    bool SaveFile(const std::filesystem::path& path, std::string& error, const SaveOptions& options = {});
    /// Opens path into this document.
    OpenResult OpenFile(const std::filesystem::path& path);
    /// Whether the file at path is no longer the one last opened or saved
    /// here (replaced, changed or removed meanwhile): the reason to ask
    /// before saving over it.
    bool ChangedOnDisk(const std::filesystem::path& path) const { return StampOf(path) != diskStamp_; }

    // Views, in attachment order.
    void AddView(DocumentView& view);
    void RemoveView(DocumentView& view);
    const std::vector<DocumentView*>& Views() const { return views_; }

    // The change path. Every command ends in exactly one of these two, once.
    /// Notifies every view but the sender once with what changed.
    void UpdateAllViews(ChangeHint what, DocumentView* sender = nullptr);
    /// Marks the document modified, then notifies the views (all but the
    /// sender) once: the end of a command whose change asks to be saved.
    void DesignChanged(ChangeHint what, DocumentView* sender = nullptr);

    /// What every main form of the design shows (series, transfer state,
    /// current group); null while no main form is attached.
    const MainFormState* MainForm() const;
    /// The record a main form stores: the same object for every main form,
    /// so that each writes the design's state (the first one's is read).
    ViewRecord& MainFormRecord() { return mainForm_; }

    /// The plane the layer editor edits and the solver solves: the first
    /// named "Vcc", else the last; null for a board without planes. The
    /// stored active plane may be another one; it only round-trips.
    const CLayer* plane() const;
    /// The placed group named by the main forms' state, or none.
    const CCGroup* currentGroup() const;
    /// Makes group, a group of the edited plane, the current one; false
    /// when the plane does not hold it. Not marked modified.
    bool selectGroup(const CCGroup* group);
    /// Moves group to (x, y), m, clamped into the plane. Marks modified.
    bool moveGroup(const CCGroup* group, double x, double y);
    /// "Gruppe löschen": detaches and deletes group; the first remaining
    /// group becomes current when it was (none when the list is empty).
    /// False when the plane does not hold it. Not marked modified.
    bool deleteGroup(const CCGroup* group);
    /// The value series of the slot lists: E6, else E12. Not marked
    /// modified; the sending form is not notified.
    void setSeries(bool e6, DocumentView* sender = nullptr);
    // Commands. Each notifies the views once when it changed something;
    // the comment says when it also marks the document modified.

    /// Layout workflow; true when the board changed and the optimisation
    /// succeeded. Marked modified by the command around it (the history).
    bool editLayout(LayoutDialog& dialog);
    /// Target workflow; true when the targets changed and the optimisation
    /// succeeded. Marked modified by the command around it.
    bool editTargets(TargetDialog& dialog);
    /// Default-package workflow; true when the package changed and the
    /// optimisation succeeded. Marked modified by the command around it.
    bool editCapacitorProperties(CapacitorDialog& dialog);
    /// The analysis parameters; true when confirmed. Marked modified by the
    /// command around it.
    bool editAnalysis(AnalysisDialog& dialog);
    /// Takes over the analysis parameters (frequencies, mesh resolution)
    /// as a script or a benchmark sets them. Marks modified.
    void setAnalysisDomain(const CAnalysisDomain& domain);
    /// The plane solver on the solver plane; marks modified when it solved.
    /// Runs the job of startAnalysis to its end on this thread.
    bool analyse(const SolverOptions& options = {});
    /// "Analyse !" for a window that keeps repainting: the job takes its
    /// snapshot of the solver plane now; the caller starts it, pumps it from
    /// its event loop and hands it to finishAnalysis on this thread. The
    /// plane must outlive the job, so the document's windows stay modal
    /// while it runs. Null (after a message) for a board without planes.
    std::unique_ptr<SolveJob> startAnalysis(const SolverOptions& options = {});
    /// Commits a job of startAnalysis: when it solved and was not
    /// cancelled, its results replace the old ones in one step, the
    /// document is marked modified and the views hear of new results once.
    bool finishAnalysis(SolveJob& job);
    /// A placed group "Gruppe<k>" from the optimisation result, made the
    /// current group; null when the board has no plane. Marks modified.
    const CCGroup* newGroup();
    /// Copies the current group into the filter; false when there is none
    /// or it is empty. Marks modified.
    bool transferGroupToFilter();
    /// Fo, Fu, attenuation and maximum current from the form's texts.
    /// Marks modified.
    void setFilterRequirements(const std::string& fo, const std::string& fu, const std::string& attenuation,
                               const std::string& maxCurrent);
    /// The required attenuation, dB (the form's spin). Marks modified; the
    /// sending form is not notified.
    void setMinAttenuation(double attenuation, DocumentView* sender = nullptr);
    /// The choke search of the filter over the database; the candidate
    /// count. Marks modified.
    int searchChoke();
    /// Chooses the candidate choke at index; false when there is none.
    /// Marked modified by the command around it.
    bool selectChoke(int index);
    /// Switches the capacitor group into or out of the filter ("C-Gruppe").
    /// Marks modified.
    void toggleGroupInFilter();
    /// Places a group at the worst point of the solver plane's results and
    /// solves again (a SolveJob run to its end), then refreshes and marks
    /// the document modified. False when nothing was placed or the solve
    /// failed; the group is then taken away again, the old results stay.
    bool killMax(const SolverOptions& options = {});
    /// KillMax as a job, like startAnalysis: places the group now and takes
    /// the snapshot with it; null when nothing could be placed (the plane
    /// said why). The job must be handed to finishKillMax.
    std::unique_ptr<SolveJob> startKillMax(const SolverOptions& options = {});
    /// Commits the job of startKillMax: on success the new results replace
    /// the old ones and the document is marked modified; on failure or
    /// cancel the placed group is taken away again and the old results stay.
    bool finishKillMax(SolveJob& job);
    /// The slot texts C1..C10 of the main form into the current group's
    /// capacitances (slot Ck is list element n + 1 - k). Marks modified;
    /// the sending form is not notified.
    void setGroupValues(const std::array<std::string, 10>& slotTexts, DocumentView* sender = nullptr);
    /// "Neu" of the slot dialog: a capacitor with the default package at
    /// list position p of a placed group; false when it holds ten already.
    /// Marked modified by the command around it.
    bool insertCapacitor(const CCGroup& group, int position);
    /// "Entfernen" of the slot dialog: deletes list element p (1..n) of a
    /// placed group; false when there is none. Marked modified by the
    /// command around it.
    bool removeCapacitor(const CCGroup& group, int position);
    /// "Bearbeiten" of the slot dialog: the package of list element p of a
    /// placed group through the dialog; true when confirmed. Marks modified.
    bool editCapacitor(const CCGroup& group, int position, CapacitorDialog& dialog);
    /// Moves a cut-out of the edited plane by (dx, dy), m, as the layer
    /// editor drags it. Marks modified.
    bool dragCutOut(const CCutOut& cutOut, double dx, double dy);
    /// Whether the graph window / the layer editor is open: stored with the
    /// design, but no change that asks to be saved.
    void setGraphWindowOpen(bool open);
    void setLayerEditorOpen(bool open);
    /// Whether closing a frame should ask to save: never for graph frames,
    /// otherwise when the document's last frame closes while modified.
    bool asksToSaveOnClose(bool graphFrame, bool lastFrameOfDocument) const;

    /// Who keeps the mesh and results a committed solve replaced (the undo
    /// history); without one they are freed with the job.
    void SetSolutionKeeper(std::function<void(PlaneSolution&)> keeper) { solutionKeeper_ = std::move(keeper); }

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }
    Interaction& ui() { return ui_; }
    CSParameterDB& database() { return database_; }

    // The design, to read; it changes only through the commands above (and,
    // inside this folder, DesignAccess).
    const CAnalysisDomain& analysisDomain() const { return analysisDomain_; }
    /// 1 once a group with elements was handed to the filter.
    std::int32_t filterReceivedGroup() const { return filterReceivedGroup_; }
    std::int32_t graphWindowOpen() const { return graphWindowOpen_; }
    std::int32_t layerEditorOpen() const { return layerEditorOpen_; }
    const CFilter& filter() const { return filter_; }
    std::int32_t parasiticsAutomatic() const { return parasiticsAutomatic_; }
    const CCircuitBoard& board() const { return board_; }
    const CCGroup& optimisationGroup() const { return optimisationGroup_; }

private:
    friend class DesignAccess;

    /// The shared main-form state, when a main form is attached.
    MainFormState* EditedMainForm();
    /// plane() and currentGroup() to change.
    CLayer* EditedPlane();
    CCGroup* EditedCurrentGroup();
    /// The board's own group at that address, to change; null when no
    /// plane holds it.
    CCGroup* EditedGroup(const CCGroup& group);
    /// The optimiser's redraws during its correction pass: the groups moved.
    void refreshAllViews() override;
    /// Reads the document record into this (fresh) document and the view
    /// records into the given records.
    LoadStatus ReadContents(CArchive& ar, const std::vector<ViewRecord*>& records);
    void TakeContents(CVtrDoc& fresh);
    /// Starts job (null: false), pumps it to its end on this thread and
    /// hands it to finish.
    bool RunToEnd(const std::unique_ptr<SolveJob>& job, bool (CVtrDoc::*finish)(SolveJob&));
    /// Hands what job replaced to the keeper.
    void KeepReplaced(SolveJob& job);

    CSParameterDB& database_;
    Interaction& ui_;
    bool modified_ = false;
    FileStamp diskStamp_;  // the file as last read or written
    std::vector<DocumentView*> views_;
    // The design, in the order of its record.
    CAnalysisDomain analysisDomain_;
    std::int32_t filterReceivedGroup_ = 0;
    std::int32_t graphWindowOpen_ = 1;
    std::int32_t layerEditorOpen_ = 0;
    CFilter filter_;
    std::int32_t parasiticsAutomatic_ = 1;
    CCircuitBoard board_;
    CCGroup optimisationGroup_;
    MainFormState mainForm_;  // shared by the main forms
    std::function<void(PlaneSolution&)> solutionKeeper_;
    const SolveJob* killMaxJob_ = nullptr;  // the running KillMax and the group it placed
    const CCGroup* killMaxGroup_ = nullptr;
    std::chrono::steady_clock::time_point lastOptimiserRedraw_{};  // the optimiser's redraws, at most 25 a second
};

}  // namespace vantor
