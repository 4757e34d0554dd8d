#pragma once
// Where the program's installed data is: share/vantor beside its bin
// folder, or its own folder.

#include <QString>

namespace vantor::app {

/// The help topic about the program and its maker.
inline constexpr int kAboutTopic = -1;

/// The folder of the help pages, or empty when none is installed.
QString HelpFolder();
/// The page of a context topic (0: the contents, kAboutTopic: about), or
/// empty when there is no help.
QString HelpPage(int topic);

/// The installed data folder: share/vantor beside the program's bin, or
/// the program's own folder; empty when neither holds what is asked for.
QString DataFolderHolding(const QString& name);

}  // namespace vantor::app
