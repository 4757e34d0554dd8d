#include "HeadlessQt.h"

#include <cstdio>
#include <cstdlib>

#include <QGuiApplication>
#include <QtGlobal>

namespace vantor::cli {

namespace {

// Qt's note that a headless session has no runtime folder is of no use to
// someone writing a file; everything else Qt says still reaches stderr.
void QuietRuntimeFolderNote(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

HeadlessQt::HeadlessQt() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "vantor-cli";
    static char* argv[] = {name, nullptr};
    qInstallMessageHandler(QuietRuntimeFolderNote);
    app_ = std::make_unique<QGuiApplication>(argc, argv);
}

HeadlessQt::~HeadlessQt() = default;

}  // namespace vantor::cli
