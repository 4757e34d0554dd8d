#pragma once
// The results of a plane solve: one self-impedance map per analysis
// frequency with its label, then the "Maximum" map, and the lookups on
// them (a point at a frequency, the worst point). Replaced whole by each
// solve; the figures of the solve that made them ride along.

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include "Matrix.h"
#include "SolverOptions.h"
#include "SolverTimingLog.h"

namespace vantor {

class CNode;

class CArchive;
class PlaneMesh;

/// Value of a result map where the grid point has no metal.
inline const std::complex<double> kNoMetal{1e12, 0.0};
/// Label of the last entry, the largest |Z| over all frequencies.
inline constexpr const char* kMaximumLabel = "Maximum";

/// Where the largest stored |Z| on metal lies.
struct WorstPoint {
    bool found = false;
    int entry = 0, row = 0, column = 0;
    double frequency = 0.0;  // Hz, parsed from the entry's label
};

class PlaneResults {
public:
    bool HasResults() const { return !resultMaps.empty(); }
    /// Entries that have both a map and a label.
    int EntryCount() const;
    /// The "Maximum" map, or null when there is none.
    const ComplexMatrix* MaximumMap() const;

    /// Self-impedance, Ohm, at the grid node of mesh nearest to (x, y), m,
    /// at f, Hz, interpolated over the stored frequencies; valid 0 when the
    /// estimate of the interpolation error is too large. A stored 0 Hz map
    /// answers only at 0 Hz; the interpolation leaves it out. Frequencies
    /// whose labels read alike give the nearest stored map, never NaN.
    std::complex<double> ImpedanceAt(const PlaneMesh& mesh, double x, double y, double f, int& valid) const;
    /// The same at a node already found (null: nothing, not valid); a curve
    /// searches the mesh once instead of once per frequency.
    std::complex<double> ImpedanceAt(const CNode* node, double f, int& valid) const;
    /// The metal point and entry of the largest stored |Z| (the first one
    /// on ties, entries and rows in order).
    WorstPoint FindWorstPoint() const;

    /// Record of the results: rows, columns, count, then label and values of
    /// each entry. Without maps the header names the mesh's size.
    void Write(CArchive& ar, std::int32_t meshRows, std::int32_t meshColumns) const;
    /// Reads a record written by Write; this is replaced only when all of
    /// it was read.
    void Read(CArchive& ar);

    std::vector<ComplexMatrix> resultMaps;
    std::vector<std::string> resultLabels;
    SolverTimingLog timingLog;  // stage timings of the solve that made them
    SolveReport report;         // what that solve did
};

}  // namespace vantor
