#include "SurfaceGeometry.h"

namespace vantor::view3d {

using render::ChartColour;
using render::IsNoMetal;
using render::kHalfEdge;

namespace {

struct Corner {
    float x, y, z;
    ChartColour c;
};

void Put(std::vector<float>& xyz, std::vector<float>& rgb, const Corner& p, float shade = 1.0f) {
    xyz.insert(xyz.end(), {p.x, p.y, p.z});
    rgb.insert(rgb.end(), {p.c.r * shade, p.c.g * shade, p.c.b * shade});
}

}  // namespace

SurfaceGeometry BuildSurface(const render::SurfaceDataSet& set, int type, const render::ColourBands& bands, float zmin,
                             float zmax) {
    SurfaceGeometry g;
    if (set.nx < 2 || set.ny < 2) return g;  // no cells: only the decorations
    // Every point once: its height and colour. A value in no band keeps the
    // colour of the point before, as the drawing colour does.
    std::vector<Corner> points(static_cast<std::size_t>(set.nx) * set.ny);
    std::vector<char> metal(points.size());
    ChartColour colour = bands.background;
    for (int j = 0; j < set.ny; ++j) {
        for (int i = 0; i < set.nx; ++i) {
            const std::size_t k = static_cast<std::size_t>(j) * set.nx + i;
            const float z = set.z[k];
            metal[k] = IsNoMetal(z) ? 0 : 1;
            const float h = metal[k] ? render::NormaliseZ(z, zmin, zmax) : kHalfEdge;
            if (metal[k]) render::SetColor(bands, h, colour);
            points[k] = {set.x[i], set.y[j], type == 0 ? -kHalfEdge : h, colour};
        }
    }
    auto at = [&](int i, int j) { return static_cast<std::size_t>(j) * set.nx + i; };
    const std::size_t cells = static_cast<std::size_t>(set.nx - 1) * (set.ny - 1);
    if (type != 1) {
        g.triangles.reserve(cells * 18);
        g.triangleColours.reserve(cells * 18);
        for (int j = 0; j + 1 < set.ny; ++j) {
            for (int i = 0; i + 1 < set.nx; ++i) {
                const std::size_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
                if (!(metal[a] && metal[b] && metal[c] && metal[d])) continue;
                for (std::size_t k : {a, b, c, a, c, d}) Put(g.triangles, g.triangleColours, points[k]);
            }
        }
    }
    if (type != 0) {
        // Each edge once (the cells share them); darker over the solid so
        // the grid stays visible on it.
        const float shade = type == 2 ? 0.6f : 1.0f;
        g.lines.reserve(cells * 12);
        g.lineColours.reserve(cells * 12);
        auto edge = [&](std::size_t p, std::size_t q) {
            if (!metal[p] || !metal[q]) return;
            Put(g.lines, g.lineColours, points[p], shade);
            Put(g.lines, g.lineColours, points[q], shade);
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
