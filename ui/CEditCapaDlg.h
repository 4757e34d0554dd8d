#pragma once
// "Kondensator - Eigenschaften eingeben": package, loss resistance and
// series inductance of a capacitor shape. With Auto on the package gives
// both values; with Auto off they are typed for the user-defined package.

#include "FieldForm.h"
#include "GroupEdits.h"

class QCheckBox;
class QComboBox;

namespace vantor {
struct BoardStackup;
}

namespace vantor::ui {

class CEditCapaDlg : public FieldFormDialog<CapacitorFields> {
public:
    /// board gives the mounted inductance shown with Auto on; may be null.
    CEditCapaDlg(const BoardStackup* board, Interaction& ui, QWidget* parent = nullptr);

protected:
    void showFields(const CapacitorFields& fields) override;

private:
    void packageChosen(int comboIndex);
    void automaticSwitched(bool on);

    const BoardStackup* board_;
    QComboBox* package_;
    QCheckBox* automatic_;
    QLineEdit* rloss_;
    QLineEdit* lser_;
    QLineEdit* name_;
};

}  // namespace vantor::ui
