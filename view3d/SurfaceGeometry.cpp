#include "SurfaceGeometry.h"

#include <algorithm>

namespace vantor::view3d {

using render::ChartColour;
using render::IsNoMetal;
using render::kHalfEdge;

SurfaceGeometry BuildSurface(const render::SurfaceDataSet& set, int type, const render::ColourBands& bands, float zmin,
                             float zmax) {
    SurfaceGeometry g;
    if (set.nx < 2 || set.ny < 2) return g;  // no cells: only the decorations
    const std::size_t n = static_cast<std::size_t>(set.nx) * set.ny;
    g.vertices.reserve(n * 3);
    g.colours.reserve(n * 3);
    std::vector<char> metal(n);
    // Every point once: its height and colour. A value in no band keeps the
    // colour of the point before, as the drawing colour does.
    ChartColour colour = bands.background;
    for (int j = 0; j < set.ny; ++j) {
        for (int i = 0; i < set.nx; ++i) {
            const std::size_t k = static_cast<std::size_t>(j) * set.nx + i;
            const float z = set.z[k];
            metal[k] = IsNoMetal(z) ? 0 : 1;
            const float h = metal[k] ? render::NormaliseZ(z, zmin, zmax) : kHalfEdge;
            if (metal[k]) render::SetColour(bands, h, colour);
            g.vertices.insert(g.vertices.end(), {set.x[i], set.y[j], type == 0 ? -kHalfEdge : h});
            g.colours.insert(g.colours.end(), {colour.r, colour.g, colour.b});
        }
    }
    auto at = [&](int i, int j) { return static_cast<std::uint32_t>(j * set.nx + i); };
    const std::size_t cells = static_cast<std::size_t>(set.nx - 1) * (set.ny - 1);
    if (type != 1) {
        g.triangles.reserve(cells * 6);
        for (int j = 0; j + 1 < set.ny; ++j) {
            for (int i = 0; i + 1 < set.nx; ++i) {
                const std::uint32_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
                if (!(metal[a] && metal[b] && metal[c] && metal[d])) continue;
                g.triangles.insert(g.triangles.end(), {a, b, c, a, c, d});
            }
        }
    }
    if (type != 0) {
        // Each edge once (the cells share them); darker over the solid so
        // the grid stays visible on it.
        const float shade = type == 2 ? 0.6f : 1.0f;
        g.edgeColours.reserve(g.colours.size());
        for (float c : g.colours) g.edgeColours.push_back(c * shade);
        g.lines.reserve(cells * 4);
        auto edge = [&](std::uint32_t p, std::uint32_t q) {
            if (metal[p] && metal[q]) g.lines.insert(g.lines.end(), {p, q});
        };
        for (int j = 0; j < set.ny; ++j) {
            for (int i = 0; i < set.nx; ++i) {
                if (i + 1 < set.nx) edge(at(i, j), at(i + 1, j));
                if (j + 1 < set.ny) edge(at(i, j), at(i, j + 1));
            }
        }
    }
    return g;
}

namespace {

// Cells along an axis of n points when every k-th point and the last are kept.
long KeptCells(int n, int k) { return n > 1 ? (n - 2) / k + 1 : 0; }

// The points kept along an axis of n points, and for every point the kept
// one nearest to it (ties to the lower), whose block it belongs to.
void KeepEvery(int n, int k, std::vector<int>& kept, std::vector<int>& owner) {
    kept.clear();
    for (int i = 0; i < n - 1; i += k) kept.push_back(i);
    if (n > 0) kept.push_back(n - 1);
    owner.assign(static_cast<std::size_t>(n), 0);
    std::size_t c = 0;
    for (int i = 0; i < n; ++i) {
        while (c + 1 < kept.size() && kept[c + 1] - i < i - kept[c]) ++c;
        owner[static_cast<std::size_t>(i)] = static_cast<int>(c);
    }
}

}  // namespace

int DecimationStep(int nx, int ny, long maxCells) {
    int k = 1;
    while (KeptCells(nx, k) * KeptCells(ny, k) > std::max(maxCells, 1L) && k < std::max(nx, ny)) ++k;
    return k;
}

render::SurfaceDataSet DecimateSurface(const render::SurfaceDataSet& set, int k) {
    if (k <= 1 || set.nx < 2 || set.ny < 2) return set;
    render::SurfaceDataSet d = set;
    std::vector<int> columns, rows, column, row;
    KeepEvery(set.nx, k, columns, column);
    KeepEvery(set.ny, k, rows, row);
    d.nx = static_cast<int>(columns.size());
    d.ny = static_cast<int>(rows.size());
    d.x.clear();
    d.y.clear();
    for (int i : columns) d.x.push_back(set.x[static_cast<std::size_t>(i)]);
    for (int j : rows) d.y.push_back(set.y[static_cast<std::size_t>(j)]);
    // Holes where the kept point has none; below every |Z| until pooled.
    const std::size_t n = static_cast<std::size_t>(d.nx) * d.ny;
    d.z.assign(n, 0.0f);
    for (int j = 0; j < d.ny; ++j)
        for (int i = 0; i < d.nx; ++i) {
            const float z = set.At(columns[static_cast<std::size_t>(i)], rows[static_cast<std::size_t>(j)]);
            if (IsNoMetal(z)) d.z[static_cast<std::size_t>(j) * d.nx + i] = z;
        }
    for (int j = 0; j < set.ny; ++j) {
        const std::size_t line = static_cast<std::size_t>(row[static_cast<std::size_t>(j)]) * d.nx;
        for (int i = 0; i < set.nx; ++i) {
            const float z = set.At(i, j);
            float& pooled = d.z[line + static_cast<std::size_t>(column[static_cast<std::size_t>(i)])];
            if (!IsNoMetal(z) && !IsNoMetal(pooled)) pooled = std::max(pooled, z);
        }
    }
    return d;
}

}  // namespace vantor::view3d
