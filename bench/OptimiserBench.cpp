// Time of one optimiser run: the default document (what "Neu" does), and a
// design that needs all ten correction iterations.

#include <benchmark/benchmark.h>

#include "Optimiser.h"
#include "CCircuitBoard.h"
#include "RecordingInteraction.h"

namespace {

void Run(benchmark::State& state, double fo, double zminFu, double zmaxFu, double zminFo, double zmaxFo,
         double planeSpacing) {
    vantor::CCircuitBoard board;
    board.planeSpacing = planeSpacing;
    int capacitors = 0;
    for (auto _ : state) {
        vantor::CCGroup group(&board);
        group.fo = fo;
        group.zminFu = zminFu;
        group.zmaxFu = zmaxFu;
        group.zminFo = zminFo;
        group.zmaxFo = zmaxFo;
        vantor::RecordingInteraction ui;
        benchmark::DoNotOptimize(vantor::Optimise(group, ui));
        capacitors = group.CapacitorCount();
    }
    state.counters["capacitors"] = capacitors;
}

void BM_OptimiseDefaultBoard(benchmark::State& state) { Run(state, 3e9, 0.8, 0.9, 1.0, 1.2, 5e-5); }
void BM_OptimiseOneGigahertz(benchmark::State& state) { Run(state, 1e9, 0.8, 0.9, 1.0, 1.2, 5e-5); }
void BM_OptimiseUnreachableTargets(benchmark::State& state) { Run(state, 1e8, 0.325, 0.3705, 1.1, 1.188, 1e-4); }

}  // namespace

BENCHMARK(BM_OptimiseDefaultBoard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OptimiseOneGigahertz)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OptimiseUnreachableTargets)->Unit(benchmark::kMicrosecond);
