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
    addField(limitGrid, 0, "Fu - Zmax:", &F::zmaxFu, F::kZmaxFuId);
    addField(limitGrid, 1, "Fu - Zmin:", &F::zminFu, F::kZminFuId);
    addField(limitGrid, 0, "Fo - Zmax:", &F::zmaxFo, F::kZmaxFoId, 2);
    addField(limitGrid, 1, "Fo - Zmin:", &F::zminFo, F::kZminFoId, 2);

    auto* corner = new QGroupBox(QStringLiteral("Obere Grenzfrequenz der Entkopplung:"), this);
    QGridLayout* cornerGrid = fieldGrid(corner);
    addField(cornerGrid, 0, "Obere Grenzfrequenz:", &F::fo, F::kFoId);
    addField(cornerGrid, 1, "Maximal mögliche Frequenz:", &F::limit)->hide();
    cornerGrid->itemAtPosition(1, 0)->widget()->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(limits);
    layout->addWidget(corner);
    layout->addStretch(1);
    layout->addWidget(makeButtons());
}

}  // namespace vantor::ui
