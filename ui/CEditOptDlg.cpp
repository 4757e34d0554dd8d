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
    auto* limitGrid = new QGridLayout(limits);
    limitGrid->setColumnStretch(1, 1);
    limitGrid->setColumnStretch(3, 1);
    limitGrid->setHorizontalSpacing(limitGrid->horizontalSpacing() * 2);
    zmaxFu_ = addField(limitGrid, 0, "Fu - Zmax:", F::kZmaxFuId);
    zminFu_ = addField(limitGrid, 1, "Fu - Zmin:", F::kZminFuId);
    zmaxFo_ = addField(limitGrid, 0, "Fo - Zmax:", F::kZmaxFoId, 2);
    zminFo_ = addField(limitGrid, 1, "Fo - Zmin:", F::kZminFoId, 2);

    auto* corner = new QGroupBox(QStringLiteral("Obere Grenzfrequenz der Entkopplung:"), this);
    auto* cornerGrid = new QGridLayout(corner);
    cornerGrid->setColumnStretch(1, 1);
    fo_ = addField(cornerGrid, 0, "Obere Grenzfrequenz:", F::kFoId);
    limit_ = addField(cornerGrid, 1, "Maximal mögliche Frequenz:");
    limit_->hide();
    cornerGrid->itemAtPosition(1, 0)->widget()->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(limits);
    layout->addWidget(corner);
    layout->addStretch(1);
    layout->addWidget(makeButtons());
}

void CEditOptDlg::showFields(const TargetFields& f) {
    setText(zmaxFu_, f.zmaxFu);
    setText(zminFu_, f.zminFu);
    setText(zmaxFo_, f.zmaxFo);
    setText(zminFo_, f.zminFo);
    setText(fo_, f.fo);
    setText(limit_, f.limit);
}

void CEditOptDlg::readFields(TargetFields& f) const {
    f.zmaxFu = text(zmaxFu_);
    f.zminFu = text(zminFu_);
    f.zmaxFo = text(zmaxFo_);
    f.zminFo = text(zminFo_);
    f.fo = text(fo_);
    f.limit = text(limit_);
}

}  // namespace vantor::ui
