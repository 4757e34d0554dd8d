#pragma once
// The main window the desktop-program tests drive, shown as a person sees it,
// and closed between cases with every save question answered "Nein".

#include <memory>

#include <QtTest>

#include "BoxAnswerer.h"
#include "CMainFrame.h"

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
