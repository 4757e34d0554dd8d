// Assembly of the plane's nodal admittance system at every analysis
// frequency and its solution with UMFPACK. Only the diagonal of the
// impedance matrix (the self-impedance of each node) is kept.
#include "solver/PlaneSolver.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "decoupling/CCGroup.h"
#include "model/CAnalysisDomain.h"
#include "model/CCircuitBoard.h"
#include "model/Interaction.h"
#include "model/Values.h"
#include "solver/CLayer.h"
#include "solver/UmfpackLu.h"

namespace vantor {

using Complex = std::complex<double>;

CellQuantities CellAt(double f, double h, const CCircuitBoard& b) {
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

const char* const kKeptResults = "\nDie bisherigen Ergebnisse bleiben erhalten.";

}  // namespace

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
    const PlaneStructure& s = layer.structure;
    const CellQuantities q = CellAt(f, layer.cellSize, *layer.board);
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
    for (const auto& g : layer.capacitorGroups) {
        if (g->ElementCount() < 2) continue;
        const CPort* port = layer.FindNearestNodePort(g->posX, g->posY);
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

bool CLayer::SolvePlane(const CAnalysisDomain& domain, Interaction& ui) {
    if (board == nullptr) {
        ui.message("Die Lage gehört zu keiner Platine.", MessageKind::Error);
        return false;
    }
    const std::vector<double> freqs = domain.frequencies();
    const int n = activeCount;
    using Clock = SolverTimingLog::Clock;

    ProgressScope progress(ui, "FEM-Solver busy...");
    ui.progressRange(ProgressBar::Upper, static_cast<int>(freqs.size()));
    ui.progressRange(ProgressBar::Lower, 10);
    timingLog_.Clear();
    factorBytes_ = 0.0;
    const auto start = Clock::now();

    auto fail = [&](const std::string& text) {
        ui.message("FEM-Solver: " + text + kKeptResults, MessageKind::Error);
        return false;
    };

    try {
        std::vector<ComplexMatrix> maps;
        std::vector<std::string> labels;
        maps.reserve(freqs.size() + 1);
        labels.reserve(freqs.size() + 1);

        // The system's pattern is that of the branch structure; every node
        // has its diagonal, so group admittances stay inside the pattern.
        auto stage = Clock::now();
        SparseComplexMatrix m = StructurePattern(structure);
        timingLog_.Add("0: Find number of non-zeros: %d sec\n", stage);
        timingLog_.Add("1: Setting up matrix for UMFPACK: %d sec\n", stage);

        UmfpackLu lu;
        stage = Clock::now();
        if (n > 0) {
            const int status = lu.Analyse(m);
            if (UmfpackLu::Failed(status)) return fail(UmfpackLu::StatusText(status));
        }
        timingLog_.Add("2: Preorder & factorize matrix once: %d sec\n", stage);

        std::vector<Complex> zmax(static_cast<std::size_t>(n), Complex(0.0, 0.0));
        std::vector<Complex> zdiag(static_cast<std::size_t>(n));
        std::vector<double> bRe(static_cast<std::size_t>(n), 0.0), bIm(static_cast<std::size_t>(n), 0.0);
        std::vector<double> xRe(static_cast<std::size_t>(n)), xIm(static_cast<std::size_t>(n));

        auto mapOf = [&](const std::vector<Complex>& diag) {
            ComplexMatrix map(ny, nx, kNoMetal);
            for (int r = 0; r < ny; ++r)
                for (int c = 0; c < nx; ++c)
                    if (const int k = nodeIndexMap(r, c)) map.Set(r, c, diag[static_cast<std::size_t>(k) - 1]);
            return map;
        };

        for (std::size_t fi = 0; fi < freqs.size(); ++fi) {
            const double f = freqs[fi];
            if (ui.cancelRequested()) return fail("Die Analyse wurde abgebrochen.");
            ui.progressValue(ProgressBar::Lower, 1);
            ui.progressText(FormatValue(f, "Hz", 1));
            labels.push_back(FormatValue(f, "Hz", 1));

            if (n > 0) {
                stage = Clock::now();
                if (!AssemblePlaneMatrix(*this, f, m))
                    return fail("Bei " + FormatValue(f, "Hz") + " ist das Gleichungssystem nicht berechenbar.");
                timingLog_.Add("3a: Assemble M-matrix: %d sec\n", stage);
                timingLog_.Add("3b: setup matrix for UMFPACK: %d sec\n", stage);
                ui.progressValue(ProgressBar::Lower, 3);

                // One factorisation serves every right-hand side.
                stage = Clock::now();
                int status = lu.Factorise(m);
                if (UmfpackLu::Failed(status))
                    return fail("Bei " + FormatValue(f, "Hz") + ": " + UmfpackLu::StatusText(status));
                factorBytes_ = std::max(factorBytes_, lu.FactorBytes());
                timingLog_.Add("umfpack_zi_numeric: %d sec\n", stage);
                ui.progressValue(ProgressBar::Lower, 5);

                stage = Clock::now();
                for (int p = 0; p < n; ++p) {
                    bRe[p] = 1.0;
                    status = lu.Solve(m, bRe.data(), bIm.data(), xRe.data(), xIm.data());
                    bRe[p] = 0.0;
                    if (UmfpackLu::Failed(status))
                        return fail("Bei " + FormatValue(f, "Hz") + ": " + UmfpackLu::StatusText(status));
                    zdiag[p] = Complex(xRe[p], xIm[p]);
                }
                timingLog_.Add("umfpack_zi_solve: %d sec\n", stage);
                timingLog_.Add("(One frequency) Solve for all ports: %d sec\n", stage);
                for (int i = 0; i < n; ++i)
                    if (std::abs(zmax[i]) < std::abs(zdiag[i])) zmax[i] = zdiag[i];
            }
            ui.progressValue(ProgressBar::Lower, 9);
            maps.push_back(mapOf(zdiag));
            ui.progressValue(ProgressBar::Upper, static_cast<int>(fi) + 1);
            timingLog_.Add("Per Cycle: %d sec\n", start);
        }

        maps.push_back(mapOf(zmax));
        labels.push_back("Maximum");
        timingLog_.Add("Gesamt: %d sec\n", start);
        // Only a complete solve replaces the results.
        resultMaps = std::move(maps);
        resultLabels = std::move(labels);
        return true;
    } catch (const std::bad_alloc&) {
        return fail("Nicht genügend Speicher.");
    }
}

}  // namespace vantor
