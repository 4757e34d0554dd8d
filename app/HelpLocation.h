#pragma once
// Where the program's installed data is: share/vantor beside its bin
// folder, or its own folder; and the pages and sections of its help.

#include <QString>
#include <QStringList>
#include <QUrl>

namespace vantor::app {

/// The folder of the help pages, or empty when none is installed.
QString HelpFolder();
/// A page of the help folder ("index.html", "about.html") as a file path,
/// or empty when there is no such page.
QString HelpPage(const QString& name);
/// The heading and first paragraph of the section "page.html#anchor" as
/// rich text, for the "What's this" pop-up; empty without help or anchor.
QString HelpTargetSnippet(const QString& target);
/// "page.html#anchor" of the help folder as a URL; empty without help.
QUrl HelpTargetUrl(const QString& target);

/// The installed data folder: share/vantor beside the program's bin, or
/// the program's own folder; empty when neither holds what is asked for.
QString DataFolderHolding(const QString& name);
/// The same for a program in programFolder (the build tree's
/// build/app/vantor finds build/share/vantor); candidates replace the usual
/// places when given.
QString DataFolderHolding(const QString& name, const QString& programFolder, QStringList candidates = {});
/// Tests point the data folder elsewhere (empty: the usual places).
void SetDataFolderForTests(const QString& folder);

}  // namespace vantor::app
