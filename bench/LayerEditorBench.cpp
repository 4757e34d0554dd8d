// The layer editor while something is dragged on a crowded plane (200
// groups, 200 probes, 200 cut-outs): one mouse move and the repaint it
// causes, goal under 16 ms (a frame at 60 Hz). Dragging a probe, a group
// and a rubber band, with and without the impedance map under the objects;
// and the whole view repainted for comparison.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <memory>

#include <QApplication>
#include <QMouseEvent>
#include <QWindow>
#include <QAction>

#include "CCGroup.h"
#include "CLayer.h"
#include "CLayerEditFrm.h"
#include "CLayerEditView.h"
#include "LayerTestHost.h"

using namespace vantor;
using namespace vantor::ui;

namespace {

// The plane crowded with a 20 x 10 pattern of each kind over the default
// 99 mm x 71 mm plane, and a stored map to show under them.
void Crowd(CLayer& l) {
    for (int i = 0; i < 200; ++i) {
        const double x = (2.0 + 4.8 * (i % 20)) * 1e-3, y = (3.0 + 6.8 * (i / 20)) * 1e-3;
        auto g = std::make_unique<CCGroup>();
        g->posX = x;
        g->posY = y;
        g->name = "G" + std::to_string(i);
        l.capacitorGroups.push_back(std::move(g));
        l.probes.push_back(std::make_unique<CProbe>(x + 2.4e-3, y + 3.4e-3, "P" + std::to_string(i)));
        l.cutOuts.push_back(std::make_unique<CCutOut>(x + 1e-3, y - 1e-3, x + 2e-3, y + 1e-3, "C" + std::to_string(i)));
    }
    l.mesh.cellSize = 0.5e-3;
    l.results.resultMaps = {ComplexMatrix(143, 199, {0.05, 0.01})};
    l.results.resultMaps[0].Set(70, 100, {0.5, 0.0});
    l.results.resultLabels = {"Maximum"};
}

void Send(QWidget& w, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent e(type, at, w.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

// The editor on the crowded plane, shown whole in a 1000 x 800 window.
struct CrowdedEditor {
    explicit CrowdedEditor(bool map) : frame(host) {
        frame.resize(1000, 800);
        frame.show();
        // Paints reach the backing store only once the window is exposed.
        while (frame.windowHandle() == nullptr || !frame.windowHandle()->isExposed()) QCoreApplication::processEvents();
        frame.mapAction()->setChecked(map);
        frame.view().setScale(9000);
    }
    LayerTestHost host;
    bool crowded = (Crowd(host.plane()), true);  // before the editor opens
    CLayerEditFrm frame;
};

// state.range(0): 0 probe, 1 group, 2 rubber band; range(1): map shown.
void DragRepaint(benchmark::State& state) {
    CrowdedEditor e(state.range(1) != 0);
    CLayerEditView& view = e.frame.view();
    const CLayer& l = e.host.plane();
    QPointF from;
    switch (state.range(0)) {
        case 0: from = view.toPixel(l.probes[45]->x, l.probes[45]->y); break;
        case 1: from = view.toPixel(l.capacitorGroups[45]->posX, l.capacitorGroups[45]->posY); break;
        default: from = view.toPixel(1e-3, 70e-3); break;
    }
    Send(view, QEvent::MouseButtonPress, from, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        const QPointF at = from + QPointF(3 * (step % 100), 2 * (step % 100));
        ++step;
        Send(view, QEvent::MouseMove, at, Qt::LeftButton);
        // The repaint the move asked for, and the status bar's.
        QCoreApplication::processEvents();
    }
    Send(view, QEvent::MouseButtonRelease, from, Qt::NoButton);
    state.SetLabel(state.range(1) != 0 ? "with map" : "");
}
BENCHMARK(DragRepaint)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->ArgNames({"probe_group_band", "map"})
    ->Unit(benchmark::kMillisecond);

// The worst case: the whole view repainted (a scroll or zoom step).
void WholeRepaint(benchmark::State& state) {
    CrowdedEditor e(state.range(0) != 0);
    for (auto _ : state) e.frame.view().repaint();
    state.SetLabel(state.range(0) != 0 ? "with map" : "");
}
BENCHMARK(WholeRepaint)->Arg(0)->Arg(1)->ArgName("map")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
