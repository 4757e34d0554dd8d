#pragma once
// "Skalierung: Z-Achse" of the 3D view: automatic z range or a fixed
// Zmin..Zmax in Ohm. While "Auto" is on both fields are read-only.

#include "FieldForm.h"
#include "ZAxisFields.h"

class QCheckBox;

namespace vantor::ui {

class CZAxisDlg : public FieldFormDialog<ZAxisFields> {
public:
    explicit CZAxisDlg(Interaction& ui, QWidget* parent = nullptr);

protected:
    void showFields(const ZAxisFields& fields) override;
    void readFields(ZAxisFields& fields) const override;

private:
    void lock(bool automatic);

    QCheckBox* auto_;
    QLineEdit* zmax_;
    QLineEdit* zmin_;
};

}  // namespace vantor::ui
