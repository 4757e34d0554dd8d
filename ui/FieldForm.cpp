#include "FieldForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "Interaction.h"

namespace vantor::ui {

FieldForm::FieldForm(Interaction& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QWidget* FieldForm::control(const FieldKey& key) const {
    const auto it = controls_.find(key);
    return it == controls_.end() ? nullptr : it->second;
}

QLineEdit* FieldForm::addField(QGridLayout* grid, int row, const char* label, FieldKey key, int column) {
    auto* edit = new QLineEdit(this);
    auto* caption = new QLabel(QString::fromUtf8(label), this);
    caption->setBuddy(edit);
    edit->setAccessibleName(caption->text());
    // Room for the longest value text ("-123.4mOhm") without stretching.
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000.0mOhm")) + 12);
    grid->addWidget(caption, row, column);
    grid->addWidget(edit, row, column + 1);
    if (key) addControl(key, edit);
    return edit;
}

QCheckBox* FieldForm::addCheckBox(QGridLayout* grid, int row, const char* text, FieldKey key) {
    auto* box = new QCheckBox(QString::fromUtf8(text), this);
    box->setAccessibleName(box->text());
    grid->addWidget(box, row, 0, 1, 2);
    addControl(key, box);
    return box;
}

QGridLayout* FieldForm::fieldGrid(QWidget* owner, int columnPairs) {
    auto* grid = owner != nullptr ? new QGridLayout(owner) : new QGridLayout;
    for (int pair = 0; pair < columnPairs; ++pair) grid->setColumnStretch(2 * pair + 1, 1);
    // Pairs side by side need a gap that tells them apart.
    const QStyle* style = owner != nullptr ? owner->style() : QApplication::style();
    if (columnPairs > 1) grid->setHorizontalSpacing(2 * style->pixelMetric(QStyle::PM_LayoutHorizontalSpacing));
    return grid;
}

void FieldForm::addControl(FieldKey key, QWidget* widget) { controls_[key] = widget; }

QDialogButtonBox* FieldForm::makeButtons() {
    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    for (QPushButton* b : {ok, cancel}) b->setAccessibleName(b->text());
    ok->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    return box;
}

bool FieldForm::refuse(const FieldCheck& check) {
    if (!check) return false;
    ui_.message(check->message, MessageKind::Warning);
    if (QWidget* w = control(check->key)) {
        w->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
    }
    return true;
}

std::string FieldForm::text(const QLineEdit* edit) { return edit->text().toStdString(); }

void FieldForm::setText(QLineEdit* edit, const std::string& text) { edit->setText(QString::fromStdString(text)); }

}  // namespace vantor::ui
