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
    QGridLayout* grid = fieldGrid(axis, 2);
    start_ = addField(grid, 0, "Fstart:", &F::start, F::kStartId);
    stop_ = addField(grid, 0, "Fstop::", &F::stop, F::kStopId, 2);
    steps_ = addField(grid, 1, "Anzahl Schritte:", &F::steps, F::kStepsId);
    step_ = FieldForm::addField(grid, 1, "Frequenzschritt:", 0, 2);
    step_->setReadOnly(true);

    QGridLayout* fmaxGrid = fieldGrid(nullptr);
    QLineEdit* fmax = addField(fmaxGrid, 0, "Obere Grenzfrequenz der Entkopplung:");
    fmax->setReadOnly(true);
    setText(fmax, reachedFmax);

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
    FieldFormDialog::showFields(f);
    updateStep();
}

}  // namespace vantor::ui
