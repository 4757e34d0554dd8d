#include "FormDialogs.h"

#include "FormHost.h"
#include "Interaction.h"

namespace vantor::ui {

namespace {
void NotYet(FormHost& host) { host.interaction().message("Dieser Dialog folgt.", MessageKind::Information); }
}  // namespace

void RunLayoutCommand(FormHost& host, QWidget*) { NotYet(host); }
void RunCapacitorCommand(FormHost& host, QWidget*) { NotYet(host); }
void RunTargetCommand(FormHost& host, QWidget*) { NotYet(host); }
void RunAnalysisParameterCommand(FormHost& host, QWidget*) { NotYet(host); }
void RunSlotCommand(FormHost& host, CCGroup&, int, QWidget*) { NotYet(host); }

}  // namespace vantor::ui
