// Assembly of the plane's nodal admittance system at every analysis
// frequency and its solution, by LDL^T with selected inversion or by
// UMFPACK, on a pool of threads. Only the diagonal of the impedance matrix
// (the self-impedance of each node) is kept.
#include "PlaneSolver.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <string>

#include "CCGroup.h"
#include "CAnalysisDomain.h"
#include "BoardStackup.h"
#include "Interaction.h"
#include "Values.h"
#include "CLayer.h"
#include "PlaneMesh.h"
#include "PlaneResults.h"
#include "OrderedWorkers.h"
#include "SparseLdlt.h"
#include "UmfpackLu.h"

namespace vantor {

using Complex = std::complex<double>;

CellQuantities CellAt(double f, double h, const BoardStackup& b) {
    CellQuantities q;
    const double w = kTwoPi * f;
    const double d = b.planeSpacing;
    q.capacitance = kEpsilon0 * b.epsilonR * h * h / d;
    const double lsq = kMu0 * d;
    q.skinDepth = 1.0 / std::sqrt(kPi * f * kMu0 * b.conductivity);
    q.surfaceResistance = 2.0 / (b.conductivity * q.skinDepth);
    const double u = b.metalThickness / q.skinDepth;
    const double e = std::exp(-u);
    const double dn = 1.0 - 2.0 * e * std::cos(u) + std::exp(-2.0 * u);
    const double rs = q.surfaceResistance;
    q.metalImpedance = Complex(rs * (1.0 - e * (std::cos(u) - std::sin(u))) / dn,
                               rs * (1.0 - e * (std::cos(u) + std::sin(u))) / dn);
    q.seriesZ = Complex(q.metalImpedance.real(), w * lsq + q.metalImpedance.imag());
    q.shuntY = Complex(b.tanDelta * w * q.capacitance, w * q.capacitance);
    return q;
}

void BranchAdmittances(Complex z, Complex y, Complex& ya, Complex& yb) {
    const Complex z0 = std::sqrt(2.0 * z / y);
    const Complex gamma = std::sqrt(y * z / 2.0);
    ya = (1.0 / std::tanh(gamma)) / z0;
    yb = -(1.0 / std::sinh(gamma)) / z0;
}

namespace {

bool Finite(Complex v) { return std::isfinite(v.real()) && std::isfinite(v.imag()); }

const char* const kDcNotice =
    "Bei 0 Hz ist das Plattenpaar offen, seine Impedanz also unendlich: das Feld für 0 Hz enthält überall "
    "1e12 Ohm. Alle anderen Frequenzen wurden berechnet.";

}  // namespace

std::string SolverFailureText(const std::string& reason) {
    return "FEM-Solver: " + reason + "\nDie bisherigen Ergebnisse bleiben erhalten.";
}

SparseComplexMatrix StructurePattern(const PlaneStructure& s) {
    SparseComplexMatrix m;
    m.n = s.n;
    m.columnStart = s.columnStart;
    if (m.columnStart.empty()) m.columnStart.assign(1, 0);
    m.rowIndex = s.rowIndex;
    m.re.assign(m.rowIndex.size(), 1.0);
    m.im.assign(m.rowIndex.size(), 0.0);
    return m;
}

bool AssemblePlaneMatrix(const CLayer& layer, double f, SparseComplexMatrix& m) {
    if (layer.stackup() == nullptr) return false;
    return AssemblePlaneMatrix(PlaneSystem{layer.mesh, *layer.stackup(), layer.capacitorGroups}, f, m);
}

bool AssemblePlaneMatrix(const PlaneSystem& system, double f, SparseComplexMatrix& m) {
    const PlaneStructure& s = system.mesh.structure;
    const CellQuantities q = CellAt(f, system.mesh.cellSize, system.stackup);
    Complex ya, yb;
    BranchAdmittances(q.seriesZ, q.shuntY, ya, yb);
    if (!Finite(ya) || !Finite(yb)) return false;
    // An edge branch stands for half a strip: half the admittance.
    for (int j = 0; j < s.n; ++j) {
        for (int e = m.columnStart[j]; e < m.columnStart[j + 1]; ++e) {
            Complex v;
            switch (s.kind[e]) {
                case PlaneStructure::Diagonal: v = ya * (s.interiorDiag[j] + 0.5 * s.edgeDiag[j]); break;
                case PlaneStructure::InteriorOff: v = yb; break;
                default: v = 0.5 * yb; break;
            }
            m.re[e] = v.real();
            m.im[e] = v.imag();
        }
    }
    for (const auto& g : system.groups) {
        if (g->ElementCount() < 2) continue;
        const CPort* port = system.mesh.FindNearestNodePort(g->posX, g->posY);
        if (port == nullptr) continue;
        const int k = port->index - 1;
        // Every node has its diagonal, so the sum stays inside the pattern.
        for (int e = m.columnStart[k]; e < m.columnStart[k + 1]; ++e) {
            if (m.rowIndex[e] != k) continue;
            const Complex yg = g->GroupAdmittance(f, 0);
            m.re[e] += yg.real();
            m.im[e] += yg.imag();
        }
    }
    for (std::size_t e = 0; e < m.re.size(); ++e)
        if (!std::isfinite(m.re[e]) || !std::isfinite(m.im[e])) return false;
    return true;
}

namespace {

// What one frequency gives back to the thread that reports.
struct FrequencyResult {
    std::vector<Complex> diagonal;  // self-impedances in node order, Ohm
    std::string error;              // empty on success
    bool dc = false;                // f = 0: nothing to solve
    bool fellBack = false;          // the fast path handed over to UMFPACK
    double factorBytes = 0.0;
    int assembleSeconds = 0, factorSeconds = 0, solveSeconds = 0;
};

// The per-thread state of the sweep: its own copy of the matrix values, its
// own factor, and UMFPACK only when it is needed.
class FrequencyWorker {
public:
    FrequencyWorker(const PlaneSystem& system, const LdltPattern& pattern, const SolverOptions& options)
        : system_(system), pattern_(pattern), options_(options), m_(StructurePattern(system.mesh.structure)) {}

