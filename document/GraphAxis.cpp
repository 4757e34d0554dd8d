#include "GraphAxis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "BoardStackup.h"
#include "CCGroup.h"
#include "Values.h"

namespace vantor {

namespace {

// 10^e by repeated squaring, as the axis labels expect exact powers.
double PowerOfTen(int e) {
    double result = 1.0, base = 10.0;
    for (int n = std::abs(e); n > 0; n >>= 1, base *= base)
        if (n & 1) result *= base;
    return e < 0 ? 1.0 / result : result;
}

double UpToHalf(double m) {
    const double whole = std::floor(m);
    if (m == whole) return m;
    return m - whole <= 0.5 ? whole + 0.5 : std::ceil(m);
}

// Whether only trusted points (flag set) set the Y range: so while any
// visible trace has one. An extrapolated tail then cannot flatten the
// curves; it is clipped at the plot's edge instead.
bool TrustedOnly(const std::vector<CGraphTrace>& traces) {
    for (const CGraphTrace& t : traces)
        if (t.visible)
            for (const CTracePoint& p : t.points)
                if (p.flag != 0) return true;
    return false;
}

}  // namespace

double RoundAxisLimit(double v, AxisEnd end) {
    if (v == 0.0 || !std::isfinite(v)) return v;
    const bool negative = v < 0.0;
    double m = std::fabs(v);
    int e = 0;
    while (m >= 10.0) m /= 10.0, ++e;
    while (m < 1.0) m *= 10.0, --e;
    switch (end) {
        case AxisEnd::XMin: m = std::floor(m); break;
        case AxisEnd::XMax: m = UpToHalf(m); break;
        case AxisEnd::YMin: m = negative ? std::ceil(m) : std::floor(m); break;
        case AxisEnd::YMax: m = negative ? std::floor(m) : UpToHalf(m); break;
    }
    const double r = m * PowerOfTen(e);
    return negative ? -r : r;
}

AxisLimits GraphAxisLimits(const std::vector<CGraphTrace>& traces, bool yAuto, double yMaximum) {
    AxisLimits l;
    const bool trustedOnly = TrustedOnly(traces);
    bool firstX = true, firstY = true;
    for (const CGraphTrace& t : traces) {
        if (!t.visible) continue;
        for (const CTracePoint& p : t.points) {
            l.xMin = firstX ? p.x : std::min(l.xMin, p.x);
            l.xMax = firstX ? p.x : std::max(l.xMax, p.x);
            firstX = false;
            if (trustedOnly && p.flag == 0) continue;
            l.yMin = firstY ? p.y : std::min(l.yMin, p.y);
            l.yMax = firstY ? p.y : std::max(l.yMax, p.y);
            firstY = false;
        }
    }
    l.xMin = RoundAxisLimit(l.xMin, AxisEnd::XMin);
    l.xMax = RoundAxisLimit(l.xMax, AxisEnd::XMax);
    l.yMin = RoundAxisLimit(l.yMin, AxisEnd::YMin);
    l.yMax = RoundAxisLimit(l.yMax, AxisEnd::YMax);
    if (!yAuto) l.yMax = yMaximum;
    return l;
}

namespace {

// Whole decades around the positive values of one axis; false without one.
// Points a log X axis cannot show (0 Hz) do not count for the Y axis.
bool DecadeLimits(const std::vector<CGraphTrace>& traces, bool yAxis, bool logX, double& lowLimit, double& highLimit) {
    double low = std::numeric_limits<double>::infinity(), high = 0.0;
    const bool trustedOnly = yAxis && TrustedOnly(traces);
    for (const CGraphTrace& t : traces) {
        if (!t.visible) continue;
        for (const CTracePoint& p : t.points) {
            if (yAxis && ((logX && !(p.x > 0.0)) || (trustedOnly && p.flag == 0))) continue;
            const double v = yAxis ? p.y : p.x;
            if (v > 0.0 && std::isfinite(v)) low = std::min(low, v), high = std::max(high, v);
        }
    }
    if (high <= 0.0) return false;
    // The small allowance keeps an exact decade from rounding to the next.
    const int bottom = static_cast<int>(std::floor(std::log10(low) + 1e-9));
    int top = static_cast<int>(std::ceil(std::log10(high) - 1e-9));
    if (top <= bottom) top = bottom + 1;
    lowLimit = PowerOfTen(bottom);
    highLimit = PowerOfTen(top);
    return true;
}

}  // namespace

GraphScale ScaleGraph(const std::vector<CGraphTrace>& traces, bool logarithmic, bool yAuto, double yMaximum) {
    GraphScale s;
    s.limits = GraphAxisLimits(traces, yAuto, yMaximum);
    if (!logarithmic) return s;
    const auto first = std::find_if(traces.begin(), traces.end(), [](const CGraphTrace& t) { return t.visible != 0; });
    if (first == traces.end()) return s;
    s.logX = DecadeLimits(traces, false, false, s.limits.xMin, s.limits.xMax);
    if (first->yUnit != "dB") s.logY = DecadeLimits(traces, true, s.logX, s.limits.yMin, s.limits.yMax);
    if (s.logY && !yAuto && yMaximum > s.limits.yMin) s.limits.yMax = yMaximum;
    return s;
}

std::optional<std::string> CheckTraceUnits(const std::vector<CGraphTrace>& traces) {
    const CGraphTrace* reference = nullptr;
    for (const CGraphTrace& t : traces) {
        if (!t.visible) continue;
        if (reference == nullptr) {
            reference = &t;
        } else if (t.xUnit != reference->xUnit || t.yUnit != reference->yUnit) {
            return std::string(kMessageUnitsDiffer);
        }
    }
    return std::nullopt;
}

std::string MouseReadout(double x, double y, const AxisLimits& limits, const CCGroup* group,
                         const BoardStackup& board) {
    x = std::max(x, limits.xMin);
    y = std::max(y, limits.yMin);
    std::string text = FormatValue(x, "Hz") + ", " + FormatValue(y, " ");
    if (group != nullptr && x != 0.0) {
        const double w = kTwoPi * x;
        const double c = 1.0 / (w * w * (board.ViaLoopInductance(1) + group->defaultPackage.lser));
        text += "C=" + FormatValue(c, "F");
    }
    return text;
}

YAxisFields YAxisFields::From(bool yAuto, double yMaximum) { return {yAuto, FormatValue(yMaximum, "Ohm")}; }

FieldCheck YAxisFields::Check() const {
    if (automatic) return std::nullopt;
    if (FieldCheck e = CheckFiniteValue(maximum, YAxisField::Maximum, "Max")) return e;
    if (!(ParseValue(maximum) > 0.0))
        return FieldError{YAxisField::Maximum, "Max", "Geben Sie für Max einen Wert größer 0 ein."};
    return std::nullopt;
}

void YAxisFields::ApplyTo(bool& yAuto, double& yMaximum) const {
    yAuto = automatic;
    yMaximum = ParseValue(maximum);
}

}  // namespace vantor
