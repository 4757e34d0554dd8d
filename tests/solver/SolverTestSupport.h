#pragma once
// Small boards, sweeps and result checks for the solver tests.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "CAnalysisDomain.h"
#include "CCGroup.h"
#include "CCircuitBoard.h"
#include "CLayer.h"
#include "UmfpackLu.h"

namespace vantor::testing {

/// A board of the given size, m; the other values are the defaults.
inline std::unique_ptr<CCircuitBoard> Board(double length, double width) {
    auto b = std::make_unique<CCircuitBoard>();
    b->length = length;
    b->width = width;
    b->resizeLayers();
    return b;
}

/// A board of the given size and its solver plane: auto [b, l] = Plane(length, width).
struct BoardAndPlane {
    std::unique_ptr<CCircuitBoard> board;
    CLayer& plane;
};
inline BoardAndPlane Plane(double length, double width) {
    auto b = Board(length, width);
    CLayer& l = *b->SolverLayer();
    return {std::move(b), l};
}

/// A group with the plane entry and one capacitor of c, F.
inline CCGroup GroupWith(const CCircuitBoard& board, double c) {
    CCGroup g(&board);
    g.Append(CCGroup::PlaneCapacitanceEntry(board));
    g.Append(g.NewCapacitor(c));
    return g;
}

/// fTop for which a plane of er gets cells of h, m, at resolution 1.
inline double FrequencyForCell(double h, double er) { return 0.3 / (h * std::sqrt(er)) * 0.1 * 1e9; }

inline CAnalysisDomain Sweep(double start, double stop, int steps, double resolution = 2.0) {
    CAnalysisDomain d(start, stop, 0.0, 1e-6, resolution);
    d.frequencySteps = steps;
    return d;
}

inline SolverOptions Options(SolverKind kind, int threads) {
    SolverOptions o;
    o.kind = kind;
    o.threads = threads;
    return o;
}

inline bool SameMaps(const std::vector<ComplexMatrix>& a, const std::vector<ComplexMatrix>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t e = 0; e < a.size(); ++e)
        for (int r = 0; r < a[e].Rows(); ++r)
            for (int c = 0; c < a[e].Columns(); ++c)
                if (a[e](r, c) != b[e](r, c)) return false;
    return true;
}

/// Mesh and results of a plane: a failed solve must keep the very same maps.
struct Kept {
    explicit Kept(const CLayer& l)
        : maps(l.results.resultMaps), labels(l.results.resultLabels), nx(l.mesh.nx), active(l.mesh.activeCount) {}
    bool In(const CLayer& l) const {
        bool same = l.results.resultLabels == labels && l.results.resultMaps.size() == maps.size() && l.mesh.nx == nx &&
                    l.mesh.activeCount == active;
        for (std::size_t e = 0; same && e < maps.size(); ++e) same = l.results.resultMaps[e].SharesStorageWith(maps[e]);
        return same;
    }
    std::vector<ComplexMatrix> maps;
    std::vector<std::string> labels;
    int nx, active;
};

// diag(m^-1) by dense Gauss-Jordan with partial pivoting, in T.
template <typename T>
inline std::vector<std::complex<double>> DenseInverseDiagonal(const SparseComplexMatrix& m) {
    using C = std::complex<T>;
    const int n = m.n;
    std::vector<std::vector<C>> a(n, std::vector<C>(2 * n));
    for (int j = 0; j < n; ++j) {
        a[j][n + j] = 1.0;
        for (int e = m.columnStart[j]; e < m.columnStart[j + 1]; ++e) a[m.rowIndex[e]][j] = C(m.re[e], m.im[e]);
    }
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i)
            if (std::abs(a[i][k]) > std::abs(a[p][k])) p = i;
        std::swap(a[k], a[p]);
        const C pivot = a[k][k];
        for (auto& v : a[k]) v /= pivot;
        for (int i = 0; i < n; ++i)
            if (i != k && a[i][k] != C(0)) {
                const C f = a[i][k];
                for (int j = k; j < 2 * n; ++j) a[i][j] -= f * a[k][j];
            }
    }
    std::vector<std::complex<double>> d(n);
    for (int i = 0; i < n; ++i)
        d[i] = std::complex<double>(static_cast<double>(a[i][n + i].real()), static_cast<double>(a[i][n + i].imag()));
    return d;
}

// A small complex symmetric matrix in the solver's compressed-column form.
inline SparseComplexMatrix Matrix(int n, const std::map<std::pair<int, int>, std::complex<double>>& upper) {
    std::vector<std::map<int, std::complex<double>>> columns(static_cast<std::size_t>(n));
    for (const auto& [ij, v] : upper) columns[ij.second][ij.first] = columns[ij.first][ij.second] = v;
    SparseComplexMatrix m;
    m.n = n;
    m.columnStart.push_back(0);
    for (const auto& col : columns) {
        for (const auto& [i, v] : col) {
            m.rowIndex.push_back(i);
            m.re.push_back(v.real());
            m.im.push_back(v.imag());
        }
        m.columnStart.push_back(static_cast<int>(m.rowIndex.size()));
    }
    return m;
}

}  // namespace vantor::testing