    FrequencyResult Solve(double f) {
        using Clock = SolverTimingLog::Clock;
        FrequencyResult r;
        // At DC the plate admittances vanish and the groups short nothing:
        // the system has no solution, the open pair an infinite impedance.
        r.dc = f == 0.0;
        const int n = m_.n;
        if (n == 0 || r.dc) return r;
        auto stage = Clock::now();
        if (!AssemblePlaneMatrix(system_, f, m_)) {
            r.error = "Bei " + FormatValue(f, "Hz") + " ist das Gleichungssystem nicht berechenbar.";
            return r;
        }
        r.assembleSeconds = SolverTimingLog::Seconds(Clock::now() - stage);
        if (options_.kind == SolverKind::Fast) {
            stage = Clock::now();
            const SparseLdlt::Status status = ldlt_.Factorise(pattern_, m_, options_.pivotTolerance);
            r.factorSeconds = SolverTimingLog::Seconds(Clock::now() - stage);
            if (status == SparseLdlt::Status::Ok) {
                stage = Clock::now();
                ldlt_.InverseDiagonal(pattern_, r.diagonal);
                r.solveSeconds = SolverTimingLog::Seconds(Clock::now() - stage);
                r.factorBytes = ldlt_.Bytes();
                return r;
            }
            // Without pivoting a tiny pivot could give wrong values silently.
            r.fellBack = true;
        }
        SolveByUmfpack(f, r);
        return r;
    }

