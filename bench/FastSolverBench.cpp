// The fast plane solver against the UMFPACK reference on the default board
// (99 x 71 mm, 50 um, er 4.4), side by side in one run.
//
//   fast_solver_bench [--threads N] [--reference-frequencies K]
//                     [--reference-max-n M] [--save DIR | --compare DIR]
//                     [--ordering auto|amd|nd] [--superlu] [case ...]
//
// Cases: 3500 (stop 1 GHz, resolution 10), 14000 (1 GHz, 20), 30000 (3 GHz,
// 10), 100000 (3 GHz, 18); default all. The fast path solves 101
// frequencies; the reference path only the first K (default 2, 0 skips it)
// and its time per frequency is extrapolated to 101; planes of more than M
// nodes (default 20,000) skip it, as N solves would take hours. Peak memory is the
// heap through operator new during the solve plus UMFPACK's own peak.
//
// Beside one numeric LDL^T the same run times one numeric UMFPACK LU of the
// same matrix, so each figure has a peer measured on the same machine at the
// same load. bench/superlu_peer.py times SuperLU on a 5-point grid of about
// 100,000 nodes, the other peer; --superlu runs it after the cases and
// holds the 100,000-node case against it. --save writes the fast path's maps of each
// case to DIR/<case>.bin; --compare reads them back and prints the largest
// relative difference on any metal node and map (a solver change must keep
// it below 1e-9). --ordering picks the fill-reducing order of the fast path
// (default: the solver's choice by plane size).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <utility>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "HeapCounter.h"
#include "CAnalysisDomain.h"
#include "CCircuitBoard.h"
#include "RecordingInteraction.h"
#include "CLayer.h"
#include "PlaneSolver.h"
#include "BlasSetup.h"
#include "SolveJob.h"
#include "SolveMemory.h"
#include "SparseLdlt.h"
#include "UmfpackLu.h"

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
    double cpuSeconds = 0.0;  // of all threads: the load others put on the machine hardly changes it
    double peakMB = 0.0;
    long long factorNonZeros = 0;
    int fallbacks = 0;
    int threads = 0;
    bool ok = false;
};

// User and system time of the process so far, s.
double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Meshes and solves the plane as the program does, by a job run to its end.
Run SolveOnce(CLayer& layer, const CAnalysisDomain& domain, const SolverOptions& options) {
    RecordingInteraction ui;
    bench::ResetHeapPeak();
    const auto start = Clock::now();
    const double cpuStart = CpuSeconds();
    Run r;
    SolveJob job(layer, domain, options);
    r.ok = job.run(ui);
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    r.cpuSeconds = CpuSeconds() - cpuStart;
    const SolveReport& report = layer.LastSolve();
    // UMFPACK allocates through malloc: add its own figure.
    const double umfpack = options.kind == SolverKind::Umfpack ? report.factorBytes : 0.0;
    r.peakMB = (static_cast<double>(bench::HeapPeakSinceReset()) + umfpack) / 1e6;
    r.factorNonZeros = report.factorNonZeros;
    r.fallbacks = report.fallbackFrequencies;
    r.threads = report.threads;
    return r;
}

