#pragma once
// The layer editor's picture: the plane to scale with its cut-outs, groups
// and probes, optionally over the impedance map of the last solve, and the
// feedback of a drag in progress. The one drawing for the screen, the
// printer and the print preview. Plane coordinates in metres, origin at the
// top-left corner, y growing downwards.

#include <QImage>
#include <QPointF>
#include <QRectF>

#include "Matrix.h"

namespace vantor {
class CCGroup;
class CCutOut;
class CLayer;
class CProbe;
}  // namespace vantor

namespace vantor::render {

/// What a drag in progress shows; positions in metres. At most one object.
struct LayerDrag {
    const CProbe* probe = nullptr;    // drawn at pos instead of where it is
    const CCGroup* group = nullptr;   // a square follows at pos; the group stays until placed
    const CCutOut* cutOut = nullptr;  // drawn shifted by shift
    QPointF pos;
    QPointF shift;
    bool band = false;  // the rubber band of a new cut-out from bandFrom to bandTo
    QPointF bandFrom, bandTo;
};

/// The impedance map of a solve as an image: one pixel per grid point
/// (row j at y = j * cell, and a repeat of the last row and column),
/// points without metal transparent, |Z| on a logarithmic colour scale
/// between zMin and zMax (Ohm).
struct ImpedanceMap {
    QImage image;
    double cellSize = 0.0;  // m
    double zMin = 0.0, zMax = 0.0;
    bool outOfDate = false;  // objects moved since the solve
    bool valid() const { return !image.isNull(); }
};
ImpedanceMap MakeImpedanceMap(const ComplexMatrix& map, double cellSize);

/// Extras on top of the plane's objects.
struct LayerExtras {
    const ImpedanceMap* map = nullptr;
    LayerDrag drag;
};

/// The largest rectangle of the plane's proportions inside area, at its
/// top-left corner.
QRectF FitPlane(double planeLength, double planeWidth, const QRectF& area);

/// The map's colour scale in one line of box's height: the smallest |Z|, the
/// colours, the largest |Z| and whether the map is out of date.
void RenderMapLegend(QPainter& painter, const ImpedanceMap& map, const QRectF& box);
/// The width RenderMapLegend needs for a line of that height.
double MapLegendWidth(const ImpedanceMap& map, double height);

/// Draws layer so that its plane fills target (device units of the painter);
/// target should have the plane's proportions.
void RenderLayer(QPainter& painter, const CLayer& layer, const QRectF& target, const LayerExtras& extras = {});

}  // namespace vantor::render
