#include "LayerPainter.h"

#include <algorithm>
#include <cmath>

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>

#include "CCGroup.h"
#include "CLayer.h"
#include "PlaneResults.h"
#include "Values.h"

namespace vantor::render {

namespace {

const QColor kPlane(250, 125, 64);
const QColor kCutOut(50, 100, 0);
const QColor kGroup(0, 0, 255);
const QColor kProbe(255, 225, 0);
const QColor kBand(100, 100, 100);

constexpr double kGroupEdge = 5e-3;     // m
constexpr double kProbeDot = 1e-3;      // m, diameter
constexpr double kProbeRing = 3e-3;     // m, diameter
constexpr double kNoMetalAbove = 1e11;  // |Z| of a point without metal, Ohm

// The map's colours from low |Z| (good) to high (bad); the groups' blue and
// the probes' yellow stay readable on all of them.
constexpr QRgb kRamp[] = {qRgb(225, 240, 230), qRgb(245, 165, 80), qRgb(150, 0, 60)};

QRgb RampColour(double t) {
    t = std::clamp(t, 0.0, 1.0) * 2.0;
    const int i = std::min(1, static_cast<int>(t));
    const double f = t - i;
    auto mix = [&](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
    return qRgb(mix(qRed(kRamp[i]), qRed(kRamp[i + 1])), mix(qGreen(kRamp[i]), qGreen(kRamp[i + 1])),
                mix(qBlue(kRamp[i]), qBlue(kRamp[i + 1])));
}

// Maps plane metres into the target rectangle.
struct PlaneMapping {
    QRectF target;
    double sx, sy;  // device units per metre
    QPointF operator()(double x, double y) const { return {target.left() + x * sx, target.top() + y * sy}; }
    QRectF rect(double x1, double y1, double x2, double y2) const {
        return QRectF((*this)(x1, y1), (*this)(x2, y2)).normalized();
    }
    QRectF centred(QPointF c, double edge) const {
        return rect(c.x() - edge / 2, c.y() - edge / 2, c.x() + edge / 2, c.y() + edge / 2);
    }
};

QPen ObjectPen(const QColor& colour, double width) {
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void DrawProbe(QPainter& p, const PlaneMapping& m, QPointF at, double pen) {
    p.setPen(ObjectPen(kProbe, pen));
    p.setBrush(kProbe);
    p.drawEllipse(m.centred(at, kProbeDot));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(m.centred(at, kProbeRing));
}

void DrawMap(QPainter& p, const PlaneMapping& m, const ImpedanceMap& map) {
    p.save();
    p.setClipRect(m.target, Qt::IntersectClip);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (map.outOfDate) p.setOpacity(0.35);
    // Each pixel is the cell around its grid point; the image's last row and
    // column repeat so that the plane beyond the last grid point is covered.
    const double h = map.cellSize;
    p.drawImage(m.rect(-h / 2, -h / 2, (map.image.width() - 0.5) * h, (map.image.height() - 0.5) * h), map.image);
    p.restore();
}

}  // namespace

ImpedanceMap MakeImpedanceMap(const ComplexMatrix& values, double cellSize) {
    ImpedanceMap map;
    map.cellSize = cellSize;
    if (values.Empty() || !(cellSize > 0.0)) return map;
    double lo = HUGE_VAL, hi = 0.0;
    for (int r = 0; r < values.Rows(); ++r)
        for (int c = 0; c < values.Columns(); ++c)
            if (const double z = std::abs(values(r, c)); z < kNoMetalAbove && z > 0.0) {
                lo = std::min(lo, z);
                hi = std::max(hi, z);
            }
    if (!(hi > 0.0)) return map;
    map.zMin = lo;
    map.zMax = hi;
    const double span = std::log(hi / lo);
    const int rows = values.Rows(), columns = values.Columns();
    map.image = QImage(columns + 1, rows + 1, QImage::Format_ARGB32);
    for (int r = 0; r <= rows; ++r) {
        auto* line = reinterpret_cast<QRgb*>(map.image.scanLine(r));
        for (int c = 0; c <= columns; ++c) {
            const double z = std::abs(values(std::min(r, rows - 1), std::min(c, columns - 1)));
            if (!(z < kNoMetalAbove && z > 0.0))
                line[c] = qRgba(0, 0, 0, 0);
            else
                line[c] = RampColour(span > 0.0 ? std::log(z / lo) / span : 0.0);
        }
    }
    return map;
}

QRectF FitPlane(double planeLength, double planeWidth, const QRectF& area) {
    if (!(planeLength > 0.0 && planeWidth > 0.0)) return QRectF(area.topLeft(), QSizeF(0, 0));
    const double s = std::min(area.width() / planeLength, area.height() / planeWidth);
    return QRectF(area.topLeft(), QSizeF(planeLength * s, planeWidth * s));
}

namespace {

// The legend's pieces for a line of the given height.
struct Legend {
    Legend(const ImpedanceMap& map, double height)
        : font(QStringLiteral("Arial")),
          low(QString::fromStdString(FormatValue(map.zMin, "Ohm", 1))),
          high(QString::fromStdString(FormatValue(map.zMax, "Ohm", 1))),
          gap(height * 0.3),
          bar(height * 5) {
        font.setPixelSize(std::max(1, static_cast<int>(height * 0.7)));
        if (map.outOfDate) high += QStringLiteral("  (veraltet)");
    }
    double Width() const {
        const QFontMetricsF fm(font);
        return fm.horizontalAdvance(low) + gap + bar + gap + fm.horizontalAdvance(high);
    }
    QFont font;
    QString low, high;
    double gap, bar;
};

}  // namespace

double MapLegendWidth(const ImpedanceMap& map, double height) {
    return map.valid() ? Legend(map, height).Width() : 0.0;
}

void RenderMapLegend(QPainter& p, const ImpedanceMap& map, const QRectF& box) {
    if (!map.valid() || box.isEmpty()) return;
    const Legend legend(map, box.height());
    p.save();
    p.setFont(legend.font);
    const QFontMetricsF fm(legend.font);
    const double baseline = box.top() + (box.height() + fm.ascent() - fm.descent()) / 2;
    p.setPen(Qt::black);
    double x = box.left();
    p.drawText(QPointF(x, baseline), legend.low);
    x += fm.horizontalAdvance(legend.low) + legend.gap;
    QLinearGradient g(x, 0, x + legend.bar, 0);
    for (int i = 0; i <= 8; ++i) g.setColorAt(i / 8.0, QColor::fromRgb(RampColour(i / 8.0)));
    p.fillRect(QRectF(x, box.top() + box.height() * 0.2, legend.bar, box.height() * 0.6), g);
    x += legend.bar + legend.gap;
    p.drawText(QPointF(x, baseline), legend.high);
    p.restore();
}

void RenderLayer(QPainter& p, const CLayer& layer, const QRectF& target, const LayerExtras& extras) {
    if (!(layer.planeLength > 0.0 && layer.planeWidth > 0.0)) return;
    const PlaneMapping m{target, target.width() / layer.planeLength, target.height() / layer.planeWidth};
    // One screen pixel at 96 dpi, in device units: pens stay as thick on paper.
    const double unit = p.device() != nullptr ? std::max(1.0, p.device()->logicalDpiX() / 96.0) : 1.0;
    const double pen = 2 * unit;
    const LayerDrag& drag = extras.drag;

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(ObjectPen(kPlane, pen));
    p.setBrush(kPlane);
    p.drawRect(target);

    if (extras.map != nullptr && extras.map->valid()) DrawMap(p, m, *extras.map);

    p.setPen(ObjectPen(kCutOut, pen));
    p.setBrush(kCutOut);
    for (const auto& c : layer.cutOuts) {
        if (c->inactive != 0) continue;
        QRectF r = m.rect(c->x1, c->y1, c->x2, c->y2);
        if (c.get() == drag.cutOut) r.translate(drag.shift.x() * m.sx, drag.shift.y() * m.sy);
        p.drawRect(r);
    }
    // A dragged cut-out the mesh ignores is shown only while it moves.
    if (drag.cutOut != nullptr && drag.cutOut->inactive != 0) {
        p.setBrush(Qt::NoBrush);
        const CCutOut& c = *drag.cutOut;
        p.drawRect(m.rect(c.x1, c.y1, c.x2, c.y2).translated(drag.shift.x() * m.sx, drag.shift.y() * m.sy));
    }

    p.setPen(ObjectPen(kGroup, pen));
    p.setBrush(kGroup);
    for (const auto& g : layer.capacitorGroups) p.drawRect(m.centred(QPointF(g->posX, g->posY), kGroupEdge));
    if (drag.group != nullptr) {
        p.setBrush(QColor(kGroup.red(), kGroup.green(), kGroup.blue(), 110));
        p.drawRect(m.centred(drag.pos, kGroupEdge));
    }

    for (const auto& pr : layer.probes) DrawProbe(p, m, pr.get() == drag.probe ? drag.pos : QPointF(pr->x, pr->y), pen);

    if (drag.band) {
        p.setPen(ObjectPen(kBand, pen));
        p.setBrush(QColor(128, 128, 128, 90));
        p.drawRect(m.rect(drag.bandFrom.x(), drag.bandFrom.y(), drag.bandTo.x(), drag.bandTo.y()));
    }
    p.restore();
}

}  // namespace vantor::render
