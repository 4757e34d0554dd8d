#pragma once
// One decoupling design: the board with its plane objects, the group the
// optimiser works on, the LC filter, the analysis domain and the window
// flags; its views, its edit workflows and its file.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "CFilter.h"
#include "CSParameterDB.h"
#include "CCGroup.h"
#include "GroupEdits.h"
#include "CAnalysisDomain.h"
#include "CCircuitBoard.h"
#include "Interaction.h"
#include "LayoutDialog.h"
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
    /// Reads a document record into a fresh document and takes it over only
    /// when all of it, and the records of the attached views, were read.
    /// A damaged stream throws ArchiveError and changes nothing.
    LoadStatus Load(CArchive& ar);
    void Serialize(CArchive& ar) {
        if (ar.IsStoring())
            Store(ar);
        else
            Load(ar);
    }

    /// Saves to path (atomically) and clears the modified flag; false with
    /// the reason in error, the old file untouched.
    bool SaveFile(const std::filesystem::path& path, std::string& error);
    /// Opens path into this document.
    OpenResult OpenFile(const std::filesystem::path& path);

    // Views, in attachment order.
    void AddView(DocumentView& view);
    void RemoveView(DocumentView& view);
    const std::vector<DocumentView*>& Views() const { return views_; }
    void refreshAllViews() override;
    /// The record of the main form: the first view holding a MainFormState.
    MainFormState* MainForm() const;

    /// The placed group named by the main form, or none.
    CCGroup* currentGroup() const;
    /// Layout workflow; true when the board changed and the optimisation
    /// succeeded.
    bool editLayout(LayoutDialog& dialog);
    /// Target workflow; true when the targets changed and the optimisation
    /// succeeded.
    bool editTargets(TargetDialog& dialog);
    /// Default-package workflow; true when the package changed and the
    /// optimisation succeeded.
    bool editCapacitorProperties(CapacitorDialog& dialog);
    bool editAnalysis(AnalysisDialog& dialog) { return analysisDomain.edit(dialog); }
    /// The plane solver on the board's "Vcc" plane.
    bool analyse(const SolverOptions& options = {}) { return board.RunPlaneSolver(analysisDomain, ui_, options); }
    /// A placed group "Gruppe<k>" from the optimisation result, made the
    /// current group; null when the board has no active plane.
    CCGroup* newGroup();
    /// Copies the current group into the filter; false when there is none
    /// or it is empty.
    bool transferGroupToFilter();
    /// Fo, Fu, attenuation and maximum current from the form's texts.
    void setFilterSpecification(const std::string& fo, const std::string& fu, const std::string& attenuation,
                                const std::string& maxCurrent);
    /// The choke search of the filter over the database; the candidate count.
    int searchChoke();
    /// Places a group at the worst point of the solver plane's results and
    /// solves again (a SolveJob run to its end), then refreshes and marks
    /// the document modified. False when nothing was placed or the solve
    /// failed; the group is then taken away again, the old results stay.
    bool killMax(const SolverOptions& options = {});
    /// The slot texts C1..C10 of the main form into the current group's
    /// capacitances (slot Ck is list element n + 1 - k).
    void setGroupValues(const std::array<std::string, 10>& slotTexts);
    /// Whether closing a frame should ask to save: never for graph frames,
    /// otherwise when the document's last frame closes while modified.
    bool asksToSaveOnClose(bool graphFrame, bool lastFrameOfDocument) const;

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }
    Interaction& ui() { return ui_; }
    CSParameterDB& database() { return database_; }

    CAnalysisDomain analysisDomain;
    std::int32_t filterReceivedGroup = 0;
    std::int32_t graphWindowOpen = 1;
    std::int32_t layerEditorOpen = 0;
    CFilter filter;
    std::int32_t parasiticsAutomatic = 1;
    CCircuitBoard board;
    CCGroup optimisationGroup;

private:
    /// Reads the document record into this (fresh) document and the view
    /// records into the given records.
    LoadStatus ReadContents(CArchive& ar, const std::vector<ViewRecord*>& records);
    void TakeContents(CVtrDoc& fresh);
    void Link();

    CSParameterDB& database_;
    Interaction& ui_;
    bool modified_ = false;
    std::vector<DocumentView*> views_;
};

}  // namespace vantor
