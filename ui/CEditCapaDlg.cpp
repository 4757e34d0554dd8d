#include "CEditCapaDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "PackageTable.h"

namespace vantor::ui {

CEditCapaDlg::CEditCapaDlg(const BoardStackup* board, Interaction& ui, QWidget* parent)
    : FieldFormDialog(ui, parent), board_(board) {
    setWindowTitle(QStringLiteral("Kondensator - Eigenschaften eingeben"));
    using F = CapacitorFields;

    QGridLayout* grid = fieldGrid(nullptr);
    package_ = new QComboBox(this);
    auto* packageLabel = new QLabel(QStringLiteral("Bauform:"), this);
    packageLabel->setBuddy(package_);
    package_->setAccessibleName(packageLabel->text());
    const PackageTable& table = PackageTable::Application();
    for (int i = 0; i < table.size(); ++i) package_->addItem(QString::fromStdString(table[i].name), i);
    package_->model()->sort(0);
    package_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    addControl(F::kPackageId, package_);
    grid->addWidget(packageLabel, 0, 0);
    grid->addWidget(package_, 0, 1);

    // Auto's check sits in the frame's title, over the two values it governs.
    automatic_ = new QGroupBox(QStringLiteral("Auto:      "), this);
    automatic_->setCheckable(true);
    automatic_->setAccessibleName(QStringLiteral("Auto:"));
    addControl(F::kAutoId, automatic_);
    QGridLayout* autoGrid = fieldGrid(automatic_);
    rloss_ = addField(autoGrid, 0, "Verlustwiderstand:", &F::rloss, F::kRlossId);
    lser_ = addField(autoGrid, 1, "Serieninduktivität:", &F::lser, F::kLserId);
    grid->addWidget(automatic_, 1, 0, 1, 2);
    name_ = addField(grid, 2, "Bezeichnung:", &F::name);
    name_->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(makeButtons());

    connect(package_, &QComboBox::currentIndexChanged, this, &CEditCapaDlg::packageChosen);
    connect(automatic_, &QGroupBox::toggled, this, &CEditCapaDlg::automaticSwitched);
}

void CEditCapaDlg::showFields(const CapacitorFields& f) {
    const QSignalBlocker blockPackage(package_);
    const QSignalBlocker blockAuto(automatic_);
    package_->setCurrentIndex(package_->findData(f.packageType));
    package_->setEnabled(f.automatic);
    automatic_->setChecked(f.automatic);
    FieldFormDialog::showFields(f);
    // A checkable frame disables its contents while unchecked; here Auto off
    // is when the values are typed, so they stay enabled and only lock.
    for (QWidget* w : automatic_->findChildren<QWidget*>()) w->setEnabled(true);
    rloss_->setReadOnly(f.automatic);
    lser_->setReadOnly(f.automatic);
    name_->setReadOnly(f.automatic);
}

void CEditCapaDlg::packageChosen(int comboIndex) {
    if (comboIndex < 0) return;
    fields_ = typed();
    fields_.ChoosePackage(package_->itemData(comboIndex).toInt(), board_);
    showFields(fields_);
}

void CEditCapaDlg::automaticSwitched(bool on) {
    fields_ = typed();
    fields_.SetAutomatic(on, board_);
    showFields(fields_);
}

}  // namespace vantor::ui
