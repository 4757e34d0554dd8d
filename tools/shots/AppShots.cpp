// Pictures of the desktop program's own windows for a person to look at:
//   QT_SCALE_FACTOR=2 xvfb-run -a build/tools/shots/app_shots OUTDIR [suffix]
// Writes main.png (main window with a new design and its menus), splash.png,
// about.png, progress.png, help-topic.png and help-search.png. Not a test: it asserts nothing.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include "AboutDialog.h"
#include "CMainFrame.h"
#include "CSplashDlg.h"
#include "CVtrApp.h"
#include "DocumentHost.h"
#include "HelpLocation.h"
#include "HelpWindow.h"
#include "SolverProgressDialog.h"
#include "ShotSupport.h"

using namespace vantor;
using namespace vantor::app;

namespace {

void Save(QWidget& w, const QString& path) {
    w.show();
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    w.grab().save(path);
}

/// The whole screen, for pictures with open menus.
void SaveScreen(const QString& path) {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
}

}  // namespace

int main(int argc, char** argv) {
    CVtrApp app(argc, argv);
    const shots::Pictures name(argc, argv);

    CSplashDlg splash;
    splash.LoadDatabase(app.database(), QStringLiteral(VANTOR_SOURCE_DIR "/Database"));
    Save(splash, name("splash"));
    splash.close();

    CMainFrame frame(app.database());
    frame.resize(frame.screen()->availableSize() * 0.9);
    frame.move(0, 0);
    DocumentHost* host = frame.newDocument();
    host->document().newGroup();
    frame.mdiArea()->activeSubWindow()->showMaximized();
    Save(frame, name("main"));
    // The "&Datei" menu open over the window.
    QMenu* file = frame.menuBar()->actions().front()->menu();
    QTimer::singleShot(0, [&] {
        file->popup(frame.mapToGlobal(frame.menuBar()->geometry().bottomLeft()));
        SaveScreen(name("menu"));
        file->close();
    });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    // The design analysed, its three windows side by side.
    CAnalysisDomain domain = host->document().analysisDomain();
    domain.frequencySteps = 20;
    host->document().setAnalysisDomain(domain);
    host->runAnalysis();
    host->setLayerEditorOpen(true);
    frame.mdiArea()->tileSubWindows();
    Save(frame, name("tiled"));

    AboutDialog about(&frame);
    Save(about, name("about"));

    ui::SolverProgressDialog progress(&frame);
    progress.progressBegin(QStringLiteral("FEM-Solver busy..."));
    progress.progressRange(ProgressBar::Upper, 50);
    progress.progressRange(ProgressBar::Lower, 10);
    progress.progressValue(ProgressBar::Upper, 20);
    progress.progressValue(ProgressBar::Lower, 6);
    progress.progressText(QStringLiteral("412.5MHz"));
    Save(progress, name("progress"));
    progress.close();

    // The help window at the attenuation section, and its search.
    SetDataFolderForTests(QStringLiteral(VANTOR_SOURCE_DIR));
    frame.showHelpSection(QStringLiteral("hauptformular.html#daempfung"));
    HelpWindow* help = frame.helpWindow();
    Save(*help, name("help-topic"));
    auto* query = help->findChild<QLineEdit*>();
    query->setText(QStringLiteral("Dämpfung Drossel"));
    help->findChild<QTabWidget*>()->setCurrentIndex(1);
    QMetaObject::invokeMethod(query, "returnPressed");
    Save(*help, name("help-search"));
    host->document().SetModifiedFlag(false);
    host->closeAll();
    return 0;
}
