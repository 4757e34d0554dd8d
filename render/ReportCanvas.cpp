#include "ReportCanvas.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include "DesignReport.h"

namespace vantor::render {

namespace {

constexpr double kMarginMm = 15.0;
const QColor kHeaderFill(128, 128, 128);
const QColor kTextColour(10, 10, 10);

}  // namespace

ReportCanvas::ReportCanvas(QPainter& painter, QString design, QString date)
    : painter_(painter), design_(std::move(design)), date_(std::move(date)) {
    const QPaintDevice* device = painter.device();
    page_ = QRectF(0, 0, device->width(), device->height());
    pixelsPerMm_ = device->logicalDpiX() / 25.4;
    pixelsPerPoint_ = device->logicalDpiY() / 72.0;
}

QFont ReportCanvas::font(double points, bool bold) const {
    QFont f(QString::fromUtf8(kReportFontFace));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * pixelsPerPoint_))));
    f.setBold(bold);
    return f;
}

QRectF ReportCanvas::beginPage(const QString& heading, int pageNumber) {
    QPainter& p = painter_;
    p.setBackgroundMode(Qt::TransparentMode);
    const QRectF inner = page_.adjusted(mm(kMarginMm), mm(kMarginMm * 0.7), -mm(kMarginMm), -mm(kMarginMm * 0.7));

    const QFont headerFont = font(10);
    const QFontMetricsF hm(headerFont, p.device());
    const QRectF header(inner.left(), inner.top(), inner.width(), hm.height() * 1.6);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(kHeaderFill);
    p.drawRect(header);
    p.setFont(headerFont);
    p.setPen(Qt::white);
    const QRectF text = header.adjusted(mm(3), 0, -mm(3), 0);
    const QString date = date_;
    const double dateWidth = hm.horizontalAdvance(date);
    p.drawText(text, Qt::AlignRight | Qt::AlignVCenter, date);
    // The name is plain text and gives way to the date.
    const QString name = hm.elidedText(design_, Qt::ElideMiddle, text.width() - dateWidth - mm(5));
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);

    const QFont headingFont = font(16, true);
    const QFontMetricsF gm(headingFont, p.device());
    p.setFont(headingFont);
    p.setPen(kTextColour);
    const double headingTop = header.bottom() + mm(6);
    p.drawText(QPointF(inner.left(), headingTop + gm.ascent()), heading);

    const QFont footerFont = font(8);
    const QFontMetricsF fm(footerFont, p.device());
    p.setFont(footerFont);
    const QString footer = QStringLiteral("Seite %1").arg(pageNumber);
    p.drawText(QRectF(inner.left(), inner.bottom() - fm.height(), inner.width(), fm.height()), Qt::AlignRight, footer);
    p.drawText(QRectF(inner.left(), inner.bottom() - fm.height(), inner.width(), fm.height()), Qt::AlignLeft,
               QString::fromUtf8(kReportHeader));

    return QRectF(QPointF(inner.left(), headingTop + gm.height() + mm(5)),
                  QPointF(inner.right(), inner.bottom() - fm.height() - mm(4)));
}

double ReportCanvas::paragraph(const QString& text, const QRectF& room, const QFont& f) {
    const QFontMetricsF m(f, painter_.device());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    const QRectF box = m.boundingRect(QRectF(room.left(), room.top(), room.width(), 1e6), flags, text);
    painter_.setFont(f);
    painter_.setPen(kTextColour);
    painter_.drawText(QRectF(room.left(), room.top(), room.width(), box.height()), flags, text);
    return box.height();
}

std::size_t ReportCanvas::lines(const std::vector<ReportLine>& lines, std::size_t first, const QRectF& room) {
    const QFont body = font(10), heading = font(12, true);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
    double y = room.top();
    for (std::size_t i = first; i < lines.size(); ++i) {
        const ReportLine& line = lines[i];
        const QFont& f = line.heading ? heading : body;
        const QFontMetricsF m(f, painter_.device());
        const double before = line.heading && i != first ? m.height() * 0.8 : 0.0;
        const QString text = Q(line.text);
        const double indent = line.heading ? 0.0 : mm(4);
        const double height = m.boundingRect(QRectF(0, 0, room.width() - indent, 1e6), flags, text).height() +
                              m.height() * 0.25;
        // A heading keeps its first line with it.
        const double keep = line.heading ? m.height() * 2.5 : 0.0;
        if (y + before + height + keep > room.bottom() && i != first) return i;
        y += before;
        y += paragraph(text, QRectF(room.left() + indent, y, room.width() - indent, height), f) + m.height() * 0.25;
    }
    return lines.size();
}

}  // namespace vantor::render
