#pragma once
// The per-frequency quantities of the plane pair's grid network: one square
// cell of the lossy parallel-plate line and the two-port admittances of a
// branch section.

#include <complex>

#include "UmfpackLu.h"

namespace vantor {

struct BoardStackup;
class CLayer;
struct PlaneStructure;

struct CellQuantities {
    double capacitance = 0.0;        // F, plate capacitance of one cell
    double skinDepth = 0.0;          // m
    double surfaceResistance = 0.0;  // Ohm, both plates
    std::complex<double> metalImpedance;  // Ohm per square, finite thickness
    std::complex<double> seriesZ;    // Ohm per square: metal + j w mu0 d
    std::complex<double> shuntY;     // S per cell: (tan d + j) w C
};

/// Cell quantities at f, Hz, for cells of edge h, m, on the board's stack-up.
CellQuantities CellAt(double f, double h, const BoardStackup& board);

/// Self (ya) and transfer (yb) admittance, S, of a line section of series
/// impedance z and shunt admittance y / 2.
void BranchAdmittances(std::complex<double> z, std::complex<double> y, std::complex<double>& ya,
                       std::complex<double>& yb);

/// The pattern of the structure sum S in compressed-column form.
SparseComplexMatrix StructurePattern(const PlaneStructure& structure);

/// Writes the nodal admittance matrix of the meshed layer at f, Hz, into m
/// (pattern from StructurePattern): branch sections plus the admittance of
/// every group at its nearest port. False when a value is not finite.
bool AssemblePlaneMatrix(const CLayer& layer, double f, SparseComplexMatrix& m);

}  // namespace vantor
