// The 3D view rotating a map of 100,000 nodes (400 x 250) at 800 x 600:
// one animation tick and the frame it draws, with the full surface and
// with the coarse one drawn while the chart moves (goal: 20 frames a
// second or more in solid on Mesa's software renderer). Solid and grid;
// building the vertex arrays of a new set for comparison. Needs an OpenGL
// context; the machine is shared, so repeat and take medians:
//   xvfb-run -a bench/view3d_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only

#include <benchmark/benchmark.h>

#include <cmath>

#include <QApplication>
#include <QOpenGLContext>

#include "COpenGL.h"
#include "PlaneResults.h"
#include "SurfaceGeometry.h"

using namespace vantor;
using namespace vantor::view3d;

namespace {

// A smooth bowl with a ripple, |Z| 0.1 .. 1 Ohm, one hole of no metal.
PlaneResults BigMap() {
    const int rows = 250, columns = 400;
    ComplexMatrix map(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const double x = c / (columns - 1.0) - 0.5, y = r / (rows - 1.0) - 0.5;
            const bool hole = std::abs(x - 0.2) < 0.05 && std::abs(y) < 0.05;
            map.Set(r, c,
                    hole ? kNoMetal : std::complex<double>(0.1 + 2.0 * (x * x + y * y) + 0.05 * std::sin(30 * x), 0));
        }
    PlaneResults res;
    res.resultMaps = {map};
    res.resultLabels = {kMaximumLabel};
    return res;
}

void Rotate(benchmark::State& state) {
    COpenGL3D chart;
    COpenGL view(chart);
    view.resize(800, 600);
    view.show();
    while (!view.isVisible() || view.context() == nullptr) QCoreApplication::processEvents();
    float zmin = 0, zmax = 0;
    chart.Load(render::BuildDataSets(BigMap(), 0.1, 0.0625, zmin, zmax), zmin, zmax);
    chart.Settings().surfaceType = static_cast<int>(state.range(0));
    chart.Settings().pattern = 6;
    chart.speed = 3;
    view.setDecimation(state.range(1) != 0);
    // The animation runs: the chart moves. Its timer then rests, the loop
    // turns the chart itself.
    view.chartChanged();
    while (!view.moving()) QCoreApplication::processEvents();
    view.grabFramebuffer();  // the vertex arrays are built once, here
    state.counters["cells"] = static_cast<double>(view.gridDrawn().width() - 1) * (view.gridDrawn().height() - 1);
    const long before = view.framesDrawn();
    for (auto _ : state) {
        chart.AnimationStep();
        // One frame drawn and read back: finished when the picture is there.
        benchmark::DoNotOptimize(view.grabFramebuffer());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(view.framesDrawn() - before),
                                               benchmark::Counter::kIsRate);
}
// Arguments: surface type; 0 the full surface, 1 the coarse one.
BENCHMARK(Rotate)
    ->ArgNames({"type", "coarse"})
    ->ArgsProduct({{kSolid, kGrid}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BuildVertexArrays(benchmark::State& state) {
    float zmin = 0, zmax = 0;
    const auto sets = render::BuildDataSets(BigMap(), 0.1, 0.0625, zmin, zmax);
    const render::ColourBands bands;
    for (auto _ : state) benchmark::DoNotOptimize(BuildSurface(sets[0], kSolid, bands, zmin, zmax));
}
BENCHMARK(BuildVertexArrays)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (!COpenGL::Available()) {
        std::fprintf(stderr, "view3d_bench: no OpenGL context can be made (run under xvfb-run -a)\n");
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
