#pragma once
// What the modal field dialogs share: labelled fields known by their field
// name, the German OK/Abbrechen buttons, and the refusal of a failed check
// (message first, then the focus on the field, the dialog stays open).
// The checks and messages themselves are the core's.

#include <map>
#include <string>
#include <vector>

#include <QDialog>

#include "FieldCheck.h"
#include "FieldDialog.h"

class QCheckBox;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace vantor {
class Interaction;
}

namespace vantor::ui {

class FieldForm : public QDialog {
public:
    /// Refusals go to ui as messages.
    FieldForm(Interaction& ui, QWidget* parent);

    /// The control of that field, or null.
    QWidget* control(const FieldKey& key) const;

protected:
    /// A label and its line edit in one row of grid (columns column and
    /// column + 1); the edit is known by key and named by the label.
    QLineEdit* addField(QGridLayout* grid, int row, const char* label, FieldKey key = {}, int column = 0);
    /// A check box across row of grid (both columns of the first pair),
    /// known by key and named by its text.
    QCheckBox* addCheckBox(QGridLayout* grid, int row, const char* text, FieldKey key);
    /// A grid of label/field column pairs (columnPairs side by side) on
    /// owner, or free when owner is null; the fields take the extra width.
    static QGridLayout* fieldGrid(QWidget* owner, int columnPairs = 1);
    /// Registers the control of a field (for the focus on refusal).
    void addControl(FieldKey key, QWidget* widget);
    /// The "OK" / "Abbrechen" buttons, wired to accept and reject.
    QDialogButtonBox* makeButtons();

    /// Shows the message of a failed check, then selects its field; false
    /// when the check passed.
    bool refuse(const FieldCheck& check);

    static std::string text(const QLineEdit* edit);
    static void setText(QLineEdit* edit, const std::string& text);

private:
    Interaction& ui_;
    std::map<FieldKey, QWidget*> controls_;
};

/// A FieldForm over the field struct Fields: exec shows the fields and on OK
/// hands them back only after Fields::Check() passed. Fields the dialog does
/// not show pass through unchanged.
template <class Fields>
class FieldFormDialog : public FieldForm, public FieldDialog<Fields> {
public:
    using FieldForm::addField;
    using FieldForm::FieldForm;
    using QDialog::exec;

    bool exec(Fields& fields) override {
        fields_ = fields;
        showFields(fields_);
        if (QDialog::exec() != QDialog::Accepted) return false;
        fields = fields_;
        return true;
    }

    /// The fields as the person has typed them so far.
    Fields typed() const {
        Fields f = fields_;
        readFields(f);
        return f;
    }

    void accept() override {
        Fields f = typed();
        if (!checkFields(f)) return;
        fields_ = f;
        QDialog::accept();
    }

protected:
    /// A labelled line edit bound to a text of Fields: shown and read back
    /// by the default showFields / readFields.
    QLineEdit* addField(QGridLayout* grid, int row, const char* label, std::string Fields::*member, FieldKey key = {},
                        int column = 0) {
        QLineEdit* edit = FieldForm::addField(grid, row, label, key, column);
        bindings_.push_back({edit, member});
        return edit;
    }

    virtual void showFields(const Fields& fields) {
        for (const Binding& b : bindings_) setText(b.edit, fields.*b.member);
    }
    virtual void readFields(Fields& fields) const {
        for (const Binding& b : bindings_) fields.*b.member = text(b.edit);
    }
    /// The core's check; false after a refusal.
    virtual bool checkFields(Fields& fields) { return !refuse(fields.Check()); }

    Fields fields_;

private:
    struct Binding {
        QLineEdit* edit;
        std::string Fields::*member;
    };
    std::vector<Binding> bindings_;
};

}  // namespace vantor::ui
