#pragma once
// The curves of the graph window built from a document: the lumped
// impedance of the current group ("Approx"), one field-solution curve per
// probe and the filter attenuation ("Filter"), over the graph's linear
// frequency axis (or its logarithmic one).

#include <string>
#include <vector>

#include "CGraphTrace.h"
#include "CVtrDoc.h"

namespace vantor {

class CLayer;
class CProbe;

inline constexpr const char* kApproxTrace = "Approx";
inline constexpr const char* kFilterTrace = "Filter";

/// steps + 1 frequencies from first to last, Hz, evenly spaced.
std::vector<double> GraphFrequencies(double first, double last, int steps);

/// steps + 1 frequencies evenly spaced on a logarithmic axis, ending at last.
/// They start at first, or at the linear grid's first step when first is 0,
/// so both grids span the same decades. Empty when last is not above that.
std::vector<double> LogGraphFrequencies(double first, double last, int steps);

/// The "Approx" trace of a group: |Z| of the lumped model, Ohm, valid
/// (flag 1) for f <= fo. A missing group, or one without capacitors, gives
/// 0 at every point, invalid.
CGraphTrace ApproxTrace(const CCGroup* group, const std::vector<double>& frequencies);

/// The trace of a probe: |Z| from the stored results at the probe, flag 1
/// where the interpolation over the stored frequencies is trusted (never
/// below the lowest or above the highest solved frequency).
CGraphTrace ProbeTrace(const CProbe& probe, const CLayer& plane, const std::vector<double>& frequencies);

/// The "Filter" trace: the attenuation of the chosen choke, dB, at each of
/// its data points from first to last, Hz. Empty without a chosen choke.
CGraphTrace FilterTrace(const CFilter& filter, double first, double last);

/// The traces the graph shows for the document, in the graph's order:
/// "Approx" when the current group holds a capacitor, one per probe when
/// results are stored, "Filter" when the filter has choke candidates.
/// On logarithmic axes the curves are sampled on the logarithmic grid, so
/// the low decades get as many points as the high ones.
std::vector<CGraphTrace> BuildGraphTraces(const CVtrDoc& doc, double first, double last, int steps,
                                          bool logarithmic = false);

/// The visible traces as CSV: "f_Hz" and one column "<name>_<unit>" per
/// trace, one row per frequency any of them has (empty where a trace has no
/// point there). Numbers are locale independent.
std::string GraphTracesCsv(const std::vector<CGraphTrace>& traces);

}  // namespace vantor
