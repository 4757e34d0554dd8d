#pragma once
// The axes of the graph window: limits over the visible curves rounded to
// readable values, the check that the visible curves share their units, and
// the read-out under the mouse.

#include <optional>
#include <string>
#include <vector>

#include "CGraphTrace.h"
#include "FieldCheck.h"

namespace vantor {

class CCGroup;
struct BoardStackup;

inline constexpr const char* kMessageUnitsDiffer =
    "Die selektierten Kurven müssen die selben X- und Y-Einheiten haben!\n";

struct AxisLimits {
    double xMin = 0.0, yMin = 0.0, xMax = 0.0, yMax = 0.0;
};

enum class AxisEnd { XMin, XMax, YMin, YMax };

/// One limit rounded to m * 10^e: a minimum down to a whole m, a maximum up
/// to the next half unit; a negative Y limit rounds its magnitude the other
/// way. 0 stays 0.
double RoundAxisLimit(double v, AxisEnd end);

/// Rounded limits over the points of the visible traces (all 0 without
/// one): X over every point, Y over the trusted ones (flag set) while
/// there is one; with yAuto false the top of the Y axis is yMaximum.
AxisLimits GraphAxisLimits(const std::vector<CGraphTrace>& traces, bool yAuto = true, double yMaximum = 2.0);

/// The axes the graph draws: the limits and whether each axis is
/// logarithmic.
struct GraphScale {
    AxisLimits limits;
    bool logX = false;
    bool logY = false;
};

/// The axes over the visible traces. Linear: GraphAxisLimits. Logarithmic:
/// whole decades around the positive values (Y: the trusted ones, as above); the Y axis stays linear for
/// curves in dB (already a logarithm) and either axis stays linear when it
/// has no positive value. With yAuto false the top is yMaximum (on a log
/// axis only when it lies above the bottom).
GraphScale ScaleGraph(const std::vector<CGraphTrace>& traces, bool logarithmic, bool yAuto = true,
                      double yMaximum = 2.0);

/// kMessageUnitsDiffer when a visible trace's X or Y unit differs from the
/// first visible trace's; nothing otherwise.
std::optional<std::string> CheckTraceUnits(const std::vector<CGraphTrace>& traces);

/// The read-out for the point (x Hz, y) of the plot, each held at its axis
/// minimum: "x, y", followed by "C=" and the capacitance that resonates at
/// x with the board's via loop (one capacitor) and the group's default
/// package, when a group is given and x is not 0.
std::string MouseReadout(double x, double y, const AxisLimits& limits, const CCGroup* group, const BoardStackup& board);

/// The fields of the Y-axis dialog.
enum class YAxisField { Automatic, Maximum };

/// The Y-axis dialog ("Y-Achse: Max") as texts.
struct YAxisFields {
    bool automatic = true;  // "Auto": the top follows the curves
    std::string maximum;    // the top of the axis, e.g. "2Ohm"

    static YAxisFields From(bool yAuto, double yMaximum);
    /// With "Auto" off the top must be a finite value above 0.
    FieldCheck Check() const;
    /// After a passed Check: the flag and ParseValue(maximum).
    void ApplyTo(bool& yAuto, double& yMaximum) const;
};

}  // namespace vantor
