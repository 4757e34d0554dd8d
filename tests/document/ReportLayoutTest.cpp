// The report's layout description for a design with two groups, checked
// against the rules of the printed report: bands, fonts, texts, order.

#include <gtest/gtest.h>

#include <cmath>

#include "DesignReport.h"
#include "PlaneEdits.h"
#include "RecordingInteraction.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor {
namespace {

// Fixed metrics: the header line is 60 units, every character 10 wide.
class FixedMetrics : public ReportMetrics {
public:
    int LineHeight(ReportFont font) const override { return font == ReportFont::Header ? 60 : 45; }
    int TextWidth(ReportFont, const std::string& text) const override { return 10 * int(text.size()); }
};

TEST(ReportLayout, TwoGroupsOnA4) {
    RegisterModelClasses();
    CSParameterDB db;
    RecordingInteraction ui;
    CVtrDoc doc(db, ui);
    RecordView form(doc.MainFormRecord());
    doc.AddView(form);
    doc.OnNewDocument();
    const CCGroup& g1 = *doc.newGroup();
    const CCGroup& g2 = *doc.newGroup();
    doc.moveGroup(&g2, 0.01, 0.02);
    while (g2.CapacitorCount() > 2) doc.removeCapacitor(g2, 1);
    const int n1 = g1.CapacitorCount();
    ASSERT_GE(n1, 2);

    const int W = 2100, H = 2970, lh = 60;
    const ReportLayout r = LayoutReport(doc, "design.vnt", W, H, FixedMetrics());
    // d = sqrt(2100^2 + 2970^2) = 3637.5...: 158, 121, 103 tenths of a point.
    EXPECT_EQ(r.fontSizes[0], 158);
    EXPECT_EQ(r.fontSizes[1], 121);
    EXPECT_EQ(r.fontSizes[2], 103);
    EXPECT_EQ(r.lineHeight, lh) << "the header font's line, for every band";
    EXPECT_EQ(r.headerTop, H);
    EXPECT_EQ(r.headerBottom, H - lh);
    EXPECT_EQ(r.headerRight, W);

    // The expected bands, top to bottom: {font, text, right edge}; an empty
    // text is an empty band.
    struct Line {
        ReportFont font;
        std::string text;
        int right;
    };
    const int half = int(std::floor(0.48 * W));
    std::vector<Line> body = {{ReportFont::Heading, "Kondensatorgruppen:", half}, {ReportFont::Body, "", 0}};
    for (const CCGroup* g : {&g1, &g2}) {
        body.push_back({ReportFont::Body, g->name + "    Position: X=" + FormatValue(g->posX, "m") + ",Y=" +
                                              FormatValue(g->posY, "m"),
                        half});
        const int n = g->CapacitorCount();
        for (int i = 1; i <= n; ++i) {
            const CCapa& c = g->Capacitor(n - i + 1);
            body.push_back({ReportFont::Body, "C" + std::to_string(i) + "= " + FormatValue(c.capacitance, "F, "), half});
            body.push_back({ReportFont::Body, "\t" + c.shape.name, half});  // same band, behind the value
        }
        body.push_back({ReportFont::Body, "", 0});
    }
    body.push_back({ReportFont::Heading, "Layout:", W});
    body.push_back({ReportFont::Body, "", 0});
    for (const char* t : {"Länge: 9.9cm", "Breite: 7.1cm", "Substratdicke zwischen Vcc und GND: 50um",
                          "Substratdicke zwischen Vcc-GND-System und Bestückungsseite: 1.1mm", "Epsilon-R: 4.4",
                          "Tan(delta): 0.022", "Metallsierungsdicke: 35um",
                          "Abstand Vcc-Via zu GND-Via (Center-Center): 500um",
                          "Anzahl der Vias pro Seite und Kondensator: 2"})
        body.push_back({ReportFont::Body, t, W});

    ASSERT_GE(r.texts.size(), 2u);
    EXPECT_EQ(r.texts[0].text, "Vantor V.4.01");
    EXPECT_EQ(r.texts[0].font, ReportFont::Header);
    EXPECT_TRUE(r.texts[0].centred && r.texts[0].white);
    EXPECT_EQ(r.texts[0].top, H);
    EXPECT_EQ(r.texts[1].text, "design.vnt");
    EXPECT_EQ(r.texts[1].font, ReportFont::Body);
    EXPECT_TRUE(r.texts[1].centred && !r.texts[1].white);
    EXPECT_EQ(r.texts[1].top, H - lh);
    EXPECT_EQ(r.texts[1].bottom, H - 2 * lh);

    int y = int(std::floor(0.95 * H));
    std::size_t t = 2;
    std::string previousValue;
    for (const Line& line : body) {
        if (line.text.empty()) {
            y -= lh;
            continue;
        }
        ASSERT_LT(t, r.texts.size()) << line.text;
        const ReportText& got = r.texts[t++];
        if (line.text[0] == '\t') {
            // The package name stands in the value's band, behind its text.
            y += lh;
            EXPECT_EQ(got.text, line.text.substr(1));
            EXPECT_EQ(got.left, 100 + 10 * int(previousValue.size()));
        } else {
            EXPECT_EQ(got.text, line.text);
            EXPECT_EQ(got.left, 100);
            previousValue = line.text;
        }
        EXPECT_EQ(got.font, line.font) << line.text;
        EXPECT_EQ(got.top, y) << line.text;
        EXPECT_EQ(got.bottom, y - lh) << line.text;
        EXPECT_EQ(got.right, line.right) << line.text;
        EXPECT_FALSE(got.centred || got.white) << line.text;
        y -= lh;
    }
    EXPECT_EQ(t, r.texts.size()) << "nothing more is printed (not the via diameter)";
}

}  // namespace
}  // namespace vantor
