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

    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setHorizontalSpacing(grid->horizontalSpacing() * 2);
    startFrequency_ = addField(grid, 0, "Startfrequenz:", F::kStartFrequencyId);
    stopFrequency_ = addField(grid, 1, "Stopfrequenz:", F::kStopFrequencyId);
    resolution_ = addField(grid, 0, "Auflösung:", F::kResolutionId, 2);

    // The step count is chosen with the arrows or typed; the spin box keeps
    // it within what the analysis takes.
    frequencySteps_ = new QSpinBox(this);
    frequencySteps_->setRange(0, F::kMaxFrequencySteps);
    auto* stepsLabel = new QLabel(QStringLiteral("Frequenzschritte:"), this);
    stepsLabel->setBuddy(frequencySteps_);
    frequencySteps_->setAccessibleName(stepsLabel->text());
    addControl(F::kFrequencyStepsId, frequencySteps_);
    grid->addWidget(stepsLabel, 1, 2);
    grid->addWidget(frequencySteps_, 1, 3);

    startTime_ = addField(grid, 2, "Start-Zeit:", F::kStartTimeId);
    stopTime_ = addField(grid, 3, "Stop-Zeit:", F::kStopTimeId);
    timeSteps_ = addField(grid, 2, "Zeit-Schritte:", F::kTimeStepsId, 2);
    HideRow(grid, 2, 0);
    HideRow(grid, 3, 0);
    HideRow(grid, 2, 2);
    logarithmic_ = new QCheckBox(QStringLiteral(" logarithmisch"), this);
    logarithmic_->setAccessibleName(logarithmic_->text().trimmed());
    addControl(F::kLogarithmicId, logarithmic_);
    grid->addWidget(logarithmic_, 3, 3);
    logarithmic_->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(makeButtons());
}

void CAnaDomainDlg::showFields(const AnalysisFields& f) {
    setText(startFrequency_, f.startFrequency);
    setText(stopFrequency_, f.stopFrequency);
    setText(resolution_, f.resolution);
    frequencySteps_->setValue(QString::fromStdString(f.frequencySteps).toInt());
    setText(startTime_, f.startTime);
    setText(stopTime_, f.stopTime);
    setText(timeSteps_, f.timeSteps);
    logarithmic_->setChecked(f.logarithmic != 0);
}

void CAnaDomainDlg::readFields(AnalysisFields& f) const {
    f.startFrequency = text(startFrequency_);
    f.stopFrequency = text(stopFrequency_);
    f.resolution = text(resolution_);
    f.frequencySteps = std::to_string(frequencySteps_->value());
    f.startTime = text(startTime_);
    f.stopTime = text(stopTime_);
    f.timeSteps = text(timeSteps_);
    f.logarithmic = logarithmic_->isChecked() ? 1 : 0;
}

}  // namespace vantor::ui
