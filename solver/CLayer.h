#pragma once
// One plane of the board's Vcc/GND pair: the objects placed on it (capacitor
// groups, cut-outs, probes) and its record. Its mesh (PlaneMesh) and the
// stored solver results (PlaneResults) are values it holds; a solve
// (SolveJob) replaces both together.

#include <complex>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CCutOut.h"
#include "CObject.h"
#include "DeepConst.h"
#include "CProbe.h"
#include "PlaneMesh.h"
#include "PlaneResults.h"
#include "SolverOptions.h"

namespace vantor {

class CAnalysisDomain;
class CCGroup;
class CCircuitBoard;
struct BoardStackup;
class Interaction;

class CLayer : public CObject {
public:
    /// A plane of the given extents, m (x along the board's length), with
    /// the two default probes, on that board (none: a plane not yet placed
    /// on a board). The board must outlive the plane.
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
    /// tenth of the wavelength divided by resolution, and takes the board's
    /// extents. False (mesh unchanged) when the grid cannot be formed.
    bool BuildMesh(double fTop, double resolution);
    /// Cell edge BuildMesh would use, m (not finite for nonsense input).
    double CellSizeFor(double fTop, double resolution) const;

    /// 1 when (x, y), m, lies outside every cut-out that removes metal.
    int IsOnMetal(double x, double y) const { return vantor::IsOnMetal(cutOuts, x, y); }
    const CNode* FindNearestNode(double x, double y) const { return mesh.FindNearestNode(x, y); }
    const CPort* FindNearestNodePort(double x, double y) const { return mesh.FindNearestNodePort(x, y); }
    /// First probe within 1.5 mm of (x, y), m.
    const CProbe* HitProbe(double x, double y) const;
    /// First cut-out covering (x, y), whatever its inactive flag.
    const CCutOut* HitCutOut(double x, double y) const;

    bool HasResults() const { return results.HasResults(); }
    /// Self-impedance, Ohm, at the grid node nearest to (x, y), m, at f, Hz;
    /// see PlaneResults::ImpedanceAt.
    std::complex<double> ImpedanceAt(double x, double y, double f, int& valid) const {
        return results.ImpedanceAt(mesh, x, y, f, valid);
    }
    /// ImpedanceAt for each of the frequencies, with one search for the node.
    std::vector<std::complex<double>> ImpedanceCurve(double x, double y, const std::vector<double>& frequencies,
                                                     std::vector<int>& valid) const {
        const CNode* node = HasResults() ? mesh.FindNearestNode(x, y) : nullptr;
        std::vector<std::complex<double>> z(frequencies.size());
        valid.resize(frequencies.size());
        for (std::size_t i = 0; i < frequencies.size(); ++i) z[i] = results.ImpedanceAt(node, frequencies[i], valid[i]);
        return z;
    }

    /// The stack-up of the board that holds the plane; null when none.
    const BoardStackup* stackup() const { return board_; }

    /// Adds a copy of the group at the plane centre; returns the copy. The
    /// copy belongs to the plane's board, whatever board the original had.
    CCGroup& AddGroupAtCentre(const CCGroup& group);
    const CCGroup* FindGroupByName(const std::string& groupName) const;
    CCGroup* FindGroupByName(const std::string& groupName);
    /// The plane's own group at that address, to edit; null when it holds
    /// none there.
    CCGroup* OwnGroup(const CCGroup* group);
    /// Deletes that group (by address); false when the plane does not hold it.
    bool DeleteGroup(const CCGroup* group);
    bool CutOutNameExists(const std::string& cutOutName) const;
    /// Deletes the first cut-out of that name; false when there is none.
    bool DeleteCutOutByName(const std::string& cutOutName);
    /// Position of the first probe of that name, m; x and y unchanged when
    /// there is none. Returns whether it was found.
    bool ProbePositionByName(const std::string& probeName, double& x, double& y) const;
    int GroupCount() const { return static_cast<int>(capacitorGroups.size()); }

    /// Mesh for the stop frequency, then solve, as a SolveJob run to its
    /// end; on failure the previous mesh and results stay together.
    bool BuildMeshAndSolve(const CAnalysisDomain& domain, Interaction& ui, const SolverOptions& options = {});

    /// Adds a group ("ResCap<n>") resonating at the frequency of the largest
    /// stored |Z| and places it there; null (after a message) when there is
    /// no such point. The caller solves again.
    CCGroup* KillMax(Interaction& ui);

    const SolverTimingLog& TimingLog() const { return results.timingLog; }
    /// Largest memory one factorisation of the last solve needed, bytes.
    double FactorBytes() const { return results.report.factorBytes; }
    /// What the last solve did (method, threads, factor size, fallbacks).
    const SolveReport& LastSolve() const { return results.report; }

    std::int32_t groundFlag = 0;
    std::string name;
    OwnedList<CCGroup> capacitorGroups;
    double planeLength = 0.0;  // m, x extent
    double planeWidth = 0.0;   // m, y extent
    OwnedList<CCutOut> cutOuts;
    OwnedList<CProbe> probes;
    PlaneMesh mesh;
    PlaneResults results;

private:
    // The board that holds the plane links it, and with it every group it
    // holds, whenever the plane comes to it (construction, reading, taking
    // over the planes of another board).
    friend class CCircuitBoard;
    void LinkTo(const BoardStackup* stackup);

    const BoardStackup* board_ = nullptr;
};

}  // namespace vantor
