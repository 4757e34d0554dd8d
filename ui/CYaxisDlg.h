#pragma once
// The Y-axis dialog of the graph window: "Auto" or a fixed top of the axis.
// While "Auto" is on the top's field is read-only.

#include "FieldForm.h"
#include "GraphAxis.h"

class QCheckBox;

namespace vantor::ui {

class CYaxisDlg : public FieldFormDialog<YAxisFields> {
public:
    explicit CYaxisDlg(Interaction& ui, QWidget* parent = nullptr);

protected:
    void showFields(const YAxisFields& fields) override;
    void readFields(YAxisFields& fields) const override;

private:
    QCheckBox* auto_;
    QLineEdit* maximum_;
};

}  // namespace vantor::ui
