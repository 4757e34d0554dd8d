#pragma once
// The main window the desktop-program tests drive, shown as a person sees it,
// and closed between cases with every save question answered "Nein".

#include <memory>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "BoxAnswerer.h"
#include "CMainFrame.h"
#include "CVtrApp.h"

inline std::unique_ptr<vantor::app::CMainFrame> ShowMainFrame(vantor::CSParameterDB& database) {
    auto frame = std::make_unique<vantor::app::CMainFrame>(database);
    frame->resize(1000, 700);
    frame->show();
    return frame;
}

/// Closes every design without saving; true once none is left.
inline bool CloseAllWithoutSaving(vantor::app::CMainFrame& frame) {
    BoxAnswerer no({QStringLiteral("Nein"), QStringLiteral("Nein"), QStringLiteral("Nein")});
    frame.closeAllDocuments();
    return QTest::qWaitFor([&] { return frame.documents().empty(); });
}

/// Closes every design, answering the save question with button; true
/// when it was asked and every design closed.
inline bool CloseAllAnswering(vantor::app::CMainFrame& frame, const QString& button) {
    BoxAnswerer answer({button});
    return frame.closeAllDocuments() && answer.allAnswered();
}

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// main() of a test of the desktop program: the program object with
/// settings of its own, then the test's slots.
#define VANTOR_APP_TEST_MAIN(TestClass)                            \
    int main(int argc, char** argv) {                              \
        QTemporaryDir settings;                                    \
        qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit()); \
        vantor::app::CVtrApp app(argc, argv);                      \
        TestClass test;                                            \
        return QTest::qExec(&test, argc, argv);                    \
    }