    std::int64_t UmfpackNonZeros() const { return lu_ ? lu_->FactorNonZeros() : 0; }

private:
    void SolveByUmfpack(double f, FrequencyResult& r) {
        using Clock = SolverTimingLog::Clock;
        const int n = m_.n;
        auto fail = [&](int status) {
            r.error = "Bei " + FormatValue(f, "Hz") + ": " + UmfpackLu::StatusText(status);
            r.diagonal.clear();
        };
        if (!lu_) {
            lu_ = std::make_unique<UmfpackLu>();
            const int status = lu_->Analyse(m_);
            if (UmfpackLu::Failed(status)) {
                lu_.reset();
                return fail(status);
            }
        }
        auto stage = Clock::now();
        int status = lu_->Factorise(m_);
        if (UmfpackLu::Failed(status)) return fail(status);
        r.factorBytes = lu_->FactorBytes();
        r.factorSeconds += SolverTimingLog::Seconds(Clock::now() - stage);
        stage = Clock::now();
        std::vector<double> bRe(static_cast<std::size_t>(n), 0.0), bIm(static_cast<std::size_t>(n), 0.0);
        std::vector<double> xRe(static_cast<std::size_t>(n)), xIm(static_cast<std::size_t>(n));
        r.diagonal.resize(static_cast<std::size_t>(n));
        for (int p = 0; p < n; ++p) {
            bRe[p] = 1.0;
            status = lu_->Solve(m_, bRe.data(), bIm.data(), xRe.data(), xIm.data());
            bRe[p] = 0.0;
            if (UmfpackLu::Failed(status)) return fail(status);
            r.diagonal[p] = Complex(xRe[p], xIm[p]);
        }
        r.solveSeconds = SolverTimingLog::Seconds(Clock::now() - stage);
    }

