#include "SurfaceMapPainter.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "SaveBytes.h"
#include "Values.h"

namespace vantor::render {

QColor ToQColor(const ChartColour& c) {
    return QColor::fromRgbF(std::clamp(c.r, 0.0f, 1.0f), std::clamp(c.g, 0.0f, 1.0f), std::clamp(c.b, 0.0f, 1.0f));
}

namespace {

int BandCount(const ColourBands& b) {
    return std::max(0, b.gradient ? b.divisions : std::min(b.customCount, static_cast<int>(b.custom.size())));
}

QString BandLabel(const SurfaceMapPicture& p, int upperEdge, int n) {
    const double z = p.zmin + (p.zmax - p.zmin) * static_cast<double>(upperEdge) / n;
    return QString::fromStdString(FormatValue(z, "Ohm", 3));
}

// One pixel per grid point, smoothed between them when scaled as the GL
// surface is between its corners; points without metal stay transparent.
QImage MapImage(const SurfaceMapPicture& p) {
    const SurfaceDataSet& s = *p.set;
    QImage image(s.nx, s.ny, QImage::Format_ARGB32);
    ChartColour colour = p.bands.background;
    for (int row = 0; row < s.ny; ++row) {
        // The image's first row is the far side, the set's last row.
        const int j = s.ny - 1 - row;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int i = 0; i < s.nx; ++i) {
            const float z = s.At(i, j);
            if (IsNoMetal(z)) {
                line[i] = qRgba(0, 0, 0, 0);
                continue;
            }
            SetColour(p.bands, NormaliseZ(z, p.zmin, p.zmax), colour);
            line[i] = ToQColor(colour).rgb();
        }
    }
    return image;
}

}  // namespace

double ChartLegendWidth(const SurfaceMapPicture& p, int textPixels) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(textPixels);
    const QFontMetricsF fm(font);
    const int n = BandCount(p.bands);
    double text = 0.0;
    for (int i = 0; i <= n; ++i) text = std::max(text, fm.horizontalAdvance(BandLabel(p, i, std::max(n, 1))));
    return textPixels * 2.0 + text;
}

void RenderChartLegend(QPainter& painter, const QRectF& box, const SurfaceMapPicture& p) {
    const int n = BandCount(p.bands);
    if (n == 0 || box.isEmpty()) return;
    painter.save();
    const double step = box.height() / n;
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::clamp(static_cast<int>(step * 0.8), 6, 14));
    painter.setFont(font);
    const QFontMetricsF fm(font);
    const double swatch = font.pixelSize() * 1.4;
    const float R = kHalfEdge;
    ChartColour colour = p.bands.background;
    for (int i = 0; i < n; ++i) {
        // Band i from the top is band n-1-i; its colour is the one of its middle.
        const int band = n - 1 - i;
        SetColour(p.bands, -R + (2.0f * band + 1.0f) * R / static_cast<float>(n), colour);
        const QRectF cell(box.left(), box.top() + i * step, swatch, step);
        painter.fillRect(cell, ToQColor(colour));
        painter.setPen(ToQColor(p.border));
        painter.drawText(QPointF(cell.right() + swatch * 0.3, cell.top() + fm.ascent() * 0.5),
                         BandLabel(p, band + 1, n));
    }
    painter.setPen(ToQColor(p.border));
    painter.drawText(QPointF(box.left() + swatch * 1.3, box.bottom() + fm.ascent() * 0.5), BandLabel(p, 0, n));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(box.left(), box.top(), swatch, box.height()));
    painter.restore();
}

void RenderNoData(QPainter& painter, const QRectF& box, const QColor& text) {
    painter.save();
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(10, static_cast<int>(box.height() / 20)));
    painter.setFont(font);
    painter.setPen(text);
    painter.drawText(box, Qt::AlignCenter, QStringLiteral("No Data !"));
    painter.restore();
}

void RenderSurfaceMap(QPainter& painter, const QRectF& target, const SurfaceMapPicture& p) {
    painter.save();
    painter.fillRect(target, ToQColor(p.set != nullptr ? p.bands.background : ChartColour{0.5686f, 0.5686f, 0.5686f}));
    if (p.set == nullptr || p.set->nx < 1 || p.set->ny < 1) {
        RenderNoData(painter, target, Qt::black);
        painter.restore();
        return;
    }
    const SurfaceDataSet& s = *p.set;
    const int text = std::clamp(static_cast<int>(target.height() / 40), 8, 24);
    const double margin = text * 2.0;
    const double legend = ChartLegendWidth(p, text);
    const QRectF area = target.adjusted(margin, margin * 1.5, -(margin * 2 + legend), -margin);
    const double aspect = s.xRange > 0.0 ? s.yRange / s.xRange : 1.0;
    double w = area.width(), h = w * aspect;
    if (h > area.height()) {
        h = area.height();
        w = h / aspect;
    }
    const QRectF plane(area.left(), area.top() + (area.height() - h) / 2, w, h);

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(text);
    painter.setFont(font);
    painter.setPen(ToQColor(p.border));
    painter.drawText(QRectF(target.left() + margin, target.top(), target.width(), margin * 1.5),
                     Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdString(s.name));

    if (s.nx >= 2 && s.ny >= 2) {
        // Pixel centres on the grid points: the image reaches half a cell
        // past the plane's edges and is clipped to it.
        const QImage image = MapImage(p);
        const double cw = w / (s.nx - 1), ch = h / (s.ny - 1);
        painter.save();
        painter.setClipRect(plane);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(plane.adjusted(-cw / 2, -ch / 2, cw / 2, ch / 2), image);
        painter.restore();
    }
    QPen outline(ToQColor(p.border), std::max(2.0, text / 6.0));
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plane);
    RenderChartLegend(painter, QRectF(plane.right() + margin, plane.top(), legend, plane.height()), p);
    painter.restore();
}

bool WriteSurfaceMap(const SurfaceMapPicture& picture, const QString& path, int width, QString& error) {
    if (width < 64 || width > 20000) {
        error = QStringLiteral("Die Bildbreite muss zwischen 64 und 20000 Pixeln liegen.");
        return false;
    }
    double aspect = 0.6;
    if (picture.set != nullptr && picture.set->xRange > 0.0) aspect = picture.set->yRange / picture.set->xRange;
    const int height = std::clamp(static_cast<int>(std::lround(width * 0.72 * aspect + width * 0.12)), 64, 20000);
    QImage image(width, height, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        RenderSurfaceMap(painter, QRectF(0, 0, width, height), picture);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = QStringLiteral("Das Bild kann nicht erzeugt werden: ") + path;
        return false;
    }
    return SaveBytes(bytes, path, error);
}

}  // namespace vantor::render
