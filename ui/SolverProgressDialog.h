#pragma once
// The solver's progress window "FEM-Solver busy...": the upper bar counts
// the frequency points done, the lower one the stages of the current point,
// with the current frequency and a button that stops the solve.

#include <QDialog>

#include "QtInteraction.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace vantor {
class SolveJob;
}

namespace vantor::ui {

inline constexpr const char* kSolverProgressTitle = "FEM-Solver busy...";

class SolverProgressDialog : public QDialog, public ProgressReporter {
    Q_OBJECT
public:
    explicit SolverProgressDialog(QWidget* parent = nullptr);

    void begin(const std::string& title) override;
    void range(ProgressBar bar, int maximum) override;
    void value(ProgressBar bar, int value) override;
    void text(const std::string& text) override;
    /// Once "Abbrechen" (or Esc) was pressed.
    bool cancelRequested() override { return cancelled_; }

    /// Runs job on its worker thread while this window shows its progress
    /// and the event loop keeps every window painted; returns when the job
    /// ended. ui gets the job's progress through this window; the caller
    /// then commits the job. "Abbrechen" asks the job to stop.
    static void Run(SolveJob& job, QtInteraction& ui, QWidget* parent);

    QProgressBar* upperBar() const { return upper_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void cancelClicked();

protected:
    void reject() override;  // Esc and the close button cancel, too

private:
    QProgressBar* upper_;
    QProgressBar* lower_;
    QLabel* frequency_;
    QPushButton* cancel_;
    bool cancelled_ = false;
};

}  // namespace vantor::ui
