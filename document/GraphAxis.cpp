#include "GraphAxis.h"

#include <algorithm>
#include <cmath>

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
    bool first = true;
    for (const CGraphTrace& t : traces) {
        if (!t.visible) continue;
        for (const CTracePoint& p : t.points) {
            if (first) {
                l = {p.x, p.y, p.x, p.y};
                first = false;
                continue;
            }
            l.xMin = std::min(l.xMin, p.x);
            l.xMax = std::max(l.xMax, p.x);
            l.yMin = std::min(l.yMin, p.y);
            l.yMax = std::max(l.yMax, p.y);
        }
    }
    l.xMin = RoundAxisLimit(l.xMin, AxisEnd::XMin);
    l.xMax = RoundAxisLimit(l.xMax, AxisEnd::XMax);
    l.yMin = RoundAxisLimit(l.yMin, AxisEnd::YMin);
    l.yMax = RoundAxisLimit(l.yMax, AxisEnd::YMax);
    if (!yAuto) l.yMax = yMaximum;
    return l;
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
        constexpr double kTwoPi = 6.283185308;
        const double w = kTwoPi * x;
        const double c = 1.0 / (w * w * (board.ViaLoopInductance(1) + group->defaultPackage.lser));
        text += "C=" + FormatValue(c, "F");
    }
    return text;
}

}  // namespace vantor
