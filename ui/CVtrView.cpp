#include "CVtrView.h"

#include "CVtrDoc.h"
#include "FormDialogs.h"
#include "FormHost.h"

namespace vantor::ui {

CVtrView::CVtrView(FormHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setAccessibleName(QStringLiteral("Entkopplung"));
    host_.document().AddView(*this);
}

CVtrView::~CVtrView() { host_.document().RemoveView(*this); }

void CVtrView::OnUpdate(ChangeHint) { update(); }

void CVtrView::runCommand(FormCommand command) {
    CVtrDoc& doc = host_.document();
    switch (command) {
        case FormCommand::GraphWindow: host_.setGraphWindowOpen(doc.graphWindowOpen == 0); break;
        case FormCommand::LayerEditor: host_.setLayerEditorOpen(doc.layerEditorOpen == 0); break;
        case FormCommand::Layout: RunLayoutCommand(host_, this); break;
        case FormCommand::Capacitors: RunCapacitorCommand(host_, this); break;
        case FormCommand::Targets: RunTargetCommand(host_, this); break;
        case FormCommand::AnalysisParameters: RunAnalysisParameterCommand(host_, this); break;
    }
}

bool CVtrView::isChecked(FormCommand command) const {
    const CVtrDoc& doc = host_.document();
    switch (command) {
        case FormCommand::GraphWindow: return doc.graphWindowOpen != 0;
        case FormCommand::LayerEditor: return doc.layerEditorOpen != 0;
        default: return false;
    }
}

}  // namespace vantor::ui
