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

void ShowContextHelp(const QString& target) {
    if (Handler()) Handler()(target);
}

}  // namespace vantor::ui
