#include "ReportPainter.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <QBuffer>
#include <QDate>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "DesignReport.h"
#include "ReportPagePainters.h"
#include "ReportPages.h"
#include "SaveBytes.h"

namespace vantor::render {

namespace {

// Point sizes are tenths of a point; the painter works in tenths of a
// millimetre, so the fonts are sized in those units to scale with it.
QFont ReportQFont(int tenthsOfPoint) {
    QFont font(QString::fromUtf8(kReportFontFace));
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(tenthsOfPoint / 10.0 * 254.0 / 72.0))));
    return font;
}

class QtReportMetrics : public ReportMetrics {
public:
    explicit QtReportMetrics(const int sizes[3]) {
        for (int i = 0; i < 3; ++i) fonts_[i] = ReportQFont(sizes[i]);
    }
    int LineHeight(ReportFont font) const override {
        const QFontMetrics m(fonts_[int(font)]);
        return m.height() + m.leading();
    }
    int TextWidth(ReportFont font, const std::string& text) const override {
        return QFontMetrics(fonts_[int(font)]).horizontalAdvance(QString::fromStdString(text));
    }
    const QFont& Font(ReportFont font) const { return fonts_[int(font)]; }

private:
    QFont fonts_[3];
};

}  // namespace

namespace {

// The first page: the groups and the layout, in tenths of a millimetre.
void RenderFirstPage(QPainter& painter, const CVtrDoc& doc, const QString& title) {
    QPaintDevice* device = painter.device();
    const int W = device->widthMM() * 10;
    const int H = device->heightMM() * 10;
    painter.save();
    painter.setWindow(0, 0, W, H);
    painter.setViewport(0, 0, device->width(), device->height());

    int sizes[3];
    ReportFontSizes(W, H, sizes);
    // Measured in the painter's units, so the device's resolution drops out.
    const QtReportMetrics metrics(sizes);
    const ReportLayout layout = LayoutReport(doc, title.toStdString(), W, H, metrics);
    auto down = [H](int y) { return H - y; };  // the layout's y grows upwards

    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(QColor(128, 128, 128));
    painter.drawRect(QRect(layout.headerLeft, down(layout.headerTop), layout.headerRight - layout.headerLeft,
                           layout.headerTop - layout.headerBottom));
    const QColor textColour(10, 10, 10);
    for (const ReportText& t : layout.texts) {
        painter.setFont(metrics.Font(t.font));
        painter.setPen(t.white ? QColor(Qt::white) : textColour);
        const QRect band(t.left, down(t.top), t.right - t.left, t.top - t.bottom);
        const int align = (t.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop | Qt::TextSingleLine;
        painter.setClipRect(band);
        painter.drawText(band, align, QString::fromStdString(t.text));
        painter.setClipping(false);
    }
    painter.restore();
}

}  // namespace

QStringList RenderReport(QPainter& painter, const CVtrDoc& doc, const QString& title) {
    QStringList headings{QStringLiteral("Kondensatorgruppen:")};
    RenderFirstPage(painter, doc, title);
    auto* paged = dynamic_cast<QPagedPaintDevice*>(painter.device());
    if (paged == nullptr) return headings;
    ReportCanvas canvas(painter, title,
                        QLocale(QLocale::German).toString(QDate::currentDate(), QStringLiteral("dd.MM.yyyy")));
    auto begin = [&](const QString& heading) {
        paged->newPage();
        headings << heading;
        return canvas.beginPage(heading, static_cast<int>(headings.size()));
    };
    for (const ReportPage page : ReportPagesOf(doc)) {
        const QString heading = QString::fromUtf8(ReportPageHeading(page));
        if (page == ReportPage::Analysis) {
            // Text pages go on where a page is full.
            const std::vector<ReportLine> lines = AnalysisLines(doc);
            std::size_t next = 0;
            do {
                next = canvas.lines(lines, next,
                                    begin(next == 0 ? heading : heading + QStringLiteral(" (Fortsetzung)")));
            } while (next < lines.size());
            continue;
        }
        const QRectF room = begin(heading);
        painter.save();
        switch (page) {
            case ReportPage::Impedance: RenderImpedancePage(canvas, room, doc); break;
            case ReportPage::Map: RenderMapPage(canvas, room, doc); break;
            case ReportPage::Parts: RenderPartsPage(canvas, room, doc); break;
            case ReportPage::Filter: RenderFilterPage(canvas, room, doc); break;
            case ReportPage::Analysis: break;
        }
        painter.restore();
    }
    return headings;
}

bool WriteReportPdf(const CVtrDoc& doc, const QString& title, const QString& path, bool letter, QString& error) {
    // Drawn in memory and saved as a design is: a failure leaves the old file.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QString::fromUtf8(kReportHeader));
        writer.setPageLayout(QPageLayout(QPageSize(letter ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        writer.setResolution(254);  // one device pixel per tenth of a millimetre
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = QStringLiteral("Die Datei kann nicht geschrieben werden: ") + path;
            return false;
        }
        RenderReport(painter, doc, title);
        painter.end();
    }
    return SaveBytes(pdf, path, error);
}

}  // namespace vantor::render
