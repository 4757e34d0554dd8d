#pragma once
// F1 in a dialog: the dialog names its help table and topic, the program
// decides where the help is shown. Without a handler a request is ignored.

#include <functional>

namespace vantor::ui {

/// The context-help tables: the main form's controls and the frequency
/// dialog's fields number their topics separately.
enum class HelpTable { MainForm, FrequencyDialog };

using ContextHelpHandler = std::function<void(HelpTable table, int topic)>;

/// Installs the program's handler (replacing any earlier one).
void SetContextHelpHandler(ContextHelpHandler handler);
/// Shows topic of table (0: the table's page as a whole).
void ShowContextHelp(HelpTable table, int topic);

}  // namespace vantor::ui
