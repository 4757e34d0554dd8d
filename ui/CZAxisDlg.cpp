#include "CZAxisDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantor::ui {

CZAxisDlg::CZAxisDlg(Interaction& ui, QWidget* parent) : FieldFormDialog(ui, parent) {
    setWindowTitle(QStringLiteral("Skalierung: Z-Achse"));
    setAccessibleName(windowTitle());
    using F = ZAxisFields;
    QGridLayout* grid = fieldGrid(nullptr);
    auto_ = addCheckBox(grid, 0, "Auto", ZAxisField::Automatic);
    zmax_ = addField(grid, 1, "Zmax:", &F::zmax, ZAxisField::Zmax);
    zmin_ = addField(grid, 2, "Zmin:", &F::zmin, ZAxisField::Zmin);
    connect(auto_, &QCheckBox::toggled, this, &CZAxisDlg::lock);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(makeButtons());
}

void CZAxisDlg::lock(bool automatic) {
    zmax_->setReadOnly(automatic);
    zmin_->setReadOnly(automatic);
}

void CZAxisDlg::showFields(const ZAxisFields& f) {
    auto_->setChecked(f.automatic);
    lock(f.automatic);
    FieldFormDialog::showFields(f);
}

void CZAxisDlg::readFields(ZAxisFields& f) const {
    FieldFormDialog::readFields(f);
    f.automatic = auto_->isChecked();
}

}  // namespace vantor::ui
