#pragma once
// The impedance maps of a solve as the 3D view's data sets, and the colour
// banding that turns a normalised height into a colour. Plain C++: the 3D
// view's chart, its OpenGL drawing and the flat map picture of vantor-cli
// share these rules, so the flat map looks the same everywhere.

#include <array>
#include <string>
#include <vector>

namespace vantor {
class CLayer;
class PlaneResults;
}  // namespace vantor

namespace vantor::render {

/// Half edge of the drawing cube: every coordinate lies in [-R, R].
inline constexpr float kHalfEdge = 0.5f;

/// A colour with components in 0..1.
struct ChartColour {
    float r = 0.0f, g = 0.0f, b = 0.0f;
    bool operator==(const ChartColour&) const = default;
};
/// From bytes 0..255.
ChartColour ColourFromBytes(int r, int g, int b);

/// How heights are coloured.
struct ColourBands {
    ChartColour background{0.08f, 0.08f, 0.2f};  // clear colour, and values below the threshold
    ChartColour start{0.0f, 0.0f, 1.0f};         // gradient ends
    ChartColour end{1.0f, 0.0f, 0.0f};
    bool gradient = true;  // false: the custom table
    int divisions = 16;    // bands of the gradient
    int customCount = 6;   // bands of the custom table
    std::array<ChartColour, 20> custom{};
    float threshold = -1.0f;  // heights below it take the background
    ColourBands();
    bool operator==(const ColourBands&) const = default;
};

/// The colour of a height v in [-R, R]: the band it falls in, bands open
/// below and closed above. -R itself counts to the lowest band and heights
/// beyond the cube to the end bands, so a fixed Z range never leaves a
/// point without colour. With no bands (or a NaN) colour stays as it is.
void SetColour(const ColourBands& bands, float v, ChartColour& colour);

/// One map as a surface: x and y normalised into the cube, z in Ohm.
struct SurfaceDataSet {
    std::string name;  // the result's label
    int type = 0;
    int nx = 0, ny = 0;                 // columns, rows
    std::vector<float> x, y;            // nx and ny coordinates
    std::vector<float> z;               // |Z|, Ohm, row j (at y[j]) after row j-1
    double xRange = 0.0, yRange = 0.0;  // m: the plane's length and width
    float zmin = 0.0f, zmax = 0.0f;     // over the points with metal
    float py = 0.0f;                    // vertical pan of the flat modes
    float At(int i, int j) const { return z[static_cast<std::size_t>(j) * nx + i]; }
};

/// A point without metal (the solver's 1e12, as a float).
bool IsNoMetal(float z);

/// The data sets of a plane's results: the "Maximum" map first, then one
/// per entry in order (so the maximum is also the last). The map's rows go
/// in reverse, so its first row lies at the far (top) side. zmin/zmax
/// receive the range over all sets; empty without results.
std::vector<SurfaceDataSet> BuildDataSets(const PlaneResults& results, double planeLength, double planeWidth,
                                          float& zmin, float& zmax);
/// The same from the layer's results and size.
std::vector<SurfaceDataSet> BuildDataSets(const CLayer& layer, float& zmin, float& zmax);

/// Height of z in the cube for the range zmin..zmax: -R at zmin, R at zmax
/// (0 when the range is empty).
float NormaliseZ(float z, float zmin, float zmax);

}  // namespace vantor::render
