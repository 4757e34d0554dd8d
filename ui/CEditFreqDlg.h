#pragma once
// "Frequenzbereich eingeben": the frequency axis of the graph window, with
// the linear step shown live as the range is typed.

#include "FieldForm.h"
#include "FrequencyRangeFields.h"

namespace vantor::ui {

class CEditFreqDlg : public FieldFormDialog<FrequencyRangeFields> {
public:
    /// reachedFmax: the optimisation's upper decoupling frequency as shown
    /// for information ("Obere Grenzfrequenz der Entkopplung:").
    CEditFreqDlg(const std::string& reachedFmax, Interaction& ui, QWidget* parent = nullptr);

    /// The "Frequenzschritt:" text as it stands.
    QString stepText() const;

protected:
    void showFields(const FrequencyRangeFields& fields) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void updateStep();
    /// The help of the field that has the focus (its page when none has).
    void showHelp();

    QLineEdit* start_;
    QLineEdit* stop_;
    QLineEdit* steps_;
    QLineEdit* step_;
    QLineEdit* fmax_;
};

}  // namespace vantor::ui