// Seconds of one numeric factorisation and of one selected inversion after
// it (the medians of three) at f.
std::pair<double, double> FactorisationSeconds(const CLayer& layer, double f, FillOrdering ordering) {
    SparseComplexMatrix m = StructurePattern(layer.mesh.structure);
    LdltPattern pattern;
    pattern.Analyse(m, ordering);
    AssemblePlaneMatrix(layer, f, m);
    SparseLdlt ldlt;
    std::vector<double> factor, inverse;
    std::vector<std::complex<double>> diagonal;
    for (int i = 0; i < 3; ++i) {
        auto start = Clock::now();
        ldlt.Factorise(pattern, m, SolverOptions{}.pivotTolerance);
        factor.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        start = Clock::now();
        ldlt.InverseDiagonal(pattern, diagonal);
        inverse.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(factor.begin(), factor.end());
    std::sort(inverse.begin(), inverse.end());
    return {factor[1], inverse[1]};
}

// Seconds of one numeric UMFPACK LU (the median of three) at f, after one
// symbolic analysis as in the sweep.
double UmfpackFactorisationSeconds(const CLayer& layer, double f) {
    SparseComplexMatrix m = StructurePattern(layer.mesh.structure);
    AssemblePlaneMatrix(layer, f, m);
    UmfpackLu lu;
    if (UmfpackLu::Failed(lu.Analyse(m))) return 0.0;
    std::vector<double> t;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        lu.Factorise(m);
        t.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(t.begin(), t.end());
    return t[1];
}

// The metal entries of every map, in map order.
std::vector<std::complex<double>> MetalValues(const CLayer& layer) {
    std::vector<std::complex<double>> v;
    for (const ComplexMatrix& map : layer.results.resultMaps)
        for (int r = 0; r < layer.mesh.ny; ++r)
            for (int c = 0; c < layer.mesh.nx; ++c)
                if (layer.mesh.nodeIndexMap(r, c)) v.push_back(map(r, c));
    return v;
}

void SaveOrCompare(const CLayer& layer, const std::string& path, bool save) {
    std::vector<std::complex<double>> v = MetalValues(layer);
    const auto bytes = static_cast<std::streamsize>(v.size() * sizeof(v[0]));
    if (save) {
        std::ofstream out(path, std::ios::binary);
        if (!out.write(reinterpret_cast<const char*>(v.data()), bytes) || !out.flush()) {
            std::printf("%14s could not write %s\n", "", path.c_str());
            return;
        }
        std::printf("%14s saved %zu values to %s\n", "", v.size(), path.c_str());
        return;
    }
    std::vector<std::complex<double>> saved(v.size());
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(saved.data()), bytes) || in.peek() != std::char_traits<char>::eof()) {
        std::printf("%14s %s %s\n", "", path.c_str(),
                    in.is_open() ? "does not hold the same number of values" : "cannot be read");
        return;
    }
    double worst = 0.0;
    for (std::size_t i = 0; i < v.size(); ++i) worst = std::max(worst, std::abs(v[i] - saved[i]) / std::abs(saved[i]));
    std::printf("%14s against %s: largest relative difference %.3g over %zu values\n", "", path.c_str(), worst,
                v.size());
}

// Returns the fast path's seconds per frequency, or 0 if the case did not run.
double Bench(const Case& c, int threads, FillOrdering ordering, int referenceFrequencies, int referenceMaxN,
             const std::string& saveDir, const std::string& compareDir) {
    CCircuitBoard board;
    CLayer& layer = *board.SolverLayer();
    if (!layer.BuildMesh(c.stop, c.resolution)) {
        std::printf("case %s: no mesh\n", c.name);
        return 0.0;
    }
    CAnalysisDomain domain(c.stop / 100, c.stop, 0.0, 1e-6, c.resolution);
    domain.frequencySteps = 100;
    const int frequencies = domain.frequencySteps + 1;

    SolverOptions fast;
    fast.threads = threads;
    fast.ordering = ordering;
    const Run f = SolveOnce(layer, domain, fast);
    const double fastPerFrequency = f.seconds / frequencies;
    if (!saveDir.empty()) SaveOrCompare(layer, saveDir + "/" + c.name + ".bin", true);
    if (!compareDir.empty()) SaveOrCompare(layer, compareDir + "/" + c.name + ".bin", false);
    const auto [factorise, invert] = FactorisationSeconds(layer, c.stop / 2, ordering);
    const double umfpackFactorise = UmfpackFactorisationSeconds(layer, c.stop / 2);
    std::printf(
        "case %-6s N = %6d  fast:      L nnz %10lld  %2d threads  %8.4f s/freq  total %8.2f s (%d freq)  "
        "peak %7.1f MB  fallbacks %d%s\n",
        c.name, layer.mesh.activeCount, f.factorNonZeros, f.threads, fastPerFrequency, f.seconds, frequencies, f.peakMB,
        f.fallbacks, f.ok ? "" : "  FAILED");
    std::printf(
        "%14s one numeric LDL^T %.4f s, its selected inversion %.4f s; s/freq per thread / "
        "factorisation = %.2f\n",
        "", factorise, invert, fastPerFrequency * f.threads / factorise);
    std::printf("%14s CPU time of the sweep %.4f s/freq (all threads); / factorisation = %.2f\n", "",
                f.cpuSeconds / frequencies, f.cpuSeconds / frequencies / factorise);
    std::printf("%14s one numeric UMFPACK LU %.4f s; s/freq / LU = %.2f\n", "", umfpackFactorise,
                fastPerFrequency / umfpackFactorise);
    fast.threads = f.threads;
    std::printf("%14s memory the solve is estimated to take beforehand: %.1f MB\n", "",
                EstimateSolveBytes(board.length, board.width, board.epsilonR, domain, fast) / 1048576.0);

    if (referenceFrequencies <= 0) return fastPerFrequency;
    if (layer.mesh.activeCount > referenceMaxN) {
        std::printf("%14s reference: not measured (N above %d)\n", "", referenceMaxN);
        return fastPerFrequency;
    }
    CAnalysisDomain few = domain;
    few.frequencySteps = referenceFrequencies - 1;
    few.stopFrequency = domain.frequencyAt(referenceFrequencies - 1);
    // The job meshes for the stop frequency: the resolution that keeps the
    // cells of the whole sweep.
    few.resolution = domain.resolution * domain.stopFrequency / few.stopFrequency;
    SolverOptions reference;
    reference.kind = SolverKind::Umfpack;
    reference.threads = 1;
    const Run r = SolveOnce(layer, few, reference);
    const double referencePerFrequency = r.seconds / referenceFrequencies;
    std::printf(
        "%14s reference: LU nnz %10lld  %2d thread   %8.4f s/freq  total %8.2f s (%d freq measured, "
        "%.0f s extrapolated to %d)  peak %7.1f MB%s\n",
        "", r.factorNonZeros, r.threads, referencePerFrequency, r.seconds, referenceFrequencies,
        referencePerFrequency * frequencies, frequencies, r.peakMB, r.ok ? "" : "  FAILED");
    std::printf("%14s speed-up per frequency: %.0f x\n", "", referencePerFrequency / fastPerFrequency);
    return fastPerFrequency;
}

