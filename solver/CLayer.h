#pragma once
// One plane of the board's Vcc/GND pair: the objects placed on it (capacitor
// groups, cut-outs, probes), its square mesh and sparse branch structure,
// and the stored solver results (one self-impedance map per frequency plus
// the "Maximum" map).

#include <complex>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CCutOut.h"
#include "CNode.h"
#include "CObject.h"
#include "CPort.h"
#include "CProbe.h"
#include "Matrix.h"
#include "PlaneStructure.h"
#include "SolverOptions.h"
#include "SolverTimingLog.h"

namespace vantor {

class CAnalysisDomain;
class CCGroup;
struct BoardStackup;
class Interaction;

/// Value of a result map where the grid point has no metal.
inline const std::complex<double> kNoMetal{1e12, 0.0};

class CLayer : public CObject {
public:
    /// A plane of the given extents, m (x along the board's length), with
    /// the two default probes.
    CLayer(const BoardStackup* board, double planeLength, double planeWidth, std::string name);
    ~CLayer();
    CLayer(const CLayer&) = delete;
    CLayer& operator=(const CLayer&) = delete;

    const char* ClassName() const override { return "CLayer"; }
    /// Record: version 2, cell size, extents, grid counts, ground flag, name,
    /// the five object lists, then the result maps (version 1 files hold no
    /// results). Reading replaces the layer's probes.
    void Serialize(CArchive& ar) override;

    /// Rebuilds the mesh for the highest frequency fTop, Hz, with cells of a
    /// tenth of the wavelength divided by resolution. False (mesh unchanged)
    /// when the cell size or the grid cannot be formed.
    bool BuildMesh(double fTop, double resolution);
    /// Cell edge BuildMesh would use, m (not finite for nonsense input).
    double CellSizeFor(double fTop, double resolution) const;

    /// 1 when (x, y), m, lies outside every cut-out that removes metal.
    int IsOnMetal(double x, double y) const;
    CNode* FindNearestNode(double x, double y) const;
    CPort* FindNearestNodePort(double x, double y) const;
    /// First probe within 1.5 mm of (x, y), m.
    CProbe* HitProbe(double x, double y) const;
    /// First cut-out covering (x, y), whatever its inactive flag.
    CCutOut* HitCutOut(double x, double y) const;

    bool HasResults() const { return !resultMaps.empty(); }

    /// Adds a copy of the group at the plane centre; returns the copy.
    CCGroup& AddGroupAtCentre(const CCGroup& group);
    CCGroup* FindGroupByName(const std::string& groupName) const;
    bool CutOutNameExists(const std::string& cutOutName) const;
    /// Deletes the first cut-out of that name; false when there is none.
    bool DeleteCutOutByName(const std::string& cutOutName);
    /// Position of the first probe of that name, m; x and y unchanged when
    /// there is none. Returns whether it was found.
    bool ProbePositionByName(const std::string& probeName, double& x, double& y) const;
    int GroupCount() const { return static_cast<int>(capacitorGroups.size()); }

    /// Solves the meshed plane at every analysis frequency and replaces the
    /// results. On failure or cancellation (after a message) the previous
    /// results stay.
    bool SolvePlane(const CAnalysisDomain& domain, Interaction& ui, const SolverOptions& options = {});
    /// Mesh for the stop frequency, then solve; on failure the previous mesh
    /// and results stay together.
    bool BuildMeshAndSolve(const CAnalysisDomain& domain, Interaction& ui, const SolverOptions& options = {});

    /// Self-impedance, Ohm, at the grid node nearest to (x, y), m, at f, Hz,
    /// interpolated over the stored frequencies; valid 0 when the estimate
    /// of the interpolation error is too large.
    std::complex<double> ImpedanceAt(double x, double y, double f, int& valid) const;

    /// Adds a group ("ResCap<n>") resonating at the frequency of the largest
    /// stored |Z| and places it there; null (after a message) when there is
    /// no such point. The caller solves again.
    CCGroup* KillMax(Interaction& ui);

    const SolverTimingLog& TimingLog() const { return timingLog_; }
    /// Largest memory UMFPACK needed for one factorisation of the last
    /// solve, bytes.
    double FactorBytes() const { return report_.factorBytes; }
    /// What the last solve did (method, threads, factor size, fallbacks).
    const SolveReport& LastSolve() const { return report_; }

    std::int32_t groundFlag = 0;
    std::string name;
    std::vector<std::unique_ptr<CCGroup>> capacitorGroups;
    double planeLength = 0.0;  // m, x extent
    double planeWidth = 0.0;   // m, y extent
    std::vector<std::unique_ptr<CCutOut>> cutOuts;
    double cellSize = 0.0;     // m
    std::vector<std::unique_ptr<CPort>> nodePorts;
    std::vector<std::unique_ptr<CNode>> gridNodes;
    std::vector<std::unique_ptr<CProbe>> probes;
    std::int32_t nx = 0;
    std::int32_t ny = 0;
    std::int32_t activeCount = 0;
    PlaneStructure structure;  // the four structure matrices, sparse
    IntMatrix nodeIndexMap;    // ny x nx, active-node number or 0
    std::vector<ComplexMatrix> resultMaps;
    std::vector<std::string> resultLabels;
    const BoardStackup* board = nullptr;  // the stack-up of the board that holds the plane
    std::int32_t gridPointCount = 0;

private:
    struct Mesh;
    Mesh TakeMesh();
    void RestoreMesh(Mesh&& mesh);

    SolverTimingLog timingLog_;
    SolveReport report_;
};

}  // namespace vantor
