#include "CEditFreqDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ContextHelp.h"

namespace vantor::ui {

CEditFreqDlg::CEditFreqDlg(const std::string& reachedFmax, Interaction& ui, QWidget* parent)
    : FieldFormDialog(ui, parent) {
    setWindowTitle(QStringLiteral("Frequenzbereich eingeben"));
    using F = FrequencyRangeFields;

    auto* axis = new QGroupBox(QStringLiteral("Frequenzachse:"), this);
    QGridLayout* grid = fieldGrid(axis, 2);
    start_ = addField(grid, 0, "Fstart:", &F::start, FrequencyRangeField::Start);
    stop_ = addField(grid, 0, "Fstop::", &F::stop, FrequencyRangeField::Stop, 2);
    steps_ = addField(grid, 1, "Anzahl Schritte:", &F::steps, FrequencyRangeField::Steps);
    step_ = FieldForm::addField(grid, 1, "Frequenzschritt:", FieldKey(), 2);
    step_->setReadOnly(true);

    QGridLayout* fmaxGrid = fieldGrid(nullptr);
    fmax_ = addField(fmaxGrid, 0, "Obere Grenzfrequenz der Entkopplung:");
    fmax_->setReadOnly(true);
    setText(fmax_, reachedFmax);

    QDialogButtonBox* buttons = makeButtons();
    // Takes no focus, so that it explains the field the person is in.
    QPushButton* help = buttons->addButton(QStringLiteral("Hilfe"), QDialogButtonBox::HelpRole);
    help->setAccessibleName(help->text());
    help->setAutoDefault(false);
    help->setFocusPolicy(Qt::NoFocus);
    connect(help, &QPushButton::clicked, this, [this] { showHelp(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(axis);
    layout->addLayout(fmaxGrid);
    layout->addWidget(buttons);

    for (QLineEdit* e : {start_, stop_, steps_}) connect(e, &QLineEdit::textChanged, this, [this] { updateStep(); });
}

QString CEditFreqDlg::stepText() const { return step_->text(); }

void CEditFreqDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) return showHelp();
    FieldFormDialog::keyPressEvent(event);
}

void CEditFreqDlg::showHelp() {
    // The section about the field the person is in; the page as a whole
    // from anywhere else.
    const std::pair<const QWidget*, const char*> sections[] = {{start_, "#fstart"},
                                                               {stop_, "#fstop"},
                                                               {steps_, "#schritte"},
                                                               {fmax_, "#fmax"}};
    QString target = QStringLiteral("frequenzbereich.html");
    for (const auto& [field, anchor] : sections)
        if (focusWidget() == field) target += QLatin1String(anchor);
    ShowContextHelp(target);
}

void CEditFreqDlg::updateStep() { setText(step_, typed().StepText()); }

void CEditFreqDlg::showFields(const FrequencyRangeFields& f) {
    FieldFormDialog::showFields(f);
    updateStep();
}

}  // namespace vantor::ui
