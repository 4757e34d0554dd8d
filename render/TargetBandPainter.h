#pragma once
// The target band on an impedance plot: the limit lines of a group shaded
// up to fo, and the frequency ranges in which a probe's curve leaves it.

#include <vector>

#include "GraphPainter.h"
#include "TargetBand.h"

class QPainter;

namespace vantor::render {

/// MakeGraphPicture with the band: the Y axis also spans the band where it
/// lies within the curves' frequencies, so it is never off the plot.
GraphPicture MakeBandPicture(std::vector<CGraphTrace> traces, bool logarithmic, const TargetBand& band,
                             bool yAuto = true, double yMaximum = 2.0);

/// Under the curves: the picture's band (while the visible curves are
/// impedances) and behind it the ranges where a probe's curve leaves it.
void DrawBandUnderCurves(QPainter& painter, const GraphMapping& mapping, const GraphPicture& picture);

/// Colour of the shaded band and of the marks of a curve out of it.
QColor BandFillColour();
QColor ExcursionColour();

}  // namespace vantor::render
