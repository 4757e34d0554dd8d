#pragma once
// What a document's windows ask of the application around them: running a
// command as one undoable step, the solve jobs with their progress window,
// the companion windows and the help. The application implements it once
// per open document; the windows never reach past it.

#include <functional>

#include <QString>

namespace vantor {
class CVtrDoc;
class Interaction;
}  // namespace vantor

namespace vantor::ui {

class Printable;

class FormHost {
public:
    virtual ~FormHost() = default;

    virtual CVtrDoc& document() = 0;
    /// Messages and questions of this document's windows.
    virtual Interaction& interaction() = 0;

    /// Runs one document command as one step of the undo history; label
    /// names it in "Rückgängig". A command that changes nothing leaves no
    /// step behind.
    virtual void runCommand(const QString& label, const std::function<void()>& command) = 0;

    /// "Analyse !": the field solve on a worker thread with the progress
    /// window; returns when it ended (solved, failed or cancelled).
    virtual void runAnalysis() = 0;
    /// The worst point of the results gets a group and the plane is solved
    /// again, as runAnalysis.
    virtual void runKillMax() = 0;

    /// Opens or closes the document's graph window / layer editor; the
    /// document's flags follow.
    virtual void setGraphWindowOpen(bool open) = 0;
    virtual void setLayerEditorOpen(bool open) = 0;

    /// Opens the help at its contents.
    virtual void showHelpContents() = 0;
    /// Opens the help at a page of the help folder, with an optional
    /// "#anchor" of the section about a control.
    virtual void showHelpSection(const QString& target) = 0;

    /// The program's printing, for windows that print their own picture:
    /// the print dialog, the preview, the page set-up. They share one
    /// printer with the main window.
    virtual void print(Printable& picture) = 0;
    virtual void printPreview(Printable& picture) = 0;
    virtual void printSetup() = 0;
    /// "&Beenden" of a window's own "&Datei" menu: ends the program.
    virtual void exitProgram() = 0;
    /// A short note in the main window's status bar (no answer needed).
    virtual void showStatusMessage(const QString& text) = 0;
};

}  // namespace vantor::ui
