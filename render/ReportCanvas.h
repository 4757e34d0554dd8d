#pragma once
// A page of the design report after the first: device pixels of the
// printer or PDF, millimetres and points converted by the device's
// resolution, the header with the design's name and the date, the page's
// heading, and text that flows down the page.

#include <string>
#include <vector>

#include <QFont>
#include <QRectF>
#include <QString>

#include "ReportPages.h"

class QPainter;

namespace vantor::render {

class ReportCanvas {
public:
    /// The painter's whole device is the page (the printer's printable area).
    ReportCanvas(QPainter& painter, QString design, QString date);

    QPainter& painter() { return painter_; }
    /// Device pixels of a length in millimetres.
    double mm(double millimetres) const { return millimetres * pixelsPerMm_; }
    /// Arial at a size in points, for this device.
    QFont font(double points, bool bold = false) const;

    /// Draws the header band (design name left, date right), the heading,
    /// and the footer "Seite n"; returns the room left for content.
    QRectF beginPage(const QString& heading, int pageNumber);

    /// One line of text at top, wrapped to the rect's width; returns the
    /// height it took.
    double paragraph(const QString& text, const QRectF& room, const QFont& font);
    /// The lines from index first on, while they fit into room; returns
    /// the index of the first line that did not fit (lines.size() when all
    /// did).
    std::size_t lines(const std::vector<ReportLine>& lines, std::size_t first, const QRectF& room);

private:
    QPainter& painter_;
    QString design_, date_;
    QRectF page_;
    double pixelsPerMm_ = 1.0;
    double pixelsPerPoint_ = 1.0;
};

/// Text of a UTF-8 string.
inline QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace vantor::render
