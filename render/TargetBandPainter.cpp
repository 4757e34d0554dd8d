#include "TargetBandPainter.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "GraphTraces.h"

namespace vantor::render {

namespace {

constexpr int kBandSamples = 200;

bool ShowsImpedance(const std::vector<CGraphTrace>& traces) {
    const auto first = std::find_if(traces.begin(), traces.end(), [](const CGraphTrace& t) { return t.visible != 0; });
    return first != traces.end() && first->yUnit == "Ohm";
}

// The band's frequencies from `from` to `to`, Hz, evenly on the axis.
std::vector<double> BandSamples(double from, double to, bool log) {
    std::vector<double> f;
    for (int i = 0; i <= kBandSamples; ++i) {
        const double t = double(i) / kBandSamples;
        f.push_back(log ? from * std::pow(to / from, t) : from + (to - from) * t);
    }
    return f;
}

}  // namespace

QColor BandFillColour() { return QColor(0, 150, 60, 48); }
QColor ExcursionColour() { return QColor(230, 0, 0, 30); }

GraphPicture MakeBandPicture(std::vector<CGraphTrace> traces, bool logarithmic, const TargetBand& band, bool yAuto,
                             double yMaximum) {
    GraphPicture picture = MakeGraphPicture(traces, logarithmic, yAuto, yMaximum);
    if (!band.HasTargets()) return picture;
    picture.band = band;
    if (!ShowsImpedance(traces)) return picture;
    // The lines at the curves' own frequencies up to fo take part in the
    // scaling, as an extra curve that is never drawn.
    CGraphTrace lines(std::string(), "Hz", "Ohm", std::string());
    for (const CGraphTrace& t : traces) {
        if (t.visible == 0) continue;
        for (const CTracePoint& p : t.points) {
            if (p.x > band.fo) continue;
            lines.points.emplace_back(p.x, band.Upper(p.x));
            if (band.Lower(p.x) > 0.0 || !logarithmic) lines.points.emplace_back(p.x, band.Lower(p.x));
        }
        break;
    }
    if (lines.points.empty()) return picture;
    traces.push_back(std::move(lines));
    picture.scale = ScaleGraph(traces, logarithmic, yAuto, yMaximum);
    return picture;
}

void DrawBandUnderCurves(QPainter& painter, const GraphMapping& mapping, const GraphPicture& picture) {
    if (!picture.band || !ShowsImpedance(picture.traces)) return;
    const TargetBand& band = *picture.band;
    const QRectF plot = mapping.plot();
    const AxisLimits& l = picture.scale.limits;
    const double xMin = l.xMin, xMax = l.xMax, yMin = l.yMin;
    const double to = std::min(xMax, band.fo);
    if (!(to > xMin) || !band.HasTargets()) return;

    painter.save();
    painter.setClipRect(plot, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double unit = std::max(1.0, plot.width() / 600.0);

    // Behind everything: where a probe's curve leaves the band, a red span
    // over the plot's height and a bar in the curve's colour at its top.
    int k = 0;
    for (const CGraphTrace& t : picture.traces) {
        if (t.visible == 0) continue;
        const QColor colour = ColourFromBgr(picture.colours[static_cast<std::size_t>(k++) % picture.colours.size()]);
        if (t.name == kApproxTrace) continue;
        for (const BandExcursion& e : BandExcursions(t, band)) {
            const double left = mapping.pageX(e.from), right = std::max(mapping.pageX(e.to), left + 2 * unit);
            painter.fillRect(QRectF(QPointF(left, plot.top()), QPointF(right, plot.bottom())), ExcursionColour());
            painter.fillRect(QRectF(QPointF(left, plot.top()), QPointF(right, plot.top() + 4 * unit)), colour);
        }
    }

    // The band: between the lines from the axis start to fo; a lower line
    // at or below 0 rests on the bottom of a log axis.
    const bool logX = picture.scale.logX;
    if (logX && !(xMin > 0.0)) {
        painter.restore();
        return;
    }
    const std::vector<double> f = BandSamples(xMin, to, logX);
    QPolygonF upper, lower;
    for (double x : f) {
        upper << QPointF(mapping.pageX(x), mapping.pageY(std::max(band.Upper(x), yMin)));
        lower << QPointF(mapping.pageX(x), mapping.pageY(std::max(band.Lower(x), yMin)));
    }
    QPolygonF area = upper;
    for (auto it = lower.rbegin(); it != lower.rend(); ++it) area << *it;
    painter.setPen(Qt::NoPen);
    painter.setBrush(BandFillColour());
    painter.drawPolygon(area);
    QPen edge(QColor(0, 120, 50), unit, Qt::DashLine);
    painter.setPen(edge);
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(upper);
    painter.drawPolyline(lower);
    // Closed where the band ends inside the plot.
    if (band.fo <= xMax)
        painter.drawLine(QPointF(mapping.pageX(to), upper.back().y()), QPointF(mapping.pageX(to), lower.back().y()));
    painter.restore();
}

}  // namespace vantor::render
