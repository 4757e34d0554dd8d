#include "DesignReport.h"

#include <cmath>

#include "Printf.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor {

namespace {

constexpr int left = 100;  // left edge of the body bands: 10 mm

}  // namespace

void ReportFontSizes(int pageWidth, int pageHeight, int sizes[3]) {
    const double d = std::sqrt(double(pageWidth) * pageWidth + double(pageHeight) * pageHeight);
    sizes[0] = static_cast<int>(d / 23);
    sizes[1] = static_cast<int>(d / 30);
    sizes[2] = static_cast<int>(d / 35);
}

ReportLayout LayoutReport(const CVtrDoc& doc, const std::string& title, int pageWidth, int pageHeight,
                          const ReportMetrics& metrics) {
    ReportLayout r;
    const int W = pageWidth, H = pageHeight;
    r.pageWidth = W;
    r.pageHeight = H;
    ReportFontSizes(W, H, r.fontSizes);
    // Every band has the height of the header font's line, whatever its font.
    const int lh = metrics.LineHeight(ReportFont::Header);
    r.lineHeight = lh;

    r.headerLeft = 0;
    r.headerRight = W;
    r.headerTop = H;
    r.headerBottom = H - lh;
    r.texts.push_back({ReportFont::Header, 0, W, H, H - lh, kReportHeader, true, true});
    r.texts.push_back({ReportFont::Body, 0, W, H - lh, H - 2 * lh, title, true, false});

    int y = static_cast<int>(std::floor(0.95 * H));
    auto line = [&](ReportFont font, int right, const std::string& text, int textLeft = left) {
        r.texts.push_back({font, textLeft, right, y, y - lh, text, false, false});
    };
    auto next = [&] { y -= lh; };

    const int groupRight = static_cast<int>(std::floor(0.48 * W));
    line(ReportFont::Heading, groupRight, "Kondensatorgruppen:");
    next();
    next();
    const CCircuitBoard& b = doc.board();
    if (const CLayer* plane = doc.plane()) {
        for (const auto& g : plane->capacitorGroups) {
            line(ReportFont::Body, groupRight,
                 g->name + "    Position: X=" + FormatValue(g->posX, "m") + ",Y=" + FormatValue(g->posY, "m"));
            next();
            const int n = g->ElementCount() - 1;
            for (int i = 1; i <= n; ++i) {
                const CCapa& c = g->Capacitor(n - i + 1);
                const std::string value = "C" + std::to_string(i) + "= " + FormatValue(c.capacitance, "F, ");
                line(ReportFont::Body, groupRight, value);
                line(ReportFont::Body, groupRight, c.shape.name, left + metrics.TextWidth(ReportFont::Body, value));
                next();
            }
            next();
        }
    }

    line(ReportFont::Heading, W, "Layout:");
    next();
    next();
    const CLayer* plane = doc.plane();
    const std::vector<std::string> lines = {
        "Länge: " + FormatValue(plane != nullptr ? plane->planeLength : b.length, "m"),
        "Breite: " + FormatValue(plane != nullptr ? plane->planeWidth : b.width, "m"),
        "Substratdicke zwischen Vcc und GND: " + FormatValue(b.planeSpacing, "m"),
        "Substratdicke zwischen Vcc-GND-System und Bestückungsseite: " + FormatValue(b.mountingDepth, "m"),
        "Epsilon-R: " + Printf("%.1f", b.epsilonR),
        "Tan(delta): " + Printf("%.3f", b.tanDelta),
        "Metallsierungsdicke: " + FormatValue(b.metalThickness, "m"),
        "Abstand Vcc-Via zu GND-Via (Center-Center): " + FormatValue(b.viaSpacing, "m"),
        "Anzahl der Vias pro Seite und Kondensator: " + std::to_string(b.viasPerSide),
    };
    for (const std::string& text : lines) {
        line(ReportFont::Body, W, text);
        next();
    }
    return r;
}

}  // namespace vantor
