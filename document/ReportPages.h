#pragma once
// What the design report shows after its first page, as plain data: which
// pages the design has data for, their curves and their lines of text.
// The painter only lays them out.

#include <string>
#include <vector>

#include "CGraphTrace.h"
#include "TargetBand.h"

namespace vantor {

class CLayer;
class CVtrDoc;

enum class ReportPage { Impedance, Map, Analysis, Parts, Filter };

inline constexpr const char* kNoResultsSentence =
    "Für diesen Entwurf liegen noch keine Ergebnisse der Feldanalyse vor (\"Analyse !\").";

/// The page's heading: "Impedanzverlauf", "Impedanzkarte", "Analyse",
/// "Stückliste", "Filter".
const char* ReportPageHeading(ReportPage page);

/// The pages after the first, in order, as far as doc has data for them:
/// the curves when the current group holds a capacitor or results exist,
/// the map with results, the analysis always, the parts when a group is
/// placed or a choke chosen, the filter when a choke is chosen.
std::vector<ReportPage> ReportPagesOf(const CVtrDoc& doc);

/// Frequencies of the report's curves: logarithmic over the analysed band.
std::vector<double> ReportFrequencies(const CVtrDoc& doc);

/// "Approx" of the current group and one curve per probe from the stored
/// results, over ReportFrequencies.
std::vector<CGraphTrace> ReportImpedanceTraces(const CVtrDoc& doc);

/// The largest stored |Z| on the plane: where, at which frequency, and
/// which entry holds it.
struct WorstSpot {
    bool found = false;
    double x = 0.0, y = 0.0;  // m
    double z = 0.0;           // Ohm
    double frequency = 0.0;   // Hz
    int entry = 0;            // the frequency entry
    std::string label;        // its label
};
WorstSpot FindWorstSpot(const CLayer& plane);

/// A line of a text page; a heading starts a section.
struct ReportLine {
    std::string text;
    bool heading = false;
};

/// The "Analyse" page: parameters, grid, frequencies, solver, the first
/// plane resonance estimate, each probe's largest |Z|, and where the probe
/// curves leave the target band.
std::vector<ReportLine> AnalysisLines(const CVtrDoc& doc);

/// The "Filter" page's requirements and chosen choke.
std::vector<ReportLine> FilterLines(const CVtrDoc& doc);

/// The attenuation of the chosen choke over the filter band, dB, and the
/// required attenuation as a straight line across it.
std::vector<CGraphTrace> ReportFilterTraces(const CVtrDoc& doc);

}  // namespace vantor
