#include "CYaxisDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantor::ui {

CYaxisDlg::CYaxisDlg(Interaction& ui, QWidget* parent) : FieldFormDialog(ui, parent) {
    setWindowTitle(QStringLiteral("Dialog"));
    auto* frame = new QGroupBox(QStringLiteral("Y-Achse: Max"), this);
    auto_ = new QCheckBox(QStringLiteral("Auto"), frame);
    auto_->setAccessibleName(auto_->text());
    maximum_ = new QLineEdit(frame);
    maximum_->setAccessibleName(QStringLiteral("Max"));
    maximum_->setMinimumWidth(maximum_->fontMetrics().horizontalAdvance(QStringLiteral("0000.0mOhm")) + 12);
    addControl(YAxisField::Automatic, auto_);
    addControl(YAxisField::Maximum, maximum_);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(auto_);
    row->addWidget(maximum_, 1);
    connect(auto_, &QCheckBox::toggled, maximum_, &QLineEdit::setReadOnly);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(makeButtons());
}

void CYaxisDlg::showFields(const YAxisFields& f) {
    auto_->setChecked(f.automatic);
    maximum_->setReadOnly(f.automatic);
    setText(maximum_, f.maximum);
}

void CYaxisDlg::readFields(YAxisFields& f) const {
    f.automatic = auto_->isChecked();
    f.maximum = text(maximum_);
}

}  // namespace vantor::ui
