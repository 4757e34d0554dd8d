// The desktop program's responsiveness: start-up with the sample component
// folder until the main window with a new design is shown (goal: under
// 1.5 s), and one whole refresh of a main form (goal: under 5 ms).
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "CMainFrame.h"
#include "CSplashDlg.h"
#include "CVtrApp.h"
#include "CVtrDoc.h"
#include "DocumentHost.h"

using namespace vantor;
using namespace vantor::app;

namespace {

const QString kSamples = QStringLiteral(VANTOR_SOURCE_DIR "/Database");

void StartUpToFirstWindow(benchmark::State& state) {
    for (auto _ : state) {
        CSParameterDB database;
        CSplashDlg splash;
        splash.show();
        splash.LoadDatabase(database, kSamples);
        CMainFrame frame(database);
        frame.newDocument();
        frame.mdiArea()->activeSubWindow()->showMaximized();
        frame.show();
        splash.close();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(frame.isVisible());
        state.PauseTiming();
        for (DocumentHost* host : frame.documents()) host->closeAll();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(StartUpToFirstWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void MainFormRefresh(benchmark::State& state) {
    CSParameterDB database;
    CSplashDlg splash;
    splash.LoadDatabase(database, kSamples);
    CMainFrame frame(database);
    frame.resize(1200, 800);
    frame.show();
    DocumentHost* host = frame.newDocument();
    host->document().newGroup();
    host->document().transferGroupToFilter();
    host->document().searchChoke();
    QCoreApplication::processEvents();
    QWidget* form = frame.mdiArea()->activeSubWindow()->widget();
    for (auto _ : state) {
        host->document().UpdateAllViews(ChangeHint::Everything);
        form->repaint();
    }
    host->closeAll();
}
BENCHMARK(MainFormRefresh)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    CVtrApp app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
