#include "CEditLayDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantor::ui {

namespace {

bool IsPlainNumberField(const FieldKey& key) {
    return key == LayoutField::EpsilonR || key == LayoutField::ViasPerSide || key == LayoutField::Conductivity;
}

}  // namespace

CEditLayDlg::CEditLayDlg(Interaction& ui, QWidget* parent) : FieldFormDialog(ui, parent) {
    setWindowTitle(QStringLiteral("Layout-Parameter eingeben"));
    using F = LayoutFields;

    auto* plane = new QGroupBox(QStringLiteral("Vcc-Plane"), this);
    QGridLayout* planeGrid = fieldGrid(plane);
    width_ = addField(planeGrid, 0, "Breite:", &F::width, LayoutField::Width);
    length_ = addField(planeGrid, 1, "Länge:", &F::length, LayoutField::Length);

    auto* substrate = new QGroupBox(QStringLiteral("Substrat"), this);
    QGridLayout* substrateGrid = fieldGrid(substrate);
    QLineEdit* epsilonR = addField(substrateGrid, 0, "Epsilon r:", &F::epsilonR, LayoutField::EpsilonR);

    auto* stack = new QGroupBox(QStringLiteral("Lagenaufbau"), this);
    QGridLayout* stackGrid = fieldGrid(stack);
    QLineEdit* planeSpacing = addField(stackGrid, 0, "Abstand Vcc <> GND:", &F::planeSpacing,
                                       LayoutField::PlaneSpacing);
    addField(stackGrid, 1, "Abstand Vcc/GND <> SMD:", &F::mountingDepth, LayoutField::MountingDepth);
    addField(stackGrid, 2, "Metallisierungsdicke:", &F::metalThickness, LayoutField::MetalThickness);
    addField(stackGrid, 3, "Sigma [MS/m]", &F::conductivity, LayoutField::Conductivity)->setEnabled(false);
    addField(stackGrid, 4, "Abstand Vcc<>GND-Via:", &F::viaSpacing, LayoutField::ViaSpacing);
    addField(stackGrid, 5, "Via-Durchmesser:", &F::viaDiameter, LayoutField::ViaDiameter);
    addField(stackGrid, 6, "n Vias pro Cap und Seite:", &F::viasPerSide, LayoutField::ViasPerSide);
    auto* hint = new QLabel(QStringLiteral("Beispiel n=2: 2 Vcc-Vias und 2 GND-Vias"), stack);
    hint->setAccessibleName(hint->text());
    stackGrid->addWidget(hint, 7, 0, 1, 2);

    auto* left = new QVBoxLayout;
    left->addWidget(plane);
    left->addWidget(substrate);
    left->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(stack, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(makeButtons());

    for (QLineEdit* e : {width_, length_, planeSpacing, epsilonR}) {
        connect(e, &QLineEdit::textEdited, this, [this] { updateMaxFrequency(); });
        connect(e, &QLineEdit::editingFinished, this, [this] { updateMaxFrequency(); });
    }
}

void CEditLayDlg::updateMaxFrequency() {
    LayoutFields f = typed();
    f.UpdateMaxFrequency();
    maxFrequency_ = f.maxFrequency;
}

void CEditLayDlg::showFields(const LayoutFields& f) {
    FieldFormDialog::showFields(f);
    maxFrequency_ = f.maxFrequency;
}

void CEditLayDlg::readFields(LayoutFields& f) const {
    FieldFormDialog::readFields(f);
    f.maxFrequency = maxFrequency_;
}

bool CEditLayDlg::checkFields(LayoutFields& f) {
    // The plain numbers are refused before the sides are put in order; after
    // that the dialog shows the longer side as the length, as the board will.
    const FieldCheck check = f.Check();
    if (check && IsPlainNumberField(check->key)) return !refuse(check);
    f.OrderSides();
    setText(width_, f.width);
    setText(length_, f.length);
    return !refuse(check);
}

}  // namespace vantor::ui
