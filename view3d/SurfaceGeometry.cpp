#include "SurfaceGeometry.h"

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
            if (metal[k]) render::SetColor(bands, h, colour);
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

}  // namespace vantor::view3d
