#pragma once
// Draws the design report with Qt's painter: the one drawing of the report,
// for PDF files, the printer and the print preview.

#include <QString>
#include <QStringList>

class QPainter;
class QPagedPaintDevice;

namespace vantor {
class CVtrDoc;
}

namespace vantor::render {

/// Draws the report of doc on the painter's device: the first page with
/// the groups and the layout, then on pages of their own (a paged device
/// only) the curves, the maps, the analysis, the parts and the filter, as
/// far as doc has data for them. The page size is the device's. Returns
/// each drawn page's heading, in order.
QStringList RenderReport(QPainter& painter, const CVtrDoc& doc, const QString& title);

/// Writes the report of doc as a PDF on A4 or Letter paper, saved
/// as a design is (temporary file, rename; the old file kept on failure).
/// False with the reason in error when the file cannot be written.
bool WriteReportPdf(const CVtrDoc& doc, const QString& title, const QString& path, bool letter, QString& error);

}  // namespace vantor::render
