#include "CEditFreqDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::ui {

CEditFreqDlg::CEditFreqDlg(const std::string& reachedFmax, Interaction& ui, QWidget* parent)
    : FieldFormDialog(ui, parent) {
    setWindowTitle(QStringLiteral("Frequenzbereich eingeben"));
    using F = FrequencyRangeFields;

    auto* axis = new QGroupBox(QStringLiteral("Frequenzachse:"), this);
    auto* grid = new QGridLayout(axis);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    start_ = addField(grid, 0, "Fstart:", F::kStartId);
    stop_ = addField(grid, 0, "Fstop::", F::kStopId, 2);
    steps_ = addField(grid, 1, "Anzahl Schritte:", F::kStepsId);
    step_ = addField(grid, 1, "Frequenzschritt:", 0, 2);
    step_->setReadOnly(true);

    auto* fmaxGrid = new QGridLayout;
    fmaxGrid->setColumnStretch(1, 1);
    fmax_ = addField(fmaxGrid, 0, "Obere Grenzfrequenz der Entkopplung:");
    fmax_->setReadOnly(true);
    setText(fmax_, reachedFmax);

    QDialogButtonBox* buttons = makeButtons();
    // There is no help page behind this button.
    QPushButton* help = buttons->addButton(QStringLiteral("Hilfe"), QDialogButtonBox::HelpRole);
    help->setAccessibleName(help->text());
    help->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(axis);
    layout->addLayout(fmaxGrid);
    layout->addWidget(buttons);

    for (QLineEdit* e : {start_, stop_, steps_}) connect(e, &QLineEdit::textChanged, this, [this] { updateStep(); });
}

QString CEditFreqDlg::stepText() const { return step_->text(); }

void CEditFreqDlg::updateStep() { setText(step_, typed().StepText()); }

void CEditFreqDlg::showFields(const FrequencyRangeFields& f) {
    setText(start_, f.start);
    setText(stop_, f.stop);
    setText(steps_, f.steps);
    updateStep();
}

void CEditFreqDlg::readFields(FrequencyRangeFields& f) const {
    f.start = text(start_);
    f.stop = text(stop_);
    f.steps = text(steps_);
}

}  // namespace vantor::ui
