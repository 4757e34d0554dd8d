#include "HelpLocation.h"

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

QString HelpPage(const QString& name) {
    const QString folder = HelpFolder();
    if (folder.isEmpty()) return {};
    const QString page = folder + QLatin1Char('/') + name;
    return QFileInfo::exists(page) ? page : QString();
}

QUrl HelpTargetUrl(const QString& target) {
    const QString folder = HelpFolder();
    if (folder.isEmpty() || target.isEmpty()) return {};
    const qsizetype hash = target.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(folder + QLatin1Char('/') + target.left(hash));
    if (hash >= 0) url.setFragment(target.mid(hash + 1));
    return url;
}

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
