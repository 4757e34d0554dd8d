#pragma once
// "Layout-Parameter eingeben": board size, stack-up, vias and dielectric.
// The hidden maximum frequency follows the geometry as it is typed.

#include "FieldForm.h"
#include "LayoutDialog.h"

namespace vantor::ui {

class CEditLayDlg : public FieldFormDialog<LayoutFields> {
public:
    explicit CEditLayDlg(Interaction& ui, QWidget* parent = nullptr);

protected:
    void showFields(const LayoutFields& fields) override;
    void readFields(LayoutFields& fields) const override;
    bool checkFields(LayoutFields& fields) override;

private:
    void updateMaxFrequency();

    QLineEdit* width_;
    QLineEdit* length_;
    std::string maxFrequency_;
};

}  // namespace vantor::ui
