#pragma once
// F1 in a dialog: the dialog names the help page and section about the
// field the person is in, the program decides where the help is shown.
// Without a handler a request is ignored.

#include <functional>

#include <QString>

namespace vantor::ui {

/// target: a page of the help folder with an optional "#anchor"
/// ("frequenzbereich.html#fstart").
using ContextHelpHandler = std::function<void(const QString& target)>;

/// Installs the program's handler (replacing any earlier one).
void SetContextHelpHandler(ContextHelpHandler handler);
/// Shows the help at target.
void ShowContextHelp(const QString& target);

}  // namespace vantor::ui
