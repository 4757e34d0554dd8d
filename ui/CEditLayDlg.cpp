#include "CEditLayDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantor::ui {

namespace {

QGridLayout* Box(const char* title, QWidget* parent, QGroupBox*& box) {
    box = new QGroupBox(QString::fromUtf8(title), parent);
    auto* grid = new QGridLayout(box);
    grid->setColumnStretch(1, 1);
    return grid;
}

bool IsPlainNumberField(int id) {
    return id == LayoutFields::kEpsilonRId || id == LayoutFields::kViasPerSideId ||
           id == LayoutFields::kConductivityId;
}

}  // namespace

CEditLayDlg::CEditLayDlg(Interaction& ui, QWidget* parent) : FieldFormDialog(ui, parent) {
    setWindowTitle(QStringLiteral("Layout-Parameter eingeben"));
    using F = LayoutFields;

    QGroupBox* plane = nullptr;
    QGridLayout* planeGrid = Box("Vcc-Plane", this, plane);
    width_ = addField(planeGrid, 0, "Breite:", F::kWidthId);
    length_ = addField(planeGrid, 1, "Länge:", F::kLengthId);

    QGroupBox* substrate = nullptr;
    QGridLayout* substrateGrid = Box("Substrat", this, substrate);
    epsilonR_ = addField(substrateGrid, 0, "Epsilon r:", F::kEpsilonRId);

    QGroupBox* stack = nullptr;
    QGridLayout* stackGrid = Box("Lagenaufbau", this, stack);
    planeSpacing_ = addField(stackGrid, 0, "Abstand Vcc <> GND:", F::kPlaneSpacingId);
    mountingDepth_ = addField(stackGrid, 1, "Abstand Vcc/GND <> SMD:", F::kMountingDepthId);
    metalThickness_ = addField(stackGrid, 2, "Metallisierungsdicke:", F::kMetalThicknessId);
    conductivity_ = addField(stackGrid, 3, "Sigma [MS/m]", F::kConductivityId);
    conductivity_->setEnabled(false);
    viaSpacing_ = addField(stackGrid, 4, "Abstand Vcc<>GND-Via:", F::kViaSpacingId);
    viaDiameter_ = addField(stackGrid, 5, "Via-Durchmesser:", F::kViaDiameterId);
    viasPerSide_ = addField(stackGrid, 6, "n Vias pro Cap und Seite:", F::kViasPerSideId);
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

    for (QLineEdit* e : {width_, length_, planeSpacing_, epsilonR_}) {
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
    setText(width_, f.width);
    setText(length_, f.length);
    setText(planeSpacing_, f.planeSpacing);
    setText(mountingDepth_, f.mountingDepth);
    setText(metalThickness_, f.metalThickness);
    setText(conductivity_, f.conductivity);
    setText(viaSpacing_, f.viaSpacing);
    setText(viaDiameter_, f.viaDiameter);
    setText(viasPerSide_, f.viasPerSide);
    setText(epsilonR_, f.epsilonR);
    maxFrequency_ = f.maxFrequency;
}

void CEditLayDlg::readFields(LayoutFields& f) const {
    f.width = text(width_);
    f.length = text(length_);
    f.planeSpacing = text(planeSpacing_);
    f.mountingDepth = text(mountingDepth_);
    f.metalThickness = text(metalThickness_);
    f.conductivity = text(conductivity_);
    f.viaSpacing = text(viaSpacing_);
    f.viaDiameter = text(viaDiameter_);
    f.viasPerSide = text(viasPerSide_);
    f.epsilonR = text(epsilonR_);
    f.maxFrequency = maxFrequency_;
}

bool CEditLayDlg::checkFields(LayoutFields& f) {
    // The plain numbers are refused before the sides are put in order; after
    // that the dialog shows the longer side as the length, as the board will.
    const FieldCheck check = f.Check();
    if (check && IsPlainNumberField(check->controlId)) return !refuse(check);
    f.OrderSides();
    setText(width_, f.width);
    setText(length_, f.length);
    return !refuse(check);
}

}  // namespace vantor::ui
