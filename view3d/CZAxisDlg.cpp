#include "CZAxisDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "Values.h"

namespace vantor::view3d {

CZAxisDlg::CZAxisDlg(const ZAxis& axis, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Skalierung: Z-Achse"));
    setAccessibleName(windowTitle());
    automatic_ = new QCheckBox(QStringLiteral("Auto"), this);
    automatic_->setAccessibleName(QStringLiteral("Auto"));
    automatic_->setChecked(axis.automatic);
    zmax_ = new QLineEdit(QString::fromStdString(FormatValue(axis.zmax, "Ohm")), this);
    zmax_->setAccessibleName(QStringLiteral("Zmax:"));
    zmin_ = new QLineEdit(QString::fromStdString(FormatValue(axis.zmin, "Ohm")), this);
    zmin_->setAccessibleName(QStringLiteral("Zmin:"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(automatic_);
    form->addRow(QStringLiteral("Zmax:"), zmax_);
    form->addRow(QStringLiteral("Zmin:"), zmin_);
    form->addRow(buttons);
}

ZAxis CZAxisDlg::axis() const {
    return {automatic_->isChecked(), ParseValue(zmax_->text().toStdString()), ParseValue(zmin_->text().toStdString())};
}

}  // namespace vantor::view3d
