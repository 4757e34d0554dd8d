#include "HelpLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vantor::app {

QString DataFolderHolding(const QString& name) {
    const QString bin = QCoreApplication::applicationDirPath();
    const QStringList candidates = {bin + QStringLiteral("/../share/vantor"), bin};
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

}  // namespace vantor::app
