#pragma once
// The pages of the design report after the first, one function per kind;
// each draws into the room its canvas left below the heading.

#include <QRectF>

#include "ReportCanvas.h"

namespace vantor {
class CVtrDoc;
}

namespace vantor::render {

/// "Impedanzverlauf": |Z| over the analysed band on log axes with the band.
void RenderImpedancePage(ReportCanvas& canvas, const QRectF& room, const CVtrDoc& doc);
/// "Impedanzkarte": the "Maximum" map and the map at the worst frequency.
void RenderMapPage(ReportCanvas& canvas, const QRectF& room, const CVtrDoc& doc);
/// "Stückliste": capacitors per group and in total, and the choke.
void RenderPartsPage(ReportCanvas& canvas, const QRectF& room, const CVtrDoc& doc);
/// "Filter": the requirements and the attenuation over the filter band.
void RenderFilterPage(ReportCanvas& canvas, const QRectF& room, const CVtrDoc& doc);

}  // namespace vantor::render
