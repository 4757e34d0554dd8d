#include "SurfaceData.h"

#include <algorithm>
#include <cmath>

#include "CLayer.h"
#include "PlaneResults.h"

namespace vantor::render {

ChartColour ColourFromBytes(int r, int g, int b) {
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f};
}

ColourBands::ColourBands() {
    // A rainbow from low (good) to high (bad) |Z|, then shades of grey.
    constexpr int kRainbow[][3] = {{0, 0, 255},   {0, 160, 255}, {0, 200, 120},
                                   {160, 220, 0}, {255, 160, 0}, {255, 0, 0}};
    for (std::size_t i = 0; i < custom.size(); ++i) {
        if (i < std::size(kRainbow)) {
            custom[i] = ColourFromBytes(kRainbow[i][0], kRainbow[i][1], kRainbow[i][2]);
        } else {
            const int grey = static_cast<int>(40 + 10 * i);
            custom[i] = ColourFromBytes(grey, grey, grey);
        }
    }
}

void SetColour(const ColourBands& bands, float v, ChartColour& colour) {
    if (std::isnan(v)) return;
    if (v < bands.threshold) {
        colour = bands.background;
        return;
    }
    const int n = bands.gradient ? bands.divisions
                                 : std::clamp(bands.customCount, 0, static_cast<int>(bands.custom.size()));
    if (n <= 0) return;
    const float R = kHalfEdge;
    int band = 0;
    if (v >= R) {
        band = n - 1;
    } else if (v > -R) {
        // Band i is (-R + 2iR/n, -R + 2(i+1)R/n]: found by the edges, not by
        // a division whose rounding would move values on an edge.
        while (band < n - 1 && !(v <= -R + 2.0f * static_cast<float>(band + 1) * R / static_cast<float>(n))) ++band;
    }
    if (!bands.gradient) {
        colour = bands.custom[static_cast<std::size_t>(band)];
        return;
    }
    const float t = n > 1 ? static_cast<float>(band) / static_cast<float>(n - 1) : 0.0f;
    colour = {bands.start.r + (bands.end.r - bands.start.r) * t, bands.start.g + (bands.end.g - bands.start.g) * t,
              bands.start.b + (bands.end.b - bands.start.b) * t};
}

bool IsNoMetal(float z) { return z == static_cast<float>(std::abs(kNoMetal)); }

float NormaliseZ(float z, float zmin, float zmax) {
    const float span = zmax - zmin;
    return span > 0.0f ? (z - zmin) / span - kHalfEdge : 0.0f;
}

namespace {

SurfaceDataSet MakeDataSet(const ComplexMatrix& map, const std::string& label, double length, double width) {
    SurfaceDataSet s;
    s.name = label;
    s.nx = map.Columns();
    s.ny = map.Rows();
    s.xRange = length;
    s.yRange = width;
    const float R = kHalfEdge;
    const float aspect = length > 0.0 ? static_cast<float>(width / length) : 1.0f;
    s.x.resize(static_cast<std::size_t>(s.nx));
    s.y.resize(static_cast<std::size_t>(s.ny));
    for (int i = 0; i < s.nx; ++i) s.x[i] = s.nx > 1 ? static_cast<float>(i) / static_cast<float>(s.nx - 1) - R : -R;
    for (int j = 0; j < s.ny; ++j)
        s.y[j] = s.ny > 1 ? static_cast<float>(j) * aspect / static_cast<float>(s.ny - 1) - R : -R;
    s.z.resize(static_cast<std::size_t>(s.nx) * s.ny);
    s.zmin = 1e30f;
    s.zmax = 0.0f;
    for (int j = 0; j < s.ny; ++j) {
        for (int i = 0; i < s.nx; ++i) {
            const float z = static_cast<float>(std::abs(map(s.ny - 1 - j, i)));
            s.z[static_cast<std::size_t>(j) * s.nx + i] = z;
            if (IsNoMetal(z)) continue;
            s.zmin = std::min(s.zmin, z);
            s.zmax = std::max(s.zmax, z);
        }
    }
    if (s.zmin > s.zmax) s.zmin = s.zmax = 0.0f;  // no metal anywhere
    s.py = -0.5f * (1.0f - aspect);
    return s;
}

}  // namespace

std::vector<SurfaceDataSet> BuildDataSets(const PlaneResults& results, double planeLength, double planeWidth,
                                          float& zmin, float& zmax) {
    std::vector<SurfaceDataSet> sets;
    zmin = 1e30f;
    zmax = 0.0f;
    const int entries = results.EntryCount();
    if (entries == 0) {
        zmin = 0.0f;
        return sets;
    }
    sets.reserve(static_cast<std::size_t>(entries) + 1);
    sets.push_back(
        MakeDataSet(results.resultMaps[entries - 1], results.resultLabels[entries - 1], planeLength, planeWidth));
    for (int e = 0; e < entries; ++e)
        sets.push_back(MakeDataSet(results.resultMaps[e], results.resultLabels[e], planeLength, planeWidth));
    for (const SurfaceDataSet& s : sets) {
        if (s.zmax <= 0.0f && s.zmin <= 0.0f) continue;
        zmin = std::min(zmin, s.zmin);
        zmax = std::max(zmax, s.zmax);
    }
    if (zmin > zmax) zmin = zmax;
    return sets;
}

std::vector<SurfaceDataSet> BuildDataSets(const CLayer& layer, float& zmin, float& zmax) {
    return BuildDataSets(layer.results, layer.planeLength, layer.planeWidth, zmin, zmax);
}

}  // namespace vantor::render
