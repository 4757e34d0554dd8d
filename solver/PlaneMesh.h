#pragma once
// The square mesh of one plane: cell size, grid counts, the grid nodes and
// the node ports of the active (metal) points, the sparse structure of the
// branch network and the map from grid point to active-node number. A mesh
// is built whole from the plane's outline and cut-outs and never edited.

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "CCutOut.h"
#include "DeepConst.h"
#include "CNode.h"
#include "CPort.h"
#include "Matrix.h"
#include "PlaneStructure.h"

namespace vantor {

class PlaneMesh {
public:
    PlaneMesh() = default;
    PlaneMesh(PlaneMesh&&) = default;
    PlaneMesh& operator=(PlaneMesh&&) = default;
    PlaneMesh(const PlaneMesh&) = delete;
    PlaneMesh& operator=(const PlaneMesh&) = delete;

    /// Cell edge for the highest frequency fTop, Hz: a tenth of the
    /// wavelength in the dielectric divided by resolution, m (not finite for
    /// nonsense input).
    static double CellSizeFor(double epsilonR, double fTop, double resolution);
    /// Cell edge h, m, and grid points along x and y of the mesh Build
    /// would make; false when no grid can be formed (nonsense input, more
    /// points than an int32 counts).
    static bool GridFor(double length, double width, double epsilonR, double fTop, double resolution, double& h,
                        double& columns, double& rows);

    /// Meshes a plane of length x width, m, without the metal of the
    /// cut-outs, for fTop, Hz, at the given resolution. False (this mesh
    /// unchanged) when the cell size or the grid cannot be formed.
    bool Build(double length, double width, double epsilonR, const OwnedList<CCutOut>& cutOuts, double fTop,
               double resolution);
    void Clear() { *this = PlaneMesh(); }

    const CNode* FindNearestNode(double x, double y) const;
    const CPort* FindNearestNodePort(double x, double y) const;

    double cellSize = 0.0;  // m
    std::int32_t nx = 0;    // grid points along x
    std::int32_t ny = 0;    // grid points along y
    std::int32_t gridPointCount = 0;
    std::int32_t activeCount = 0;
    OwnedList<CNode> gridNodes;  // every grid point, row by row
    OwnedList<CPort> nodePorts;  // one per active node, in node order
    PlaneStructure structure;    // the four structure matrices, sparse
    IntMatrix nodeIndexMap;      // ny x nx, active-node number or 0
};

/// 1 when (x, y), m, lies outside every cut-out that removes metal.
int IsOnMetal(const OwnedList<CCutOut>& cutOuts, double x, double y);

}  // namespace vantor
