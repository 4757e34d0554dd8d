#pragma once
// One open design in the desktop program: the document, its file, its undo
// history and its windows (main forms, graph window, layer editor). It is
// the FormHost the windows talk to.

#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>

#include "CVtrDoc.h"
#include "DesignHistory.h"
#include "FormHost.h"
#include "Printable.h"
#include "QtInteraction.h"

class QMdiSubWindow;

namespace vantor::app {

class CMainFrame;
class DocumentFrame;

/// The kinds of a document's sub-windows.
enum class FrameKind { MainForm, Graph, LayerEditor };

class DocumentHost : public QObject, public ui::FormHost, private DocumentView {
    Q_OBJECT
public:
    /// A document over the application's database; untitled designs are
    /// called "Entkopplung<n>".
    DocumentHost(CMainFrame& frame, CSParameterDB& database, int untitledNumber);
    ~DocumentHost() override;

    // FormHost
    CVtrDoc& document() override { return doc_; }
    Interaction& interaction() override { return ui_; }
    void runCommand(const QString& label, const std::function<void()>& command) override;
    void runAnalysis() override;
    void runKillMax() override;
    void setGraphWindowOpen(bool open) override;
    void setLayerEditorOpen(bool open) override;
    void showHelpContents() override;
    void showHelpSection(const QString& target) override;
    void print(ui::Printable& picture) override;
    void printPreview(ui::Printable& picture) override;
    void printSetup() override;
    void exitProgram() override;
    void showStatusMessage(const QString& text) override;

    /// The design report, the picture a main form prints.
    ui::Printable& report() { return report_; }

    /// A new design: a main form, the optimisation, the companion windows
    /// the document's flags ask for.
    void createNew();
    /// Opens path into a fresh document with its main form; false (after the
    /// message, when show is set) when it cannot be read. error gets why.
    /// On failure, or an error thrown, the host's windows are closed.
    bool open(const QString& path, QString& error, bool showMessage = true);

    /// A further main form on this document ("Neues Fenster").
    QMdiSubWindow* addMainForm();
    /// The document's sub-windows, main forms first.
    std::vector<DocumentFrame*> frames() const;

    /// Opens the companion windows the design asked for when it was made or
    /// read; while the main window is hidden they wait for it to show (they
    /// are sized against its work area).
    void openCompanions();

    /// The file name shown in titles: the file's name, or "Entkopplung<n>".
    QString title() const;
    QString path() const { return path_; }

    /// "S&peichern": to the file, or "Speichern &unter..." for a new design.
    bool save();
    /// "Speichern &unter...": asks for a file name first.
    bool saveAs();
    /// Saves to path atomically; a failure is shown and changes nothing.
    bool saveTo(const QString& path);
    /// The save question for a modified document (Ja / Nein / Abbrechen);
    /// true when the document may close.
    bool askToSave();

    bool canUndo() const { return history_.CanUndo(); }
    bool canRedo() const { return history_.CanRedo(); }
    QString undoLabel() const { return QString::fromStdString(history_.UndoLabel()); }
    QString redoLabel() const { return QString::fromStdString(history_.RedoLabel()); }
    void undo();
    void redo();

    /// Closes all windows of the document without asking; the host is
    /// deleted afterwards.
    void closeAll();
    /// A frame is about to close: the save question when it is the last
    /// window that is not a graph window; false keeps it open.
    bool frameMayClose(DocumentFrame& frame);
    /// A frame closed.
    void frameClosed(DocumentFrame& frame);

signals:
    /// Title, modified mark or undo state changed.
    void stateChanged();
    /// The last window closed; the main frame deletes the host.
    void closed();

private:
    /// The report of this document on a page.
    class Report : public ui::Printable {
    public:
        explicit Report(DocumentHost& host) : host_(host) {}
        void printPage(QPainter& painter, const QRectF& page) override;

    private:
        DocumentHost& host_;
    };

    void OnUpdate(ChangeHint hint) override;
    /// The main form and the file's design, then the companion windows.
    CVtrDoc::OpenResult read(const QString& path);
    DocumentFrame* makeFrame(FrameKind kind);
    DocumentFrame* findFrame(FrameKind kind) const;
    void showFrame(DocumentFrame* frame);
    using JobStart = std::unique_ptr<SolveJob> (CVtrDoc::*)(const SolverOptions&);
    using JobFinish = bool (CVtrDoc::*)(SolveJob&);
    /// A solve job as one command: started, watched in the progress window,
    /// committed.
    void runJob(const QString& label, JobStart start, JobFinish finish);
    void setCompanionOpen(FrameKind kind, bool open);
    /// Window titles: the document's name, ":n" for further main forms,
    /// the modified mark.
    void updateCaptions();

    CMainFrame& frame_;
    ui::QtInteraction ui_;
    CVtrDoc doc_;
    DesignHistory history_;
    QString path_;
    int untitledNumber_;
    std::vector<QPointer<DocumentFrame>> frames_;
    bool closing_ = false;
    bool companionsPending_ = false;  // the design's companions wait for the main window
    int commandDepth_ = 0;
    Report report_{*this};  // a command run from inside another is part of it
};

}  // namespace vantor::app
