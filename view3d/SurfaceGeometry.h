#pragma once
// The vertex arrays of a data set's surface, built once per set and
// settings, not per frame: one vertex per grid point with its colour, and
// indices for the triangles of the flat and solid types and the line
// segments of the grid (and of the edges over the solid type). Points
// without metal leave holes: no cell and no edge touches them.

#include <cstdint>
#include <vector>

#include "SurfaceData.h"

namespace vantor::view3d {

struct SurfaceGeometry {
    std::vector<float> vertices, colours;  // x, y, z and r, g, b per grid point
    std::vector<float> edgeColours;        // the lines' colours (darker over the solid)
    std::vector<std::uint32_t> triangles;  // three indices per triangle
    std::vector<std::uint32_t> lines;      // two indices per segment
    int TriangleVertices() const { return static_cast<int>(triangles.size()); }
    int LineVertices() const { return static_cast<int>(lines.size()); }
};

/// The surface of set in the given type (0 flat, 1 grid, 2 solid) with
/// heights normalised over zmin..zmax (Ohm) and coloured by bands.
SurfaceGeometry BuildSurface(const render::SurfaceDataSet& set, int type, const render::ColourBands& bands, float zmin,
                             float zmax);

}  // namespace vantor::view3d
