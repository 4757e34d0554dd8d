#pragma once
// The flat colour map of a data set (the 3D view's flat type, seen from
// above) and its colour legend in Ohm, drawn with QPainter: for vantor-cli
// and over the 3D view's OpenGL picture.

#include <QColor>
#include <QRectF>
#include <QString>

#include "SurfaceData.h"

class QPainter;

namespace vantor::render {

QColor ToQColor(const ChartColour& c);

/// What the flat map shows.
struct SurfaceMapPicture {
    const SurfaceDataSet* set = nullptr;  // null: "No Data !"
    ColourBands bands;
    ChartColour border{1.0f, 1.0f, 1.0f};  // outline, texts
    float zmin = 0.0f, zmax = 0.0f;        // Ohm, the range the colours span
};

/// The colour bands as a column of swatches with their upper |Z| in Ohm,
/// highest at the top, inside box; text in the border colour.
void RenderChartLegend(QPainter& painter, const QRectF& box, const SurfaceMapPicture& picture);
/// The width the legend needs for text of the given pixel size.
double ChartLegendWidth(const SurfaceMapPicture& picture, int textPixels);

/// The whole picture into target: background, the map to scale with its
/// outline, its name and the legend.
void RenderSurfaceMap(QPainter& painter, const QRectF& target, const SurfaceMapPicture& picture);

/// Writes the picture width pixels wide (height from the plane's
/// proportions) as PNG, whole or not at all. False with the reason (German).
bool WriteSurfaceMap(const SurfaceMapPicture& picture, const QString& path, int width, QString& error);

/// "No Data !" centred in box.
void RenderNoData(QPainter& painter, const QRectF& box, const QColor& text);

}  // namespace vantor::render
