#pragma once
// A bare pair of up/down arrows beside a field, as the form's spins are:
// no value of its own; each step asks its owner, who may refuse it.

#include <functional>

#include <QAbstractSpinBox>
#include <QLineEdit>

namespace vantor::ui {

class StepSpin : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit StepSpin(QWidget* parent = nullptr) : QAbstractSpinBox(parent) {
        lineEdit()->setReadOnly(true);
        lineEdit()->hide();
        setFrame(false);
    }

    /// Called with +1 per step up, -1 per step down; false refuses the step.
    std::function<bool(int)> onStep;
    /// Whether the last step was taken.
    bool lastStepAccepted() const { return accepted_; }

    void stepBy(int steps) override { accepted_ = onStep ? onStep(steps) : false; }

protected:
    StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }

private:
    bool accepted_ = false;
};

}  // namespace vantor::ui
