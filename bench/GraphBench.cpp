// The graph window on a large result: one whole refresh (tree and curves:
// Approx, ten probes interpolated from a plane of about 100,000 nodes and
// the filter, 501 points each; goal under 100 ms) and one repaint of the
// graph (goal under 16 ms, one frame). The plane is solved once, before.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include <QMdiArea>
#include <QMdiSubWindow>

#include "BenchDesign.h"
#include "CLayer.h"
#include "PlaneEdits.h"
#include "CMainFrame.h"
#include "CSplashDlg.h"
#include "CTracesTreeView.h"
#include "CVtrApp.h"
#include "CVtrDoc.h"
#include "CVtrGrphFrm.h"
#include "CVtrGrphVw.h"
#include "DocumentFrame.h"
#include "DocumentHost.h"

using namespace vantor;
using namespace vantor::app;

namespace {

struct AnalysedDesign {
    AnalysedDesign() {
        CSplashDlg splash;
        splash.LoadDatabase(database, QStringLiteral(VANTOR_SOURCE_DIR "/Database"));
        frame.resize(2400, 1400);
        frame.show();
        host = frame.newDocument();
        CVtrDoc& doc = host->document();
        doc.newGroup();
        doc.transferGroupToFilter();
        doc.searchChoke();
        bench::SetTwoFrequencySweep(doc);
        // Ten probes spread over the plane.
        for (int i = 0; i < 10; ++i) {
            const std::string name = "Probe" + std::to_string(i + 1);
            DeleteProbe(doc, name);
            AddProbe(doc, name, 0.005 + 0.009 * i, 0.005 + 0.006 * i);
        }
        doc.analyse();
        for (QMdiSubWindow* w : frame.mdiArea()->subWindowList())
            if (auto* g = qobject_cast<ui::CVtrGrphFrm*>(app::DocumentFrame::ContentOf(w)))
                graph = g, w->showMaximized();
        // Filter (dB) beside |Z| would ask about the units: it is built but
        // not drawn.
        graph->tree().findTrace("Filter")->setCheckState(0, Qt::Unchecked);
        QCoreApplication::processEvents();
    }
    ~AnalysedDesign() {
        host->document().SetModifiedFlag(false);
        host->closeAll();
    }

    CSParameterDB database;
    CMainFrame frame{database};
    DocumentHost* host = nullptr;
    ui::CVtrGrphFrm* graph = nullptr;
};

// Made by the first benchmark, gone before the application.
std::unique_ptr<AnalysedDesign> design;

AnalysedDesign& Design() {
    if (design == nullptr) design = std::make_unique<AnalysedDesign>();
    return *design;
}

void GraphRefresh(benchmark::State& state) {
    AnalysedDesign& d = Design();
    for (auto _ : state) d.graph->graph().OnUpdate(ChangeHint::Everything);
    const render::GraphPicture p = d.graph->graph().picture(false);
    state.counters["traces"] = double(p.traces.size());
    state.counters["points"] = double(p.traces.front().points.size());
    state.counters["nodes"] = double(d.host->document().plane()->mesh.nodePorts.size());
}
BENCHMARK(GraphRefresh)->Unit(benchmark::kMillisecond);

void GraphRepaint(benchmark::State& state) {
    AnalysedDesign& d = Design();
    ui::CVtrGrphVw& view = d.graph->graph();
    for (auto _ : state) view.repaint();
    state.counters["width"] = view.width();
    state.counters["height"] = view.height();
}
BENCHMARK(GraphRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    CVtrApp app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    design.reset();
    benchmark::Shutdown();
    return 0;
}
