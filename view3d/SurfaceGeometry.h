#pragma once
// The vertex arrays of a data set's surface, built once per set and
// settings, not per frame: triangles of the flat and solid types, line
// segments of the grid (and of the edges over the solid type). Points
// without metal leave holes: no cell and no edge touches them.

#include <vector>

#include "SurfaceData.h"

namespace vantor::view3d {

struct SurfaceGeometry {
    std::vector<float> triangles, triangleColours;  // x, y, z and r, g, b per vertex
    std::vector<float> lines, lineColours;          // two vertices per segment
    int TriangleVertices() const { return static_cast<int>(triangles.size() / 3); }
    int LineVertices() const { return static_cast<int>(lines.size() / 3); }
};

/// The surface of set in the given type (0 flat, 1 grid, 2 solid) with
/// heights normalised over zmin..zmax (Ohm) and coloured by bands.
SurfaceGeometry BuildSurface(const render::SurfaceDataSet& set, int type, const render::ColourBands& bands, float zmin,
                             float zmax);

}  // namespace vantor::view3d
