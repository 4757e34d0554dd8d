#pragma once
// What the picture programs share: where the pictures go, letting the
// windows settle, and a main window with an analysed design.

#include <QCoreApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

#include "CMainFrame.h"
#include "CVtrGrphFrm.h"
#include "DocumentFrame.h"
#include "DocumentHost.h"

namespace vantor::shots {

/// The output folder (first argument, made when missing) and the suffix of
/// every picture name (second argument, e.g. "-2x").
class Pictures {
public:
    Pictures(int argc, char** argv, QString prefix = {})
        : out_(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")),
          suffix_(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString()),
          prefix_(std::move(prefix)) {
        QDir().mkpath(out_);
    }
    QString operator()(const QString& base, const char* extension = ".png") const {
        return out_ + QLatin1Char('/') + prefix_ + base + suffix_ + QLatin1String(extension);
    }
    QString operator()(const char* base, const char* extension = ".png") const {
        return (*this)(QString::fromUtf8(base), extension);
    }

private:
    QString out_, suffix_, prefix_;
};

inline void Settle(int rounds = 10) {
    for (int i = 0; i < rounds; ++i) QCoreApplication::processEvents();
}

/// The main window at 90 % of the screen, shown.
inline void PlaceMainWindow(app::CMainFrame& frame) {
    frame.resize(frame.screen()->availableSize() * 0.9);
    frame.move(0, 0);
    frame.show();
}

/// A new design with one group, analysed at steps + 1 frequencies, and its
/// graph window maximised; null when the window did not open.
inline ui::CVtrGrphFrm* AnalysedGraphWindow(app::CMainFrame& frame, int steps, app::DocumentHost*& host) {
    host = frame.newDocument();
    CVtrDoc& doc = host->document();
    doc.newGroup();
    CAnalysisDomain domain = doc.analysisDomain();
    domain.frequencySteps = steps;
    doc.setAnalysisDomain(domain);
    doc.analyse();
    host->setGraphWindowOpen(true);
    ui::CVtrGrphFrm* graph = nullptr;
    for (QMdiSubWindow* w : frame.mdiArea()->subWindowList())
        if (auto* g = qobject_cast<ui::CVtrGrphFrm*>(app::DocumentFrame::ContentOf(w))) {
            graph = g;
            frame.mdiArea()->setActiveSubWindow(w);
            w->showMaximized();
        }
    return graph;
}

}  // namespace vantor::shots
