#pragma once
// "Analyse: Parameter": the frequency sweep and mesh resolution of the
// field analysis. The time-range controls stay hidden; their values pass
// through the dialog.

#include "CAnalysisDomain.h"
#include "FieldForm.h"

class QCheckBox;
class QSpinBox;

namespace vantor::ui {

class CAnaDomainDlg : public FieldFormDialog<AnalysisFields> {
public:
    explicit CAnaDomainDlg(Interaction& ui, QWidget* parent = nullptr);

protected:
    void showFields(const AnalysisFields& fields) override;
    void readFields(AnalysisFields& fields) const override;

private:
    QSpinBox* frequencySteps_;
    QCheckBox* logarithmic_;
};

}  // namespace vantor::ui
