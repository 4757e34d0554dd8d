#include "GraphPainter.h"

#include <algorithm>
#include <cmath>

#include <QBuffer>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "SaveBytes.h"
#include "TargetBandPainter.h"
#include "Values.h"

namespace vantor::render {

namespace {

constexpr double kPageAspect = 1.33;  // width : height of a printed graph
const QColor kOuterBackground(0xC8, 0xC8, 0xC8);
const QColor kPlotBackground(0xF5, 0xF5, 0xF5);
const QColor kGridColour(0xC8, 0xC8, 0xC8);
const QColor kLabelColour(0x64, 0x64, 0x64);
const QColor kOwnerColour = ColourFromBgr(0x00FA0032);  // (50, 0, 250)
const QColor kNoteColour(170, 0, 0);
constexpr const char* kProductText = "Vantor V.4.01";
constexpr const char* kOwnerText = "© Orvane Entwicklung";

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Arial where the system has it; otherwise the desktop's sans-serif.
QFont GraphFont(double pixels) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    return font;
}

struct Fonts {
    QFont ticks, captions, identification;
};

// Heights follow the square root of the area, never below a readable size
// on the device.
Fonts MakeFonts(const QRectF& page, const QPaintDevice* device) {
    const double root = std::sqrt(std::max(1.0, page.width() * page.height()));
    const double dpi = device != nullptr ? device->logicalDpiY() : 96.0;
    const double least = 8.0 / 72.0 * dpi;  // 8 pt
    return {GraphFont(std::max(least, root / 70.0)), GraphFont(std::max(least * 1.1, root / 60.0)),
            GraphFont(std::max(least * 0.95, root / 78.0))};
}

const CGraphTrace* FirstVisible(const std::vector<CGraphTrace>& traces) {
    for (const CGraphTrace& t : traces)
        if (t.visible) return &t;
    return nullptr;
}

struct Tick {
    double value;
    bool labelled;
    bool major;
};

// 10 even divisions, or decades with their 2..9 lines; on a log axis of
// one or two decades 2 and 5 are labelled too.
std::vector<Tick> Ticks(double low, double high, bool log) {
    std::vector<Tick> ticks;
    if (!log) {
        // A limit rounded from a tiny value (1e-16 Ohm) reads as the 0 it is.
        const double negligible = std::fabs(high - low) * 1e-9;
        for (int i = 0; i <= 10; ++i) {
            const double v = low + i * (high - low) / 10.0;
            ticks.push_back({std::fabs(v) < negligible ? 0.0 : v, true, true});
        }
        return ticks;
    }
    const int first = static_cast<int>(std::lround(std::log10(low)));
    const int last = static_cast<int>(std::lround(std::log10(high)));
    const bool few = last - first <= 2;
    for (int e = first; e <= last; ++e) {
        const double decade = std::pow(10.0, e);
        ticks.push_back({decade, true, true});
        if (e == last) break;
        for (int m = 2; m <= 9; ++m) ticks.push_back({m * decade, few && (m == 2 || m == 5), false});
    }
    return ticks;
}

// Captions flow in lines across the width, each in its curve's colour;
// with curves in more than one line style each has a piece of its line
// in front.
struct CaptionPlace {
    QString text;
    QColor colour;
    QPointF at;                      // top left
    Qt::PenStyle style = Qt::NoPen;  // the sample's line; none: no sample
};

// The sample line in front of a caption, with its gap.
double SampleWidth(const QFontMetricsF& metrics) { return metrics.horizontalAdvance(QStringLiteral("MMMM")); }

// Places texts in lines from (left, top) across to right, as many as fit
// in maxLines lines; at gets their top left corners. Each text is led by
// lead (its sample).
void FlowCaptions(const std::vector<QString>& texts, const QFontMetricsF& metrics, double lead, double left,
                  double right, double top, int maxLines, std::vector<QPointF>& at) {
    const double gap = metrics.horizontalAdvance(QStringLiteral("    "));
    at.clear();
    double x = left;
    int line = 0;
    for (const QString& text : texts) {
        const double w = lead + metrics.horizontalAdvance(text);
        if (x > left && x + w > right) x = left, ++line;
        if (line >= maxLines) return;
        at.emplace_back(x, top + line * metrics.height());
        x += w + gap;
    }
}

QString MoreCurves(std::size_t n) {
    return n == 1 ? QString::fromUtf8("… und 1 weitere Kurve")
                  : QString::fromUtf8("… und %1 weitere Kurven").arg(static_cast<qulonglong>(n));
}

// The captions of the visible curves in at most maxLines lines; when not
// all fit, the last line says how many more curves there are.
std::vector<CaptionPlace> PlaceCaptions(const GraphPicture& picture, const QFontMetricsF& metrics, double left,
                                        double right, double top, int maxLines) {
    std::vector<QString> texts;
    std::vector<QColor> colours;
    for (const CGraphTrace& t : picture.traces) {
        if (!t.visible) continue;
        colours.push_back(ColourFromBgr(picture.colours[texts.size() % picture.colours.size()]));
        texts.push_back(Q(t.caption));
    }
    // The colours repeat from the fifth curve on: the line tells them apart.
    const bool samples = texts.size() > picture.colours.size();
    const double lead = samples ? SampleWidth(metrics) : 0.0;
    std::vector<QPointF> at;
    FlowCaptions(texts, metrics, lead, left, right, top, maxLines, at);
    QPointF moreAt;
    if (at.size() < texts.size()) {
        const double gap = metrics.horizontalAdvance(QStringLiteral("    "));
        if (maxLines > 1) {
            FlowCaptions(texts, metrics, lead, left, right, top, maxLines - 1, at);
            moreAt = QPointF(left, top + (maxLines - 1) * metrics.height());
        } else {
            // One line only: the count takes the place of the last captions.
            const auto end = [&] {
                return at.back().x() + lead + metrics.horizontalAdvance(texts[at.size() - 1]) + gap;
            };
            while (!at.empty() && end() + metrics.horizontalAdvance(MoreCurves(texts.size() - at.size())) > right)
                at.pop_back();
            moreAt = at.empty() ? QPointF(left, top) : QPointF(end(), top);
        }
    }
    std::vector<CaptionPlace> places;
    for (std::size_t i = 0; i < at.size(); ++i)
        places.push_back({texts[i], colours[i], at[i], samples ? CurveLineStyle(i) : Qt::NoPen});
    if (at.size() < texts.size()) places.push_back({MoreCurves(texts.size() - at.size()), kLabelColour, moreAt});
    return places;
}

}  // namespace