    const PlaneSystem& system_;
    const LdltPattern& pattern_;
    SolverOptions options_;
    SparseComplexMatrix m_;
    SparseLdlt ldlt_;
    std::unique_ptr<UmfpackLu> lu_;
};

}  // namespace

bool SolveSweep(const PlaneSystem& system, const CAnalysisDomain& domain, const SolverOptions& options,
                ProgressReporter& progress, PlaneResults& results, std::vector<SolveMessage>& messages) {
    using Clock = SolverTimingLog::Clock;
    const PlaneMesh& mesh = system.mesh;
    const int n = mesh.activeCount;
    SolverTimingLog timingLog;
    SolveReport report;
    report.kind = options.kind;
    const auto start = Clock::now();

    auto fail = [&](const std::string& reason) {
        messages.push_back({SolverFailureText(reason), MessageKind::Error});
        return false;
    };

    try {
        const std::vector<double> freqs = domain.frequencies();
        const int count = static_cast<int>(freqs.size());
        const ProgressScope scope(progress, "FEM-Solver busy...");
        progress.range(ProgressBar::Upper, count);
        progress.range(ProgressBar::Lower, 10);

        std::vector<ComplexMatrix> maps;
        std::vector<std::string> labels;
        maps.reserve(freqs.size() + 1);
        labels.reserve(freqs.size() + 1);

        auto stage = Clock::now();
        timingLog.Add("0: Find number of non-zeros: %d sec\n", SolverTimingLog::Since(stage));
        timingLog.Add("1: Setting up matrix for UMFPACK: %d sec\n", SolverTimingLog::Since(stage));

        // The pattern analysis is shared by every frequency.
        LdltPattern pattern;
        if (options.kind == SolverKind::Fast && !pattern.Analyse(StructurePattern(mesh.structure), options.ordering))
            return fail("Interner Fehler des Gleichungslösers.");
        report.factorNonZeros = options.kind == SolverKind::Fast ? pattern.FactorNonZeros() : 0;
        timingLog.Add("2: Preorder & factorize matrix once: %d sec\n", SolverTimingLog::Since(stage));

        BlasOnOneThread();
        const int threads = n > 0 ? WorkerCount(options.threads, count) : 1;
        report.threads = threads;
        std::vector<std::unique_ptr<FrequencyWorker>> workers;
        for (int w = 0; w < threads; ++w)
            workers.push_back(std::make_unique<FrequencyWorker>(system, pattern, options));

        std::vector<Complex> zmax(static_cast<std::size_t>(n), Complex(0.0, 0.0));
        auto mapOf = [&](const std::vector<Complex>& diag) {
            ComplexMatrix map(mesh.ny, mesh.nx, kNoMetal);
            for (int r = 0; r < mesh.ny; ++r)
                for (int c = 0; c < mesh.nx; ++c)
                    if (const int k = mesh.nodeIndexMap(r, c)) map.Set(r, c, diag[static_cast<std::size_t>(k) - 1]);
            return map;
        };

        std::string error;
        std::vector<SolveMessage> notices;
        int next = 0;
        // Cancel and progress are asked on this thread only, once per
        // frequency and in frequency order.
        auto proceed = [&] {
            if (progress.cancelRequested()) {
                error = "Die Analyse wurde abgebrochen.";
                return false;
            }
            progress.value(ProgressBar::Lower, 1);
            progress.text(FormatValue(freqs[next], "Hz", 1));
            return true;
        };
        auto deliver = [&](int fi, FrequencyResult&& r) {
            ++next;
            if (!r.error.empty()) {
                error = r.error;
                return false;
            }
            labels.push_back(FormatValue(freqs[fi], "Hz", 1));
            if (r.dc) {
                // Not part of the maximum: it would put 1e12 on every point.
                maps.push_back(ComplexMatrix(mesh.ny, mesh.nx, kNoMetal));
                if (notices.empty()) notices.push_back({kDcNotice, MessageKind::Information});
            } else if (n > 0) {
                timingLog.Add("3a: Assemble M-matrix: %d sec\n", r.assembleSeconds);
                timingLog.Add("3b: setup matrix for UMFPACK: %d sec\n", 0);
                timingLog.Add(options.kind == SolverKind::Fast && !r.fellBack ? "ldlt numeric: %d sec\n"
                                                                              : "umfpack_zi_numeric: %d sec\n",
                              r.factorSeconds);
                timingLog.Add(options.kind == SolverKind::Fast && !r.fellBack ? "selected inversion: %d sec\n"
                                                                              : "umfpack_zi_solve: %d sec\n",
                              r.solveSeconds);
                if (r.fellBack) ++report.fallbackFrequencies;
                report.factorBytes = std::max(report.factorBytes, r.factorBytes);
                // In frequency order, so the earliest frequency wins ties.
                for (int i = 0; i < n; ++i)
                    if (std::abs(zmax[i]) < std::abs(r.diagonal[i])) zmax[i] = r.diagonal[i];
                maps.push_back(mapOf(r.diagonal));
            } else {
                maps.push_back(mapOf(zmax));
            }
            progress.value(ProgressBar::Lower, 9);
            progress.value(ProgressBar::Upper, fi + 1);
            timingLog.Add("Per Cycle: %d sec\n", SolverTimingLog::Since(start));
            return true;
        };
        auto work = [&](int w, int fi) { return workers[w]->Solve(freqs[fi]); };
        // A notice of a solve that did not finish would only confuse.
        if (!RunInOrder<FrequencyResult>(count, threads, work, proceed, deliver)) return fail(error);
        if (options.kind == SolverKind::Umfpack)
            for (const auto& w : workers) report.factorNonZeros = std::max(report.factorNonZeros, w->UmfpackNonZeros());

        maps.push_back(mapOf(zmax));
        labels.push_back(kMaximumLabel);
        timingLog.Add("Gesamt: %d sec\n", SolverTimingLog::Since(start));
        // Only a complete solve replaces the results.
        results.resultMaps = std::move(maps);
        results.resultLabels = std::move(labels);
        results.timingLog = std::move(timingLog);
        results.report = report;
        messages.insert(messages.end(), notices.begin(), notices.end());
        return true;
    } catch (const std::bad_alloc&) {
        return fail(kNotEnoughMemory);
    } catch (const std::exception& e) {
        return fail(std::string("Interner Fehler: ") + e.what());
    }
}

}  // namespace vantor
