#include "CEditOptDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantor::ui {

CEditOptDlg::CEditOptDlg(Interaction& ui, QWidget* parent) : FieldFormDialog(ui, parent) {
    setWindowTitle(QStringLiteral("Optimierungsziele festlegen"));
    using F = TargetFields;

    auto* limits = new QGroupBox(QStringLiteral("Impedanz-Grenzwerte für untere und obere Grenzfrequenz:"), this);
    QGridLayout* limitGrid = fieldGrid(limits, 2);
    addField(limitGrid, 0, "Fu - Zmax:", &F::zmaxFu, TargetField::ZmaxFu);
    addField(limitGrid, 1, "Fu - Zmin:", &F::zminFu, TargetField::ZminFu);
    addField(limitGrid, 0, "Fo - Zmax:", &F::zmaxFo, TargetField::ZmaxFo, 2);
    addField(limitGrid, 1, "Fo - Zmin:", &F::zminFo, TargetField::ZminFo, 2);

    auto* corner = new QGroupBox(QStringLiteral("Obere Grenzfrequenz der Entkopplung:"), this);
    QGridLayout* cornerGrid = fieldGrid(corner);
    addField(cornerGrid, 0, "Obere Grenzfrequenz:", &F::fo, TargetField::Fo);
    addField(cornerGrid, 1, "Maximal mögliche Frequenz:", &F::limit)->hide();
    cornerGrid->itemAtPosition(1, 0)->widget()->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(limits);
    layout->addWidget(corner);
    layout->addStretch(1);
    layout->addWidget(makeButtons());
}

}  // namespace vantor::ui