QColor ColourFromBgr(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

Qt::PenStyle CurveLineStyle(std::size_t k) {
    // The dash-dot line is the untrusted points' own.
    static constexpr Qt::PenStyle kRepeats[] = {Qt::DashLine, Qt::DotLine, Qt::DashDotDotLine};
    const std::size_t round = k / kCurveColours.size();
    return round == 0 ? Qt::SolidLine : kRepeats[(round - 1) % std::size(kRepeats)];
}

GraphPicture MakeGraphPicture(std::vector<CGraphTrace> traces, bool logarithmic, bool yAuto, double yMaximum) {
    GraphPicture picture;
    picture.scale = ScaleGraph(traces, logarithmic, yAuto, yMaximum);
    if (const auto units = CheckTraceUnits(traces)) picture.note = Q(*units).trimmed();
    picture.traces = std::move(traces);
    return picture;
}

GraphMapping::GraphMapping(const QRectF& plot, const GraphScale& scale) : plot_(plot), scale_(scale) {}

namespace {

// Position 0..1 of v between low and high; a flat axis puts all at 0.
double Fraction(double v, double low, double high, bool log) {
    if (log) {
        v = std::log10(v), low = std::log10(low), high = std::log10(high);
    }
    return high != low ? (v - low) / (high - low) : 0.0;
}

double FromFraction(double f, double low, double high, bool log) {
    if (!log) return low + f * (high - low);
    return std::pow(10.0, std::log10(low) + f * (std::log10(high) - std::log10(low)));
}

}  // namespace

double GraphMapping::pageX(double x) const {
    const AxisLimits& l = scale_.limits;
    return plot_.left() + Fraction(x, l.xMin, l.xMax, scale_.logX) * plot_.width();
}

double GraphMapping::pageY(double y) const {
    const AxisLimits& l = scale_.limits;
    return plot_.bottom() - Fraction(y, l.yMin, l.yMax, scale_.logY) * plot_.height();
}

bool GraphMapping::toPage(double x, double y, QPointF& point) const {
    if ((scale_.logX && !(x > 0.0)) || (scale_.logY && !(y > 0.0)) || !std::isfinite(x) || !std::isfinite(y))
        return false;
    point = QPointF(pageX(x), pageY(y));
    return true;
}

std::pair<double, double> GraphMapping::toValues(const QPointF& p) const {
    const AxisLimits& l = scale_.limits;
    const double fx = plot_.width() > 0 ? (p.x() - plot_.left()) / plot_.width() : 0.0;
    const double fy = plot_.height() > 0 ? (plot_.bottom() - p.y()) / plot_.height() : 0.0;
    return {FromFraction(fx, l.xMin, l.xMax, scale_.logX), FromFraction(fy, l.yMin, l.yMax, scale_.logY)};
}

GraphMapping RenderGraph(QPainter& painter, const QRectF& page, const GraphPicture& picture) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setClipRect(page);
    const Fonts fonts = MakeFonts(page, painter.device());
    const QFontMetricsF tickMetrics(fonts.ticks, painter.device());
    const QFontMetricsF captionMetrics(fonts.captions, painter.device());
    const QFontMetricsF idMetrics(fonts.identification, painter.device());
    const double pad = tickMetrics.height() * 0.6;

    const CGraphTrace* first = FirstVisible(picture.traces);
    const AxisLimits& l = picture.scale.limits;
    const bool labelled = first != nullptr && (l.xMin != l.xMax || l.yMin != l.yMax);
    const std::string xUnit = first != nullptr ? first->xUnit : "Hz";
    const std::string yUnit = first != nullptr ? first->yUnit : "";
    const std::vector<Tick> xTicks = Ticks(l.xMin, l.xMax, picture.scale.logX);
    const std::vector<Tick> yTicks = Ticks(l.yMin, l.yMax, picture.scale.logY);

    // Room for the labels: the widest Y label on the left, half an X label
    // on the right, one line of X labels and one of identification below.
    double yLabelWidth = 0.0, xLabelWidth = 0.0;
    if (labelled) {
        for (const Tick& t : yTicks)
            if (t.labelled)
                yLabelWidth = std::max(yLabelWidth, tickMetrics.horizontalAdvance(Q(FormatValue(t.value, yUnit))));
        for (const Tick& t : xTicks)
            if (t.labelled)
                xLabelWidth = std::max(xLabelWidth, tickMetrics.horizontalAdvance(Q(FormatValue(t.value, xUnit))));
    }

    // Captions of the visible curves, flowing from the top left; they take
    // at most a third of the height the plot would have without them.
    const double plotBottom = page.bottom() - pad - idMetrics.height() - pad - tickMetrics.height() - pad * 0.5;
    const double captionTop = page.top() + pad;
    const int captionLines = std::max(1, static_cast<int>(std::floor((plotBottom - captionTop - pad) / 3.0 /
                                                                     captionMetrics.height())));
    const std::vector<CaptionPlace> captions = PlaceCaptions(picture, captionMetrics, page.left() + pad,
                                                             page.right() - pad, captionTop, captionLines);
    const double captionBottom = captions.empty() ? captionTop : captions.back().at.y() + captionMetrics.height();
    QRectF plot(QPointF(page.left() + pad * 2 + yLabelWidth, captionBottom + pad),
                QPointF(page.right() - std::max(pad, xLabelWidth / 2 + pad / 2), plotBottom));
    if (plot.width() < 1 || plot.height() < 1) plot = QRectF(page.center(), QSizeF(1, 1));
    const GraphMapping mapping(plot, picture.scale);

    painter.fillRect(page, kOuterBackground);
    painter.fillRect(plot, kPlotBackground);

    // Grid and tick labels; a label that would touch the one before it is
    // left out, so a narrow plot shows every second one.
    QPen gridPen(kGridColour, 0, Qt::DotLine);
    painter.setFont(fonts.ticks);
    const double gap = tickMetrics.horizontalAdvance(QStringLiteral("  "));
    double lastRight = -1e300;
    for (const Tick& t : xTicks) {
        const double x = mapping.pageX(t.value);
        gridPen.setColor(t.major ? kGridColour : kGridColour.lighter(108));
        painter.setPen(gridPen);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        if (!labelled || !t.labelled) continue;
        const QString text = Q(FormatValue(t.value, xUnit));
        const double w = tickMetrics.horizontalAdvance(text);
        if (x - w / 2 < lastRight + gap) continue;
        lastRight = x + w / 2;
        painter.setPen(kLabelColour);
        painter.drawText(QPointF(x - w / 2, plot.bottom() + pad * 0.5 + tickMetrics.ascent()), text);
    }
    double lastTop = 1e300;
    for (const Tick& t : yTicks) {
        const double y = mapping.pageY(t.value);
        gridPen.setColor(t.major ? kGridColour : kGridColour.lighter(108));
        painter.setPen(gridPen);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        if (!labelled || !t.labelled) continue;
        const double top = y - tickMetrics.height() / 2;
        if (top + tickMetrics.height() > lastTop) continue;
        lastTop = top;
        const QString text = Q(FormatValue(t.value, yUnit));
        const double w = tickMetrics.horizontalAdvance(text);
        painter.setPen(kLabelColour);
        painter.drawText(QPointF(plot.left() - pad - w, top + tickMetrics.ascent()), text);
    }
    painter.setPen(QPen(kLabelColour, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    DrawBandUnderCurves(painter, mapping, picture);

    // Curves: solid where the points are trusted, the thin dash-dot pen
    // where either end of a segment is not.
    const double root = std::sqrt(std::max(1.0, page.width() * page.height()));
    const double width = std::max(1.5, root / 450.0);
    painter.save();
    painter.setClipRect(plot, Qt::IntersectClip);
    std::size_t k = 0;
    for (const CGraphTrace& t : picture.traces) {
        if (!t.visible) continue;
        const Qt::PenStyle style = CurveLineStyle(k);
        const QColor colour = ColourFromBgr(picture.colours[k++ % picture.colours.size()]);
        QPainterPath solid, thin;
        bool have = false;
        QPointF last;
        bool lastValid = false;
        for (const CTracePoint& p : t.points) {
            QPointF at;
            if (!mapping.toPage(p.x, p.y, at)) {
                have = false;
                continue;
            }
            const bool valid = p.flag != 0;
            if (have) {
                QPainterPath& path = valid && lastValid ? solid : thin;
                if (path.currentPosition() != last || path.elementCount() == 0) path.moveTo(last);
                path.lineTo(at);
            }
            last = at, lastValid = valid, have = true;
        }
        painter.setPen(QPen(colour, width, style, style == Qt::SolidLine ? Qt::RoundCap : Qt::FlatCap, Qt::RoundJoin));
        painter.drawPath(solid);
        painter.setPen(QPen(colour, std::max(1.0, root / 1350.0), Qt::DashDotLine));
        painter.drawPath(thin);
    }
    painter.restore();

    // Captions, the note on mixed units, the identification and the read-out.
    painter.setFont(fonts.captions);
    for (const CaptionPlace& c : captions) {
        double x = c.at.x();
        if (c.style != Qt::NoPen) {
            // A piece of the curve's line, as thick as the curve, ending a space before the text.
            const double y = c.at.y() + captionMetrics.height() / 2;
            const double length = SampleWidth(captionMetrics) - captionMetrics.horizontalAdvance(QLatin1Char(' '));
            painter.setPen(QPen(c.colour, width, c.style, Qt::FlatCap));
            painter.drawLine(QPointF(x, y), QPointF(x + length, y));
            x += SampleWidth(captionMetrics);
        }
        painter.setPen(c.colour);
        painter.drawText(QPointF(x, c.at.y() + captionMetrics.ascent()), c.text);
    }
    if (!picture.note.isEmpty()) {
        // Wrapped to the plot's width: a narrow window still shows all of it.
        const int flags = Qt::AlignCenter | Qt::TextWordWrap;
        const QRectF room(0, 0, std::max(1.0, plot.width() - pad), page.height());
        const QRectF box =
            captionMetrics.boundingRect(room, flags, picture.note).adjusted(-pad / 2, -pad / 4, pad / 2, pad / 4);
        const QRectF at(QPointF(plot.center().x() - box.width() / 2, plot.top() + pad / 2), box.size());
        painter.fillRect(at, QColor(255, 255, 255, 230));
        painter.setPen(QPen(kNoteColour, 0));
        painter.drawRect(at);
        painter.drawText(at, flags, picture.note);
    }
    painter.setFont(fonts.identification);
    const double base = page.bottom() - pad - idMetrics.descent();
    double x = page.left() + pad;
    painter.setPen(kLabelColour);
    painter.drawText(QPointF(x, base), QString::fromUtf8(kProductText));
    x += idMetrics.horizontalAdvance(QString::fromUtf8(kProductText)) + pad * 2;
    const QString owner = QString::fromUtf8(kOwnerText);
    const double readoutWidth = idMetrics.horizontalAdvance(picture.readout);
    const double readoutLeft = page.right() - pad - readoutWidth;
    // A narrow window gives the ownership line's room to the read-out.
    if (picture.readout.isEmpty() || x + idMetrics.horizontalAdvance(owner) + pad < readoutLeft) {
        painter.setPen(kOwnerColour);
        painter.drawText(QPointF(x, base), owner);
    }
    if (!picture.readout.isEmpty()) {
        painter.setPen(Qt::black);
        painter.drawText(QPointF(readoutLeft, base), picture.readout);
    }
    painter.restore();
    return mapping;
}

QRectF FitGraphPage(const QRectF& printable) {
    QSizeF size(printable.width(), printable.width() / kPageAspect);
    if (size.height() > printable.height()) size = QSizeF(printable.height() * kPageAspect, printable.height());
    return QRectF(QPointF(printable.center().x() - size.width() / 2, printable.center().y() - size.height() / 2), size);
}

bool WriteGraphPicture(const GraphPicture& picture, const QString& path, QSize size, QString& error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (size.width() < 16 || size.height() < 16 || size.width() > 20000 || size.height() > 20000) {
        error = QStringLiteral("Die Bildgröße muss zwischen 16 und 20000 Pixeln liegen.");
        return false;
    }
    // Drawn in memory and saved as a design is: a failure leaves the old file.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (suffix == QLatin1String("png")) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            RenderGraph(painter, QRectF(QPointF(0, 0), QSizeF(size)), picture);
        }
        if (!image.save(&buffer, "PNG")) {
            error = QStringLiteral("Das Bild kann nicht erzeugt werden: ") + path;
            return false;
        }
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Grafikausgabe"));
        QPainter painter(&svg);
        RenderGraph(painter, QRectF(QPointF(0, 0), QSizeF(size)), picture);
    } else if (suffix == QLatin1String("pdf")) {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Grafikausgabe"));
        writer.setCreator(QString::fromUtf8(kProductText));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10)));
        writer.setResolution(300);
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = QStringLiteral("Die Datei kann nicht geschrieben werden: ") + path;
            return false;
        }
        RenderGraph(painter, FitGraphPage(QRectF(0, 0, writer.width(), writer.height())), picture);
        painter.end();
    } else {
        error = QStringLiteral("Unbekanntes Bildformat: ") + path + QStringLiteral(" (PNG, SVG oder PDF)");
        return false;
    }
    buffer.close();
    return SaveBytes(bytes, path, error);
}

}  // namespace vantor::render
