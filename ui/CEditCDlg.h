#pragma once
// The slot dialog of the main form ("C3 bearbeiten..."): remove, edit or
// insert the capacitor of one value slot. The dialog only offers the
// buttons; its caller runs each action on the document.

#include <functional>

#include <QDialog>

class QPushButton;

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

    /// "C%d" of the slot.
    QString caption() const { return caption_; }

    QPushButton* removeButton() const { return remove_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* insertButton() const { return insert_; }
    QPushButton* backButton() const { return back_; }

private:
    QString caption_;
    Actions actions_;
    QPushButton* remove_;
    QPushButton* edit_;
    QPushButton* insert_;
    QPushButton* back_;
};

}  // namespace vantor::ui
