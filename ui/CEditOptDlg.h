#pragma once
// "Optimierungsziele festlegen": the impedance limits at the lower and upper
// corner frequency and the upper decoupling frequency. The highest allowed
// Fo travels in a hidden field.

#include "FieldForm.h"
#include "GroupEdits.h"

namespace vantor::ui {

class CEditOptDlg : public FieldFormDialog<TargetFields> {
public:
    explicit CEditOptDlg(Interaction& ui, QWidget* parent = nullptr);

protected:
    void showFields(const TargetFields& fields) override;
    void readFields(TargetFields& fields) const override;

private:
    QLineEdit* zmaxFu_;
    QLineEdit* zminFu_;
    QLineEdit* zmaxFo_;
    QLineEdit* zminFo_;
    QLineEdit* fo_;
    QLineEdit* limit_;
};

}  // namespace vantor::ui
