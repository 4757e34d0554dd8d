#include "SolverProgressDialog.h"

#include <algorithm>

#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ShownText.h"
#include "SolveJob.h"

namespace vantor::ui {

SolverProgressDialog::SolverProgressDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kSolverProgressTitle));
    setWindowModality(Qt::WindowModal);
    upper_ = new QProgressBar(this);
    upper_->setTextVisible(false);
    upper_->setAccessibleName(QStringLiteral("Frequenzpunkte"));
    lower_ = new QProgressBar(this);
    lower_->setTextVisible(false);
    lower_->setMaximumHeight(fontMetrics().height() / 2 + 2);
    lower_->setAccessibleName(QStringLiteral("Schritte des Frequenzpunkts"));
    frequency_ = NewPlainLabel(this);
    frequency_->setAccessibleName(QStringLiteral("Frequenz"));
    cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel_->setAccessibleName(cancel_->text());
    connect(cancel_, &QPushButton::clicked, this, &SolverProgressDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(upper_);
    layout->addWidget(lower_);
    layout->addWidget(frequency_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    setMinimumWidth(fontMetrics().averageCharWidth() * 50);
}

void SolverProgressDialog::begin(const std::string& title) {
    if (!title.empty()) setWindowTitle(QString::fromStdString(title));
    upper_->setValue(0);
    lower_->setValue(0);
}

void SolverProgressDialog::range(ProgressBar bar, int maximum) {
    (bar == ProgressBar::Upper ? upper_ : lower_)->setRange(0, std::max(1, maximum));
}

void SolverProgressDialog::value(ProgressBar bar, int value) {
    (bar == ProgressBar::Upper ? upper_ : lower_)->setValue(value);
}

void SolverProgressDialog::text(const std::string& text) { frequency_->setText(QString::fromStdString(text)); }

void SolverProgressDialog::reject() {
    if (cancelled_) return;
    cancelled_ = true;
    cancel_->setEnabled(false);
    frequency_->setText(QStringLiteral("Wird abgebrochen..."));
    emit cancelClicked();
}

void SolverProgressDialog::Run(SolveJob& job, QtInteraction& ui, QWidget* parent) {
    SolverProgressDialog dialog(parent);
    ui.attachProgress(&dialog);
    QEventLoop loop;
    QTimer pump;
    // The worker never touches a widget: its progress waits in the job's
    // queue until this timer hands it over on the window's thread.
    QObject::connect(&pump, &QTimer::timeout, &loop, [&] {
        if (job.pump(ui)) loop.quit();
    });
    QObject::connect(&dialog, &SolverProgressDialog::cancelClicked, &loop, [&] { job.cancel(); });
    job.start();
    dialog.show();
    pump.start(30);
    if (!job.done()) loop.exec();
    pump.stop();
    // A cancel stays with the job itself, so its commit sees it.
    ui.attachProgress(nullptr);
    dialog.hide();
}

}  // namespace vantor::ui
