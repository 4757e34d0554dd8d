#include "CEditCapaDlg.h"

#include <QCheckBox>
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
    addControl(CapacitorField::Package, package_);
    grid->addWidget(packageLabel, 0, 0);
    grid->addWidget(package_, 0, 1);

    // Auto heads the frame of the two values it governs. It only locks
    // them: a checkable frame would disable them while Auto is off, which
    // is just when they are typed.
    auto* frame = new QGroupBox(this);
    QGridLayout* autoGrid = fieldGrid(frame);
    automatic_ = addCheckBox(autoGrid, 0, "Auto:", CapacitorField::Automatic);
    rloss_ = addField(autoGrid, 1, "Verlustwiderstand:", &F::rloss, CapacitorField::Rloss);
    lser_ = addField(autoGrid, 2, "Serieninduktivität:", &F::lser, CapacitorField::Lser);
    grid->addWidget(frame, 1, 0, 1, 2);
    // The name comes with the package; it is shown, never typed.
    name_ = addField(grid, 2, "Bezeichnung:", &F::name);
    name_->setReadOnly(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addWidget(makeButtons());

    connect(package_, &QComboBox::currentIndexChanged, this, &CEditCapaDlg::packageChosen);
    connect(automatic_, &QCheckBox::toggled, this, &CEditCapaDlg::automaticSwitched);
}

void CEditCapaDlg::showFields(const CapacitorFields& f) {
    const QSignalBlocker blockPackage(package_);
    const QSignalBlocker blockAuto(automatic_);
    package_->setCurrentIndex(package_->findData(f.packageType));
    package_->setEnabled(f.automatic);
    automatic_->setChecked(f.automatic);
    FieldFormDialog::showFields(f);
    rloss_->setReadOnly(f.automatic);
    lser_->setReadOnly(f.automatic);
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
