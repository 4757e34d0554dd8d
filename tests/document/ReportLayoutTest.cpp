// The report's layout description for a design with two groups, checked
// against the rules of the printed page: font sizes from the page's
// diagonal, one band per line with no two overlapping, the groups in the
// left half, every capacitor's package behind its value. What the lines say
// and their order are read back from the printed PDF in the vantor-cli tests.

#include <gtest/gtest.h>

#include <cmath>

#include "DesignReport.h"
#include "DocumentFixtures.h"

namespace vantor {
namespace {

// Fixed metrics: the header line is 60 units, every character 10 wide.
struct FixedMetrics : ReportMetrics {
    int LineHeight(ReportFont font) const override { return font == ReportFont::Header ? 60 : 45; }
    int TextWidth(ReportFont, const std::string& text) const override { return 10 * int(text.size()); }
};

TEST(ReportLayout, TwoGroupsOnA4) {
    test::Env e;
    CVtrDoc& doc = e.doc;
    doc.OnNewDocument();
    const CCGroup &g1 = *doc.newGroup(), &g2 = *doc.newGroup();
    doc.moveGroup(&g2, 0.01, 0.02);
    while (g2.CapacitorCount() > 2) doc.removeCapacitor(g2, 1);
    const int n1 = g1.CapacitorCount();
    ASSERT_GE(n1, 2);

    const int W = 2100, H = 2970, lh = 60;
    const ReportLayout r = LayoutReport(doc, "design.vnt", W, H, FixedMetrics());
    // d = sqrt(2100^2 + 2970^2) = 3637.5...: 158, 121, 103 tenths of a point.
    EXPECT_EQ(std::vector<int>(r.fontSizes, r.fontSizes + 3), (std::vector<int>{158, 121, 103}));
    EXPECT_EQ(r.lineHeight, lh) << "the header font's line, for every band";
    // The header band across the top: the program, below it the file, centred.
    EXPECT_EQ(std::vector<int>({r.headerLeft, r.headerRight, r.headerTop, r.headerBottom}),
              std::vector<int>({0, W, H, H - lh}));
    ASSERT_GE(r.texts.size(), 2u);
    EXPECT_TRUE(r.texts[0].text == kReportHeader && r.texts[0].font == ReportFont::Header && r.texts[0].white);
    EXPECT_TRUE(r.texts[1].text == "design.vnt" && r.texts[1].top == H - lh && !r.texts[1].white);
    EXPECT_TRUE(r.texts[0].centred && r.texts[1].centred);

    const int half = int(std::floor(0.48 * W));
    bool layout = false;
    int values = 0, packages = 0, layoutLines = 0;
    for (std::size_t t = 2; t < r.texts.size(); ++t) {
        const ReportText &got = r.texts[t], &before = r.texts[t - 1];
        SCOPED_TRACE(got.text);
        layout = layout || got.text == "Layout:";
        const bool heading = got.text.back() == ':';
        EXPECT_EQ(got.font, heading ? ReportFont::Heading : ReportFont::Body);
        EXPECT_EQ(got.top - got.bottom, lh);
        EXPECT_GE(got.bottom, 0);
        EXPECT_EQ(got.right, layout ? W : half) << "the groups in the left half";
        EXPECT_FALSE(got.centred || got.white);
        if (got.top == before.top) {
            // A package name shares its value's band, just behind the value.
            ++packages;
            EXPECT_EQ(got.left, before.left + 10 * int(before.text.size()));
        } else {
            EXPECT_LE(got.top, before.bottom) << "overlaps the band above";
            EXPECT_EQ(got.left, 100);
        }
        values += got.text.rfind('C', 0) == 0 && got.text.find("= ") != std::string::npos;
        layoutLines += layout && !heading;
    }
    EXPECT_EQ(values, n1 + 2);
    EXPECT_EQ(packages, values);
    EXPECT_EQ(layoutLines, 9) << "the board's nine values, not the via diameter";
}

}  // namespace
}  // namespace vantor
