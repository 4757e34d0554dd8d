#pragma once
// Draws the design report with Qt's painter: the one drawing of the report,
// for PDF files, the printer and the print preview.

#include <QString>

class QPainter;
class QPagedPaintDevice;

namespace vantor {
class CVtrDoc;
}

namespace vantor::render {

/// Draws the report of doc on the painter's device; the page size is the
/// device's size in millimetres.
void RenderReport(QPainter& painter, const CVtrDoc& doc, const QString& title);

/// Writes the report of doc as a one-page PDF on A4 or Letter paper, saved
/// as a design is (temporary file, rename; the old file kept on failure).
/// False with the reason in error when the file cannot be written.
bool WriteReportPdf(const CVtrDoc& doc, const QString& title, const QString& path, bool letter, QString& error);

}  // namespace vantor::render
