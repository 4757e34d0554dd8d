#pragma once
// Draws the graph of the graph window with Qt's painter: the one drawing of
// the curves, for the screen, the printer, the print preview and exported
// pictures.

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include <QColor>
#include <QRectF>
#include <QSize>
#include <QString>

#include "CGraphTrace.h"
#include "GraphAxis.h"
#include "TargetBand.h"

class QPainter;

namespace vantor::render {

/// The curve colours of the first to fourth visible curve, 0x00BBGGRR:
/// blue, dark green (0,100,50), red, green (0,150,0).
inline constexpr std::array<std::uint32_t, 4> kCurveColours{0x00FF0000, 0x00326400, 0x000000FF, 0x00009600};

/// A colour written as 0x00BBGGRR.
QColor ColourFromBgr(std::uint32_t bgr);

/// The line of the k-th visible curve (from 0): the first four solid, then
/// the colours again dashed (then dotted ...), so no two of the first
/// sixteen curves look alike.
Qt::PenStyle CurveLineStyle(std::size_t k);

/// Everything one drawing of the graph shows.
struct GraphPicture {
    std::vector<CGraphTrace> traces;  // drawn when visible, in this order
    GraphScale scale;
    std::array<std::uint32_t, 4> colours = kCurveColours;  // 0x00BBGGRR
    QString note;                                          // written over the plot while not empty
    QString readout;                                       // the mouse read-out, screen only
    std::optional<TargetBand> band;                        // shaded under impedance curves
};

/// The traces with their visible flags as given, scaled and with the note
/// on different units: what the window and vantor-cli plot both draw.
GraphPicture MakeGraphPicture(std::vector<CGraphTrace> traces, bool logarithmic, bool yAuto = true,
                              double yMaximum = 2.0);

/// Between values and points of the page: linear or by decades per axis.
class GraphMapping {
public:
    GraphMapping() = default;
    GraphMapping(const QRectF& plot, const GraphScale& scale);

    const QRectF& plot() const { return plot_; }
    /// The page point of a value pair; false when a log axis cannot show it.
    bool toPage(double x, double y, QPointF& point) const;
    /// The values at a page point.
    std::pair<double, double> toValues(const QPointF& point) const;
    /// Page position of x along the X axis / y along the Y axis.
    double pageX(double x) const;
    double pageY(double y) const;

private:
    QRectF plot_;
    GraphScale scale_;
};

/// Draws the picture into page (device units of the painter); returns where
/// the plot went, for the read-out under the mouse.
GraphMapping RenderGraph(QPainter& painter, const QRectF& page, const GraphPicture& picture);

/// The largest rectangle of width : height = 1.33 centred in printable:
/// the graph's printed page.
QRectF FitGraphPage(const QRectF& printable);

/// Writes the picture as PNG, SVG or PDF (by the file's suffix) of the given
/// size in pixels (PDF: a landscape A4 page), saved as a design is
/// (temporary file, rename). False with the reason in error.
bool WriteGraphPicture(const GraphPicture& picture, const QString& path, QSize size, QString& error);

}  // namespace vantor::render
