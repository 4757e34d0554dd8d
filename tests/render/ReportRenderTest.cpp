// The design report drawn as the printer and vantor-cli draw it: pages and
// headings of a full design, and the target band in a plot. Which pages a
// design gets is the report pages' test; a new design's report is printed
// by the vantor-cli tests.

#include <QBuffer>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

#include "CLayer.h"
#include "DesignAccess.h"
#include "DocumentFixtures.h"
#include "GraphPainter.h"
#include "ReportPainter.h"
#include "TargetBandPainter.h"

using namespace vantor;

namespace {

// The report into a PDF in memory; pages counts the page objects written.
QStringList RenderToPdf(const CVtrDoc& doc, QPageSize::PageSizeId paper, int& pages) {
    QByteArray pdf;
    QStringList headings;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(paper), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(254);
        QPainter painter(&writer);
        headings = render::RenderReport(painter, doc, QStringLiteral("entwurf.vnt"));
    }
    pages = static_cast<int>(pdf.count("/Type /Page\n"));
    return headings;
}

}  // namespace

class ReportRenderTest : public QObject {
    Q_OBJECT
private slots:
    void fullDesignHasSixPages();
    void bandLiesBetweenTheLines();
};

void ReportRenderTest::fullDesignHasSixPages() {
    test::Env e(true);
    CVtrDoc& doc = e.doc;
    doc.OnNewDocument();
    QVERIFY(doc.newGroup() && doc.newGroup());
    CLayer& plane = *DesignAccess::Plane(doc);
    plane.probes.push_back(std::make_unique<CProbe>(0.08, 0.06, "Probe3"));
    plane.cutOuts.push_back(std::make_unique<CCutOut>(0.02, 0.02, 0.035, 0.04, "Loch"));
    // A coarse mesh and three frequencies: the pages need results, not accuracy.
    DesignAccess::AnalysisDomain(doc).frequencySteps = 2, DesignAccess::AnalysisDomain(doc).resolution = 1;
    QVERIFY(doc.analyse());
    QVERIFY(doc.transferGroupToFilter());
    DesignAccess::Filter(doc).candidates = {e.db.Find("L-Test")}, DesignAccess::Filter(doc).selected = 0;

    for (const auto paper : {QPageSize::A4, QPageSize::Letter}) {
        int pages = 0;
        const QStringList headings = RenderToPdf(doc, paper, pages);
        QCOMPARE(headings, (QStringList{"Kondensatorgruppen:", "Impedanzverlauf", "Impedanzkarte", "Analyse",
                                        QString::fromUtf8("Stückliste"), "Filter"}));
        QCOMPARE(pages, 6);
    }
    // A device without pages (the screen) gets the first page only.
    QImage image(210, 297, QImage::Format_RGB32);
    QPainter painter(&image);
    QCOMPARE(render::RenderReport(painter, doc, QStringLiteral("x")).size(), 1);
}

void ReportRenderTest::bandLiesBetweenTheLines() {
    // On linear axes from 0 Hz (fu) to fo: a curve in the middle of the band
    // up to 0.7 fo, then far above it, so that the axis spans both.
    const TargetBand band{1e9, 0.8, 0.9, 1.0, 1.2};
    CGraphTrace curve("Probe1", "Hz", "Ohm", "curve");
    for (int i = 0; i <= 100; ++i) {
        const double f = i * 1e7;
        curve.points.emplace_back(f, f <= 0.7e9 ? (band.Lower(f) + band.Upper(f)) / 2 : 3.0);
    }
    const render::GraphPicture picture = render::MakeBandPicture({curve}, false, band);
    QVERIFY(picture.band.has_value());
    QVERIFY(picture.scale.limits.yMin <= 0.8);

    QImage image(1000, 750, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const render::GraphMapping mapping = render::RenderGraph(painter, QRectF(0, 0, 1000, 750), picture);
    painter.end();

    // The band's green tint on the plot's light grey.
    const auto banded = [&](int x, int y) {
        const QColor c = image.pixelColor(x, y);
        return c.green() - c.red() > 12 && c.green() - c.blue() > 8;
    };
    const QRectF plot = mapping.plot();
    for (const double f : {0.02e9, 0.35e9, 0.65e9}) {
        const int x = static_cast<int>(mapping.pageX(f));
        const double top = mapping.pageY(band.Upper(f)), bottom = mapping.pageY(band.Lower(f));
        int inside = 0;
        for (int y = static_cast<int>(plot.top()) + 8; y < static_cast<int>(plot.bottom()); ++y) {
            if (!banded(x, y)) continue;
            QVERIFY2(y >= top - 2 && y <= bottom + 2,
                     qPrintable(QStringLiteral("f=%1 y=%2 outside %3..%4").arg(f).arg(y).arg(top).arg(bottom)));
            ++inside;
        }
        QVERIFY2(inside >= (bottom - top) * 0.8, qPrintable(QStringLiteral("f=%1: %2 px").arg(f).arg(inside)));
    }
    // Above Zmax from 0.71 fo to fo: that range is marked red, the rest not.
    const auto red = [&](double f) {
        const QColor c = image.pixelColor(static_cast<int>(mapping.pageX(f)), static_cast<int>(plot.top()) + 20);
        return c.red() > c.green() + 10;
    };
    QVERIFY(red(0.85e9));
    QVERIFY(!red(0.5e9));
}

QTEST_MAIN(ReportRenderTest)
#include "ReportRenderTest.moc"
