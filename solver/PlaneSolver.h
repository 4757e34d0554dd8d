#pragma once
// The per-frequency quantities of the plane pair's grid network (one square
// cell of the lossy parallel-plate line, the two-port admittances of a
// branch section), the assembly of the nodal admittance system and the
// sweep that solves it at every analysis frequency.

#include <complex>
#include <memory>
#include <string>
#include <vector>

#include "DeepConst.h"
#include "Interaction.h"
#include "SolverOptions.h"
#include "UmfpackLu.h"

namespace vantor {

struct BoardStackup;
class CAnalysisDomain;
class CCGroup;
class CLayer;
class PlaneMesh;
class PlaneResults;
struct PlaneStructure;

struct CellQuantities {
    double capacitance = 0.0;             // F, plate capacitance of one cell
    double skinDepth = 0.0;               // m
    double surfaceResistance = 0.0;       // Ohm, both plates
    std::complex<double> metalImpedance;  // Ohm per square, finite thickness
    std::complex<double> seriesZ;         // Ohm per square: metal + j w mu0 d
    std::complex<double> shuntY;          // S per cell: (tan d + j) w C
};

/// Cell quantities at f, Hz, for cells of edge h, m, on the board's stack-up.
CellQuantities CellAt(double f, double h, const BoardStackup& board);

/// Self (ya) and transfer (yb) admittance, S, of a line section of series
/// impedance z and shunt admittance y / 2.
void BranchAdmittances(std::complex<double> z, std::complex<double> y, std::complex<double>& ya,
                       std::complex<double>& yb);

/// The pattern of the structure sum S in compressed-column form.
SparseComplexMatrix StructurePattern(const PlaneStructure& structure);

/// What the assembly and the sweep read: a mesh, the stack-up and the
/// groups placed on the plane.
struct PlaneSystem {
    const PlaneMesh& mesh;
    const BoardStackup& stackup;
    const OwnedList<CCGroup>& groups;
};

/// Writes the nodal admittance matrix at f, Hz, into m (pattern from
/// StructurePattern): branch sections plus the admittance of every group at
/// its nearest port. False when a value is not finite.
bool AssemblePlaneMatrix(const PlaneSystem& system, double f, SparseComplexMatrix& m);
/// The same for a meshed layer on its board.
bool AssemblePlaneMatrix(const CLayer& layer, double f, SparseComplexMatrix& m);

/// A message a solve leaves for the person, shown by the thread that owns
/// the document.
struct SolveMessage {
    std::string text;
    MessageKind kind = MessageKind::Information;
};

/// "FEM-Solver: <reason>" and that the previous results stay.
std::string SolverFailureText(const std::string& reason);
/// The reason a solve gives when memory does not suffice.
inline constexpr const char* kNotEnoughMemory = "Nicht genügend Speicher.";

/// Solves the system at every frequency of domain and fills results (maps,
/// labels, timings, report) when every frequency was solved. A frequency of
/// 0 gets a map of 1e12 everywhere (an open plane pair has no DC path) and
/// one notice. A failure or cancel leaves a message and results untouched.
/// progress is called only from the calling thread; its cancel request is
/// polled before each frequency. Throws nothing: a failed allocation is the
/// memory failure.
bool SolveSweep(const PlaneSystem& system, const CAnalysisDomain& domain, const SolverOptions& options,
                ProgressReporter& progress, PlaneResults& results, std::vector<SolveMessage>& messages);

}  // namespace vantor
