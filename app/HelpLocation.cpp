#include "HelpLocation.h"

#include <array>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantor::app {

namespace {

QString& TestFolder() {
    static QString folder;
    return folder;
}

// The anchors of the main form's page, by topic number.
constexpr std::array<const char*, 17> kMainFormAnchors = {
    "c-werte",     "neue-gruppe", "transfer", "e-reihe",        "quelle",       "last",
    "drossel",     "c-gruppe",    "fo",       "fu",             "daempfung",    "imax",
    "drossel-suchen", "drosselliste", "drosseldaten", "optimierung", "fmax"};
constexpr std::array<const char*, 4> kFrequencyAnchors = {"fstart", "fstop", "schritte", "fmax"};

}  // namespace

void SetDataFolderForTests(const QString& folder) { TestFolder() = folder; }

QString DataFolderHolding(const QString& name) {
    if (!TestFolder().isEmpty()) return DataFolderHolding(name, {}, {TestFolder()});
    return DataFolderHolding(name, QCoreApplication::applicationDirPath());
}

QString DataFolderHolding(const QString& name, const QString& programFolder, QStringList candidates) {
    if (candidates.isEmpty()) candidates = {programFolder + QStringLiteral("/../share/vantor"), programFolder};
    for (const QString& dir : candidates) {
        const QFileInfo info(dir + QLatin1Char('/') + name);
        if (info.exists()) return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

QString HelpFolder() { return DataFolderHolding(QStringLiteral("help")); }

QString HelpPage(int topic) {
    const QString folder = HelpFolder();
    if (folder.isEmpty()) return {};
    QString page = folder + QStringLiteral("/index.html");
    if (topic == kAboutTopic) page = folder + QStringLiteral("/about.html");
    return QFileInfo::exists(page) ? page : QString();
}

int HelpTopicCount(ui::HelpTable table) {
    return table == ui::HelpTable::MainForm ? int(kMainFormAnchors.size()) : int(kFrequencyAnchors.size());
}

QString HelpTopicTarget(ui::HelpTable table, int topic) {
    const bool main = table == ui::HelpTable::MainForm;
    const QString page = main ? QStringLiteral("hauptformular.html") : QStringLiteral("frequenzbereich.html");
    if (topic == 0) return page;
    if (topic < 0 || topic > HelpTopicCount(table)) return {};
    const char* anchor = main ? kMainFormAnchors[topic - 1] : kFrequencyAnchors[topic - 1];
    return page + QLatin1Char('#') + QLatin1String(anchor);
}

QUrl HelpTopicUrl(ui::HelpTable table, int topic) { return HelpTargetUrl(HelpTopicTarget(table, topic)); }

QUrl HelpTargetUrl(const QString& target) {
    const QString folder = HelpFolder();
    if (folder.isEmpty() || target.isEmpty()) return {};
    const qsizetype hash = target.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(folder + QLatin1Char('/') + target.left(hash));
    if (hash >= 0) url.setFragment(target.mid(hash + 1));
    return url;
}

QString HelpTopicSnippet(ui::HelpTable table, int topic) { return HelpTargetSnippet(HelpTopicTarget(table, topic)); }

QString HelpTargetSnippet(const QString& target) {
    const QUrl url = HelpTargetUrl(target);
    if (url.isEmpty() || !url.hasFragment()) return {};
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString html = QString::fromUtf8(file.readAll());
    const qsizetype at = html.indexOf(QStringLiteral("id=\"") + url.fragment() + QLatin1Char('"'));
    if (at < 0) return {};
    const qsizetype from = html.lastIndexOf(QLatin1Char('<'), at);
    const qsizetype end = html.indexOf(QStringLiteral("</p>"), at);
    return end < 0 ? QString() : html.mid(from, end + 4 - from);
}

}  // namespace vantor::app
