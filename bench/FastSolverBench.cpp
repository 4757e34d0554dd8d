// The fast plane solver against the UMFPACK reference on the default board
// (99 x 71 mm, 50 um, er 4.4), side by side in one run.
//
//   fast_solver_bench [--threads N] [--reference-frequencies K]
//                     [--reference-max-n M] [case ...]
//
// Cases: 3500 (stop 1 GHz, resolution 10), 14000 (1 GHz, 20), 30000 (3 GHz,
// 10), 100000 (3 GHz, 18); default all. The fast path solves 101
// frequencies; the reference path only the first K (default 2, 0 skips it)
// and its time per frequency is extrapolated to 101; planes of more than M
// nodes (default 20,000) skip it, as N solves would take hours. Peak memory is the
// heap through operator new during the solve plus UMFPACK's own peak.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "HeapCounter.h"
#include "CAnalysisDomain.h"
#include "CCircuitBoard.h"
#include "RecordingInteraction.h"
#include "CLayer.h"
#include "PlaneSolver.h"
#include "SparseLdlt.h"

namespace {

using namespace vantor;
using Clock = std::chrono::steady_clock;

struct Case {
    const char* name;
    double stop;  // Hz
    double resolution;
};

const Case kCases[] = {
    {"3500", 1e9, 10.0},
    {"14000", 1e9, 20.0},
    {"30000", 3e9, 10.0},
    {"100000", 3e9, 18.0},
};

struct Run {
    double seconds = 0.0;
    double peakMB = 0.0;
    long long factorNonZeros = 0;
    int fallbacks = 0;
    int threads = 0;
    bool ok = false;
};

Run SolveOnce(CLayer& layer, const CAnalysisDomain& domain, const SolverOptions& options) {
    RecordingInteraction ui;
    bench::ResetHeapPeak();
    const auto start = Clock::now();
    Run r;
    r.ok = layer.SolvePlane(domain, ui, options);
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const SolveReport& report = layer.LastSolve();
    // UMFPACK allocates through malloc: add its own figure.
    const double umfpack = options.kind == SolverKind::Umfpack ? report.factorBytes : 0.0;
    r.peakMB = (static_cast<double>(bench::HeapPeakSinceReset()) + umfpack) / 1e6;
    r.factorNonZeros = report.factorNonZeros;
    r.fallbacks = report.fallbackFrequencies;
    r.threads = report.threads;
    return r;
}

// Seconds of one numeric factorisation (the median of three) at f.
double FactorisationSeconds(const CLayer& layer, double f) {
    SparseComplexMatrix m = StructurePattern(layer.mesh.structure);
    LdltPattern pattern;
    pattern.Analyse(m);
    AssemblePlaneMatrix(layer, f, m);
    SparseLdlt ldlt;
    std::vector<double> t;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        ldlt.Factorise(pattern, m, SolverOptions{}.pivotTolerance);
        t.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(t.begin(), t.end());
    return t[1];
}

void Bench(const Case& c, int threads, int referenceFrequencies, int referenceMaxN) {
    CCircuitBoard board;
    CLayer& layer = *board.SolverLayer();
    if (!layer.BuildMesh(c.stop, c.resolution)) {
        std::printf("case %s: no mesh\n", c.name);
        return;
    }
    CAnalysisDomain domain(c.stop / 100, c.stop, 0.0, 1e-6, c.resolution);
    domain.frequencySteps = 100;
    const int frequencies = domain.frequencySteps + 1;

    SolverOptions fast;
    fast.threads = threads;
    const Run f = SolveOnce(layer, domain, fast);
    const double fastPerFrequency = f.seconds / frequencies;
    const double factorise = FactorisationSeconds(layer, c.stop / 2);
    std::printf("case %-6s N = %6d  fast:      L nnz %10lld  %2d threads  %8.4f s/freq  total %8.2f s (%d freq)  "
                "peak %7.1f MB  fallbacks %d%s\n",
                c.name, layer.mesh.activeCount, f.factorNonZeros, f.threads, fastPerFrequency, f.seconds, frequencies,
                f.peakMB, f.fallbacks, f.ok ? "" : "  FAILED");
    std::printf("%14s one numeric LDL^T %.4f s; s/freq per thread / factorisation = %.2f\n", "", factorise,
                fastPerFrequency * f.threads / factorise);

    if (referenceFrequencies <= 0) return;
    if (layer.mesh.activeCount > referenceMaxN) {
        std::printf("%14s reference: not measured (N above %d)\n", "", referenceMaxN);
        return;
    }
    CAnalysisDomain few = domain;
    few.frequencySteps = referenceFrequencies - 1;
    few.stopFrequency = domain.frequencyAt(referenceFrequencies - 1);
    SolverOptions reference;
    reference.kind = SolverKind::Umfpack;
    reference.threads = 1;
    const Run r = SolveOnce(layer, few, reference);
    const double referencePerFrequency = r.seconds / referenceFrequencies;
    std::printf("%14s reference: LU nnz %10lld  %2d thread   %8.4f s/freq  total %8.2f s (%d freq measured, "
                "%.0f s extrapolated to %d)  peak %7.1f MB%s\n",
                "", r.factorNonZeros, r.threads, referencePerFrequency, r.seconds, referenceFrequencies,
                referencePerFrequency * frequencies, frequencies, r.peakMB, r.ok ? "" : "  FAILED");
    std::printf("%14s speed-up per frequency: %.0f x\n", "", referencePerFrequency / fastPerFrequency);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int threads = 0, referenceFrequencies = 2, referenceMaxN = 20000;
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--threads") && i + 1 < argc) {
            threads = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--reference-frequencies") && i + 1 < argc) {
            referenceFrequencies = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--reference-max-n") && i + 1 < argc) {
            referenceMaxN = std::atoi(argv[++i]);
        } else {
            wanted.emplace_back(argv[i]);
        }
    }
    for (const Case& c : kCases)
        if (wanted.empty() || std::find(wanted.begin(), wanted.end(), c.name) != wanted.end())
            Bench(c, threads, referenceFrequencies, referenceMaxN);
    return 0;
}
