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

/// The smallest step k >= 1 for which every k-th column and row of an nx x
/// ny grid, with the last ones kept too, leaves at most maxCells cells.
int DecimationStep(int nx, int ny, long maxCells);

/// A coarser set to draw while the chart moves: every k-th column and row
/// and the last ones, so the plane keeps its outer edges. Each kept point
/// takes the largest |Z| of the points nearest to it (about k x k), so no
/// peak vanishes or sinks while the chart turns; a kept point without metal
/// stays a hole. zmin and zmax stay the set's, so colours keep their scale.
render::SurfaceDataSet DecimateSurface(const render::SurfaceDataSet& set, int k);

}  // namespace vantor::view3d
