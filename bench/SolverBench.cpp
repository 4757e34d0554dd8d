// The plane-pair solver on the default board (99 x 71 mm, 50 um, er 4.4):
// mesh and solve for a few frequencies at several resolutions. Reports the
// unknowns N, seconds per frequency and the peak memory of one solve (heap
// of the program plus UMFPACK's own peak for a factorisation).
#include <benchmark/benchmark.h>

#include <algorithm>

#include "HeapCounter.h"
#include "CAnalysisDomain.h"
#include "CCircuitBoard.h"
#include "RecordingInteraction.h"
#include "CLayer.h"
#include "SolveJob.h"

namespace {

using namespace vantor;

// Arguments: stop frequency in MHz, resolution, frequency steps.
void BM_SolveDefaultBoard(benchmark::State& state) {
    const double fTop = static_cast<double>(state.range(0)) * 1e6;
    const double resolution = static_cast<double>(state.range(1));
    CAnalysisDomain domain(fTop / 10, fTop, 0.0, 1e-6, resolution);
    domain.frequencySteps = static_cast<int>(state.range(2));
    const int frequencies = domain.frequencySteps + 1;

    CCircuitBoard board;
    CLayer& layer = *board.SolverLayer();
    RecordingInteraction ui;
    bool ok = true;
    long long heapPeak = 0;
    for (auto _ : state) {
        bench::ResetHeapPeak();
        SolveJob job(layer, domain);
        ok = job.run(ui) && ok;
        heapPeak = bench::HeapPeakSinceReset();
    }
    if (!ok) state.SkipWithError("the solve failed");
    state.counters["N"] = layer.mesh.activeCount;
    state.counters["s_per_freq"] = benchmark::Counter(frequencies, benchmark::Counter::kIsIterationInvariantRate |
                                                                       benchmark::Counter::kInvert);
    state.counters["heap_MB"] = static_cast<double>(heapPeak) / 1e6;
    state.counters["umfpack_MB"] = layer.FactorBytes() / 1e6;
    state.counters["peak_MB"] = (static_cast<double>(heapPeak) + layer.FactorBytes()) / 1e6;
}

// About 140, 875 and 3,500 unknowns at 1 GHz; about 14,000 at 2 GHz.
BENCHMARK(BM_SolveDefaultBoard)
    ->Args({1000, 2, 4})
    ->Args({1000, 5, 4})
    ->Args({1000, 10, 2})
    ->Args({2000, 10, 0})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
