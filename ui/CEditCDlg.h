#pragma once
// The slot dialog of the main form ("C3 bearbeiten..."): remove, edit or
// insert the capacitor of one value slot. The dialog only offers the
// buttons; its caller runs each action on the document.

#include <functional>

#include <QDialog>

namespace vantor::ui {

class CEditCDlg : public QDialog {
public:
    struct Actions {
        std::function<void()> remove;  // "Entfernen"
        std::function<void()> insert;  // "Neu"
        std::function<bool()> edit;    // "Bearbeiten..."; true when it changed something
    };

    /// Slot k (1..10) of a group of n capacitors.
    CEditCDlg(int k, int n, Actions actions, QWidget* parent = nullptr);

private:
    Actions actions_;
};

}  // namespace vantor::ui
