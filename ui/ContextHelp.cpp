#include "ContextHelp.h"

#include <utility>

namespace vantor::ui {

namespace {
ContextHelpHandler& Handler() {
    static ContextHelpHandler handler;
    return handler;
}
}  // namespace

void SetContextHelpHandler(ContextHelpHandler handler) { Handler() = std::move(handler); }

void ShowContextHelp(HelpTable table, int topic) {
    if (Handler()) Handler()(table, topic);
}

}  // namespace vantor::ui