// Times the SuperLU peer (bench/superlu_peer.py, a grid of 400 x 250 nodes)
// and prints its line; its median seconds, or 0.
double SuperLuSeconds() {
    const std::string command = std::string("/usr/bin/python3 ") + VANTOR_SUPERLU_PEER + " 2>&1";
    FILE* peer = popen(command.c_str(), "r");
    if (!peer) return 0.0;
    char line[512];
    double seconds = 0.0;
    while (std::fgets(line, sizeof line, peer)) {
        std::printf("%s", line);
        if (const char* median = std::strstr(line, "median ")) seconds = std::atof(median + 7);
    }
    return pclose(peer) == 0 ? seconds : 0.0;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int threads = 0, referenceFrequencies = 2, referenceMaxN = 20000;
    std::string saveDir, compareDir;
    bool superLu = false;
    FillOrdering ordering = FillOrdering::Automatic;
    std::vector<std::string> wanted;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--threads") && i + 1 < argc) {
            threads = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--reference-frequencies") && i + 1 < argc) {
            referenceFrequencies = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--reference-max-n") && i + 1 < argc) {
            referenceMaxN = std::atoi(argv[++i]);
        } else if (!std::strcmp(argv[i], "--ordering") && i + 1 < argc) {
            const std::string o = argv[++i];
            ordering = o == "amd"  ? FillOrdering::MinimumDegree
                       : o == "nd" ? FillOrdering::NestedDissection
                                   : FillOrdering::Automatic;
        } else if (!std::strcmp(argv[i], "--superlu")) {
            superLu = true;
        } else if (!std::strcmp(argv[i], "--save") && i + 1 < argc) {
            saveDir = argv[++i];
        } else if (!std::strcmp(argv[i], "--compare") && i + 1 < argc) {
            compareDir = argv[++i];
        } else {
            wanted.emplace_back(argv[i]);
        }
    }
    std::printf("BLAS kernels: %s\n", BlasKernelName().c_str());
    double largestCase = 0.0;  // s/freq of the 100,000-node case, the peer's size
    for (const Case& c : kCases)
        if (wanted.empty() || std::find(wanted.begin(), wanted.end(), c.name) != wanted.end()) {
            const double perFrequency = Bench(c, threads, ordering, referenceFrequencies, referenceMaxN, saveDir,
                                              compareDir);
            if (!std::strcmp(c.name, "100000")) largestCase = perFrequency;
        }
    if (superLu) {
        const double peer = SuperLuSeconds();
        if (peer > 0.0 && largestCase > 0.0)
            std::printf("case 100000 s/freq / one SuperLU factorisation = %.2f\n", largestCase / peer);
    }
    return 0;
}
