#pragma once
// The main decoupling form of a document: optimisation result, the current
// placed group, the filter design and the board, side by side. It shows
// what the document holds and turns each action into one document command.

#include <QWidget>

#include "ViewRecords.h"

namespace vantor::ui {

class FormHost;

/// The commands of the main form that the main window's menus carry.
enum class FormCommand { GraphWindow, LayerEditor, Layout, Capacitors, Targets, AnalysisParameters };

class CVtrView : public QWidget, public DocumentView {
    Q_OBJECT
public:
    /// Attaches itself to the host's document; detaches when destroyed.
    explicit CVtrView(FormHost& host, QWidget* parent = nullptr);
    ~CVtrView() override;

    void OnUpdate(ChangeHint hint) override;
    ViewRecord* Record() override { return &state_; }
    MainFormState& state() { return state_; }

    /// Runs a menu command of the form.
    void runCommand(FormCommand command);
    /// Whether a menu command shows a check mark ("&Grafikausgabe" while the
    /// graph window is open, "&Layer-Editor" while the editor is).
    bool isChecked(FormCommand command) const;

private:
    FormHost& host_;
    MainFormState state_;
};

}  // namespace vantor::ui
