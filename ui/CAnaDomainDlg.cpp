#include "CAnaDomainDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vantor::ui {

namespace {

// Hides a field with its label.
void HideRow(QGridLayout* grid, int row, int column) {
    for (int c : {column, column + 1})
        if (QLayoutItem* item = grid->itemAtPosition(row, c)) item->widget()->hide();
}

}  // namespace

CAnaDomainDlg::CAnaDomainDlg(Interaction& ui, QWidget* parent) : FieldFormDialog(ui, parent) {
    setWindowTitle(QStringLiteral("Analyse: Parameter"));
    using F = AnalysisFields;

    QGridLayout* grid = fieldGrid(nullptr, 2);
    addField(grid, 0, "Startfrequenz:", &F::startFrequency, AnalysisField::StartFrequency);
    addField(grid, 1, "Stopfrequenz:", &F::stopFrequency, AnalysisField::StopFrequency);
    addField(grid, 0, "Auflösung:", &F::resolution, AnalysisField::Resolution, 2);

    // The step count is chosen with the arrows or typed; the spin box keeps
    // it within what the analysis takes.
    frequencySteps_ = new QSpinBox(this);
    frequencySteps_->setRange(0, F::kMaxFrequencySteps);
    auto* stepsLabel = new QLabel(QStringLiteral("Frequenzschritte:"), this);
    stepsLabel->setBuddy(frequencySteps_);
    frequencySteps_->setAccessibleName(stepsLabel->text());
    addControl(AnalysisField::FrequencySteps, frequencySteps_);
    grid->addWidget(stepsLabel, 1, 2);
    grid->addWidget(frequencySteps_, 1, 3);

    addField(grid, 2, "Start-Zeit:", &F::startTime, AnalysisField::StartTime);
    addField(grid, 3, "Stop-Zeit:", &F::stopTime, AnalysisField::StopTime);
    addField(grid, 2, "Zeit-Schritte:", &F::timeSteps, AnalysisField::TimeSteps, 2);
    HideRow(grid, 2, 0);
    HideRow(grid, 3, 0);
    HideRow(grid, 2, 2);
    logarithmic_ = new QCheckBox(QStringLiteral(" logarithmisch"), this);
    logarithmic_->setAccessibleName(logarithmic_->text().trimmed());
    addControl(AnalysisField::Logarithmic, logarithmic_);
    grid->addWidget(logarithmic_, 3, 3);
    logarithmic_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(makeButtons());
}

void CAnaDomainDlg::showFields(const AnalysisFields& f) {
    FieldFormDialog::showFields(f);
    frequencySteps_->setValue(QString::fromStdString(f.frequencySteps).toInt());
    logarithmic_->setChecked(f.logarithmic != 0);
}

void CAnaDomainDlg::readFields(AnalysisFields& f) const {
    FieldFormDialog::readFields(f);
    f.frequencySteps = std::to_string(frequencySteps_->value());
    f.logarithmic = logarithmic_->isChecked() ? 1 : 0;
}

}  // namespace vantor::ui
