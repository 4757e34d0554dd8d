#pragma once
// Where the program's installed data is: share/vantor beside its bin
// folder, or its own folder; and which help page answers which topic.

#include <QString>
#include <QStringList>
#include <QUrl>

#include "ContextHelp.h"

namespace vantor::app {

/// The help topic about the program and its maker.
inline constexpr int kAboutTopic = -1;

/// The folder of the help pages, or empty when none is installed.
QString HelpFolder();
/// The page of a main-form topic (0: the contents, kAboutTopic: about), or
/// empty when there is no help.
QString HelpPage(int topic);
/// The page and anchor of a topic ("hauptformular.html#daempfung"), relative
/// to the help folder; topic 0 is the table's page as a whole. Empty for a
/// number the table does not have.
QString HelpTopicTarget(ui::HelpTable table, int topic);
/// How many topics table numbers (1 … count).
int HelpTopicCount(ui::HelpTable table);
/// The heading and first paragraph of a topic as rich text, for the
/// "What's this" pop-up; empty without help.
QString HelpTopicSnippet(ui::HelpTable table, int topic);
/// The same for "page.html#anchor"; empty without an anchor.
QString HelpTargetSnippet(const QString& target);
/// HelpTopicTarget as a URL into the installed help; empty without help.
QUrl HelpTopicUrl(ui::HelpTable table, int topic);
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
