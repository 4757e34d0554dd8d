#pragma once
// The dialog commands of the main form, each run on the document as one
// undoable step. The dialogs themselves only show and check their fields;
// the document applies them.

class QWidget;

namespace vantor {
class CCGroup;
}

namespace vantor::ui {

class FormHost;

/// "&Layout...": the layout dialog inside the document's layout workflow.
void RunLayoutCommand(FormHost& host, QWidget* parent);
/// "&Kondensatoren...": the default package of the optimisation group.
void RunCapacitorCommand(FormHost& host, QWidget* parent);
/// "&Optimierungsziele...": the optimisation targets.
void RunTargetCommand(FormHost& host, QWidget* parent);
/// "&Parameter..." of "Analyse": the analysis domain.
void RunAnalysisParameterCommand(FormHost& host, QWidget* parent);
/// "Edit" of slot Ck (k = 1..10) of the current group: the slot dialog.
void RunSlotCommand(FormHost& host, const CCGroup& group, int k, QWidget* parent);

}  // namespace vantor::ui
