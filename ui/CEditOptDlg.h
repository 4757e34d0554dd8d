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
};

}  // namespace vantor::ui
