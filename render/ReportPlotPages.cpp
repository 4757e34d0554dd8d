// The report's pages with pictures: the impedance curves, the maps and the
// filter's attenuation.

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include <QFontMetricsF>
#include <QPainter>

#include "CCGroup.h"
#include "CLayer.h"
#include "CVtrDoc.h"
#include "GraphPainter.h"
#include "LayerPainter.h"
#include "ReportPagePainters.h"
#include "TargetBandPainter.h"
#include "Values.h"

namespace vantor::render {

namespace {

// A plot of the report: the graph's own drawing across the room, as high
// as wide at most and leaving share of the room below it for text.
double DrawPlot(ReportCanvas& canvas, const QRectF& room, const GraphPicture& picture, double share) {
    const double height = std::min(room.width(), room.height() * (1.0 - share));
    RenderGraph(canvas.painter(), QRectF(room.left(), room.top(), room.width(), height), picture);
    return height;
}

// The worst point on a map: a ring with a cross and its values beside it.
void MarkWorst(QPainter& p, const QRectF& plane, const CLayer& layer, const WorstSpot& worst, const QFont& font,
               double unit) {
    const QPointF at(plane.left() + worst.x / layer.planeLength * plane.width(),
                     plane.top() + worst.y / layer.planeWidth * plane.height());
    const double r = 2.2 * unit;
    p.save();
    // The mark may reach past the plane's edge, into the gap below the title.
    p.setClipRect(plane.adjusted(-r * 1.7, -r * 1.7, r * 1.7, r * 1.7), Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    for (const auto& [colour, width] :
         {std::pair{QColor(Qt::white), 0.9 * unit}, std::pair{QColor(Qt::black), 0.4 * unit}}) {
        p.setPen(QPen(colour, width));
        p.drawEllipse(at, r, r);
        p.drawLine(at - QPointF(r * 1.6, 0), at + QPointF(r * 1.6, 0));
        p.drawLine(at - QPointF(0, r * 1.6), at + QPointF(0, r * 1.6));
    }
    const QString text = Q("max. |Z| " + FormatValue(worst.z, "Ohm") + " bei " + FormatValue(worst.frequency, "Hz"));
    const QFontMetricsF m(font, p.device());
    QRectF box(0, 0, m.horizontalAdvance(text) + unit * 2, m.height() + unit);
    // Right of the mark, or left of it where the plane ends.
    box.moveTopLeft(at + QPointF(r * 2, -box.height() / 2));
    if (box.right() > plane.right()) box.moveRight(at.x() - r * 2);
    box.moveTop(std::clamp(box.top(), plane.top(), plane.bottom() - box.height()));
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRect(box);
    p.setFont(font);
    p.drawText(box, Qt::AlignCenter, text);
    p.restore();
}

// The names of the groups and probes beside them, as a reviewer refers
// to them.
void NameObjects(QPainter& p, const QRectF& plane, const CLayer& layer, const QFont& font, double unit) {
    p.save();
    p.setClipRect(plane, Qt::IntersectClip);
    p.setFont(font);
    const QFontMetricsF m(font, p.device());
    std::vector<QRectF> placed;  // a name never covers another one
    auto name = [&](double x, double y, const std::string& text) {
        const QPointF at(plane.left() + x / layer.planeLength * plane.width(),
                         plane.top() + y / layer.planeWidth * plane.height());
        QRectF box(0, 0, m.horizontalAdvance(Q(text)) + unit, m.height());
        box.moveTopLeft(at + QPointF(3.5 * unit, 1.5 * unit));
        if (box.right() > plane.right()) box.moveRight(at.x() - 3.5 * unit);
        if (box.bottom() > plane.bottom()) box.moveBottom(at.y() - 1.5 * unit);
        for (bool moved = true; moved;) {
            moved = false;
            for (const QRectF& other : placed)
                if (other.intersects(box)) box.moveTop(other.bottom() + unit * 0.3), moved = true;
        }
        placed.push_back(box);
        p.fillRect(box, QColor(255, 255, 255, 190));
        p.setPen(Qt::black);
        p.drawText(box, Qt::AlignCenter, Q(text));
    };
    for (const auto& g : layer.capacitorGroups) name(g->posX, g->posY, g->name);
    for (const auto& probe : layer.probes) name(probe->x, probe->y, probe->name);
    p.restore();
}

// One map with its title above and its colour scale below; returns the
// height it took.
double DrawMap(ReportCanvas& canvas, const QRectF& room, const CLayer& layer, const ComplexMatrix& values,
               const QString& title, const WorstSpot& worst) {
    QPainter& p = canvas.painter();
    const QFont titleFont = canvas.font(10, true), small = canvas.font(8);
    const double titleHeight = canvas.paragraph(title, room, titleFont) + canvas.mm(5);
    const double legendHeight = canvas.mm(5);
    const QRectF area(room.left(), room.top() + titleHeight, room.width(),
                      room.height() - titleHeight - legendHeight - canvas.mm(2));
    QRectF plane = FitPlane(layer.planeLength, layer.planeWidth, area);
    plane.moveLeft(area.left() + (area.width() - plane.width()) / 2);
    const ImpedanceMap map = MakeImpedanceMap(values, layer.mesh.cellSize);
    LayerExtras extras;
    extras.map = &map;
    RenderLayer(p, layer, plane, extras);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plane);
    NameObjects(p, plane, layer, small, canvas.mm(1));
    if (worst.found) MarkWorst(p, plane, layer, worst, small, canvas.mm(1));
    const QRectF legend(plane.left(), plane.bottom() + canvas.mm(2), MapLegendWidth(map, legendHeight), legendHeight);
    RenderMapLegend(p, map, legend);
    return legend.bottom() - room.top();
}

}  // namespace

void RenderImpedancePage(ReportCanvas& canvas, const QRectF& room, const CVtrDoc& doc) {
    const CCGroup& group = BandGroup(doc);
    const TargetBand band = GroupTargetBand(group);
    const GraphPicture picture = MakeBandPicture(ReportImpedanceTraces(doc), true, band);
    double y = room.top() + DrawPlot(canvas, room, picture, 0.2) + canvas.mm(4);
    const QFont body = canvas.font(10);
    const auto say = [&](const std::string& text) {
        y += canvas.paragraph(Q(text), QRectF(room.left(), y, room.width(), room.bottom() - y), body) + canvas.mm(1.5);
    };
    const CAnalysisDomain& d = doc.analysisDomain();
    say("|Z| über dem analysierten Frequenzbereich " + FormatValue(d.startFrequency, "Hz") + " bis " +
        FormatValue(d.stopFrequency, "Hz") + ", beide Achsen logarithmisch.");
    if (band.HasTargets())
        say("Grün schattiert: das Zielband" + (group.name.empty() ? std::string() : " der Gruppe " + group.name) +
            " (Zmin und Zmax bis Fo = " + FormatValue(band.fo, "Hz") +
            "). Rot hinterlegt: Bereiche, in denen eine Sondenkurve über Zmax liegt; der Balken oben hat die "
            "Farbe der Kurve.");
    if (const CLayer* plane = doc.plane(); plane == nullptr || !plane->HasResults()) say(kNoResultsSentence);
}

void RenderMapPage(ReportCanvas& canvas, const QRectF& room, const CVtrDoc& doc) {
    const CLayer* layer = doc.plane();
    const ComplexMatrix* maximum = layer != nullptr ? layer->results.MaximumMap() : nullptr;
    if (maximum == nullptr) {
        canvas.paragraph(Q(kNoResultsSentence), room, canvas.font(10));
        return;
    }
    const WorstSpot worst = FindWorstSpot(*layer);
    const double gap = canvas.mm(6);
    const QRectF upper(room.left(), room.top(), room.width(), (room.height() - gap) / 2);
    DrawMap(canvas, upper, *layer, *maximum, QStringLiteral("Größtes |Z| über alle Frequenzen (\"Maximum\")"), worst);
    if (!worst.found) return;
    const QRectF lower(room.left(), upper.bottom() + gap, room.width(), upper.height());
    const ComplexMatrix& at = layer->results.resultMaps[static_cast<std::size_t>(worst.entry)];
    DrawMap(canvas, lower, *layer, at,
            Q("|Z| bei " + FormatValue(worst.frequency, "Hz") + ", der Frequenz des größten Werts"), worst);
}

void RenderFilterPage(ReportCanvas& canvas, const QRectF& room, const CVtrDoc& doc) {
    std::vector<ReportLine> lines = FilterLines(doc);
    const std::vector<CGraphTrace> traces = ReportFilterTraces(doc);
    if (traces.empty() || traces.front().points.empty()) {
        // A choke read from a design has no data points of its own.
        // Assigned, not brace-built: GCC 12 warns falsely (-Warray-bounds)
        // about the inlined copy of a long literal into a temporary line.
        ReportLine note;
        note.text =
            "Für die gewählte Drossel liegen keine Datenpunkte vor: sie fehlt im "
            "Bauteilordner, die Dämpfungskurve kann nicht gezeichnet werden.";
        lines.insert(lines.begin(), std::move(note));
        canvas.lines(lines, 0, room);
        return;
    }
    const double plot = DrawPlot(canvas, room, MakeGraphPicture(traces, false), 0.4);
    canvas.lines(lines, 0, QRectF(QPointF(room.left(), room.top() + plot + canvas.mm(5)), room.bottomRight()));
}

}  // namespace vantor::render
