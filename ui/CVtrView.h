#pragma once
// The main decoupling form of a document: optimisation result, the current
// placed group, the filter design and the board, side by side. It shows
// what the document holds and turns each action into one document command.

#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <QRect>
#include <QWidget>

#include "FieldCheck.h"
#include "FilterFields.h"
#include "MainFormLogic.h"
#include "ViewRecords.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantor::ui {

class FormHost;
class StepSpin;

/// The commands of the main form that the main window's menus carry.
enum class FormCommand { GraphWindow, LayerEditor, Layout, Capacitors, Targets, AnalysisParameters };

class CVtrView : public QWidget, public DocumentView {
    Q_OBJECT
public:
    /// Attaches itself to the host's document; detaches when destroyed.
    explicit CVtrView(FormHost& host, QWidget* parent = nullptr);
    ~CVtrView() override;

    void OnUpdate(ChangeHint hint) override;
    /// The design's main-form state, which every main form stores.
    ViewRecord* Record() override;

    /// Runs a menu command of the form.
    void runCommand(FormCommand command);
    /// Whether a menu command shows a check mark ("&Grafikausgabe" while the
    /// graph window is open, "&Layer-Editor" while the editor is).
    bool isChecked(FormCommand command) const;

    /// The whole form at the current font.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    /// The help page and section a control of the form answers F1 with
    /// ("hauptformular.html#fo"); empty for a control without its own help.
    static QString HelpTarget(const QWidget* control);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Placed {
        QWidget* widget;
        QRect dialogUnits;
    };

    // Building.
    void buildOptimisationBox();
    void buildGroupBox();
    void buildFilterBox();
    void buildBoardBox();
    QLabel* addLabel(const QString& text, QRect at);
    // help: the page and section the control answers F1 with, or null.
    QLineEdit* addField(const char* help, const QString& name, QRect at, bool readOnly);
    QPushButton* addButton(const char* help, const QString& text, QRect at);
    void place(QWidget* widget, const char* help, QRect at);
    void placeControls();
    void fitGroupName();

    // Refresh, in the order the form shows its parts.
    void refresh(ChangeHint hint);
    void refreshSlots();
    void refreshChokes();

    // Actions.
    SlotTexts slotTexts() const;
    FilterFields filterFields() const;
    /// The form's check: the occupied slots, then the filter fields.
    FieldCheck validate() const;
    /// Shows the message, then puts the focus on its control.
    void refuse(const FieldError& error);
    void applySlots(bool check);
    void applyFilterFields();
    void applyPosition();
    void stepGroup(int steps);
    bool stepAttenuation(int steps);
    void deleteGroup();
    void newGroup();
    void transfer();
    void openDataSheet();
    void toggleGroupInFilter();
    void searchChoke();
    void chooseChoke(int index);
    void editSlot(int k);
    void setSeries(bool e6);
    void showHelpFor(QWidget* widget);
    void command(const char* label, const std::function<void()>& fn);
    /// The design's state the form shows (series, transfer, current group).
    const MainFormState& form() const;

    FormHost& host_;

    std::vector<Placed> placed_;
    std::map<FieldKey, QWidget*> fields_;  // the controls a refused check names

    std::array<QLineEdit*, kSlotCount> optimised_{};
    QLabel* fmax_ = nullptr;
    QLabel* groupName_ = nullptr;
    StepSpin* groupSpin_ = nullptr;
    QRadioButton* e6_ = nullptr;
    QRadioButton* e12_ = nullptr;
    std::array<QComboBox*, kSlotCount> slots_{};
    std::array<QPushButton*, kSlotCount> editButtons_{};
    QLineEdit* posX_ = nullptr;
    QLineEdit* posY_ = nullptr;
    QPushButton* source_ = nullptr;
    QPushButton* choke_ = nullptr;
    QPushButton* groupButton_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* transfer_ = nullptr;
    QLineEdit* fo_ = nullptr;
    QLineEdit* fu_ = nullptr;
    QLineEdit* attenuation_ = nullptr;
    StepSpin* attenuationSpin_ = nullptr;
    QLineEdit* imax_ = nullptr;
    QComboBox* chokes_ = nullptr;
    QLineEdit* maker_ = nullptr;
    QLineEdit* type_ = nullptr;
    QLineEdit* package_ = nullptr;

    // What the last refresh showed, to tell a real edit from leaving a field.
    SlotTexts shownSlots_;
    FilterFields shownFilter_;
    QString shownX_, shownY_;
    int shownCapacitors_ = 0;

    bool refreshing_ = false;    // the refresh's own writes are no edits
    bool writingSlots_ = false;  // the form already shows the values it writes
    bool refusing_ = false;      // a message is up: focus moves are no edits
};

}  // namespace vantor::ui
