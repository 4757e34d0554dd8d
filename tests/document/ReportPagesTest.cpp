// What the report's pages after the first hold, computed without drawing:
// which pages a design gets, the parts list, and where curves leave the
// target band.

#include <gtest/gtest.h>

#include <tuple>

#include "BillOfMaterials.h"
#include "CLayer.h"
#include "DesignAccess.h"
#include "DocumentFixtures.h"
#include "ReportPages.h"
#include "TargetBand.h"

namespace vantor {
namespace {

using test::Env;
using test::MakeGroup;

// A group with the plane entry and the given capacitances, all in the
// default package.
CCGroup GroupOf(const std::string& name, const std::vector<double>& values) {
    CCGroup g = MakeGroup(name, 0, 0, 0);
    for (double c : values) g.Append(g.NewCapacitor(c));
    return g;
}

std::vector<ReportPage> PagesOf(const CVtrDoc& doc) { return ReportPagesOf(doc); }

TEST(ReportPages, FollowTheDataTheDesignHas) {
    Env e(true);
    e.doc.OnNewDocument();
    EXPECT_EQ(PagesOf(e.doc), std::vector<ReportPage>{ReportPage::Analysis}) << "a new design: parameters only";
    // Its analysis page says the results are missing; 2.7e8 / (2 * 0.099 m *
    // sqrt(4.4)) = 650.09 MHz is the default board's first resonance.
    const std::vector<ReportLine> lines = AnalysisLines(e.doc);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, kNoResultsSentence);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const ReportLine& l) {
        return l.text == "Erste Ebenenresonanz (Schätzung): 650.1MHz";
    }));

    e.doc.newGroup();
    EXPECT_EQ(PagesOf(e.doc),
              (std::vector<ReportPage>{ReportPage::Impedance, ReportPage::Analysis, ReportPage::Parts}));

    CLayer& plane = *DesignAccess::Plane(e.doc);
    plane.results.resultMaps = {ComplexMatrix(2, 2, {0.1, 0}), ComplexMatrix(2, 2, {0.1, 0})};
    plane.results.resultLabels = {"100MHz", "Maximum"};
    DesignAccess::Filter(e.doc).candidates = {e.db.Find("L-Test")};
    EXPECT_EQ(PagesOf(e.doc), (std::vector<ReportPage>{ReportPage::Impedance, ReportPage::Map, ReportPage::Analysis,
                                                       ReportPage::Parts, ReportPage::Filter}));
}

TEST(BillOfMaterials, CountsRepeatedValuesPerGroupAndInTotalAndNamesTheChosenChoke) {
    Env e(true);
    CLayer& plane = *DesignAccess::Plane(e.doc);
    plane.AddGroupAtCentre(GroupOf("A", {1e-9, 10e-9, 100e-9})).name = "A";
    // 10.000001 nF prints as 10 nF: the same part to order.
    plane.AddGroupAtCentre(GroupOf("B", {10.000001e-9, 100e-9, 100e-9})).name = "B";
    plane.AddGroupAtCentre(GroupOf("C", {})).name = "C";
    // The same value in another package is another part.
    CCGroup& d = plane.AddGroupAtCentre(GroupOf("D", {10e-9}));
    d.name = "D", d.Capacitor(1).shape.name = "2012(0805) X7R-Keramik", d.Capacitor(1).shape.bodyLength = 2e-3;

    const BillOfMaterials bom = MakeBillOfMaterials(e.doc);
    EXPECT_EQ(bom.groups, (std::vector<std::string>{"A", "B", "C", "D"}));
    // clang-format off
    struct Row { double c; std::string package; std::vector<int> perGroup; int total; };
    const std::vector<Row> expected = {{1e-9, "1005(0402)", {1, 0, 0, 0}, 1}, {10e-9, "1005(0402)", {1, 1, 0, 0}, 2},
                                       {10e-9, "2012(0805)", {0, 0, 0, 1}, 1}, {100e-9, "1005(0402)", {1, 2, 0, 0}, 3}};
    // clang-format on
    ASSERT_EQ(bom.capacitors.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const CapacitorPart& p = bom.capacitors[i];
        const Row& want = expected[i];
        EXPECT_DOUBLE_EQ(p.capacitance, want.c) << i;
        EXPECT_EQ(std::tie(p.package, p.perGroup, p.total), std::tie(want.package, want.perGroup, want.total)) << i;
        EXPECT_EQ(p.dielectric, "X7R-Keramik") << i;
        EXPECT_GT(p.esl, 0.0) << "the mounted inductance";
    }
    EXPECT_FALSE(bom.hasChoke);
    DesignAccess::Filter(e.doc).candidates = {e.db.Find("L-Test")};
    const BillOfMaterials withChoke = MakeBillOfMaterials(e.doc);
    ASSERT_TRUE(withChoke.hasChoke);
    const ChokePart& l = withChoke.choke;
    EXPECT_EQ(l.maker + "|" + l.type + "|" + l.package, "Würth|L-Test (742 792 040)|0805");
}

TEST(TargetBand, ExcursionsAreTheRangesAboveTheUpperLineUpToFo) {
    // Zmin 0.8 -> 1.0, Zmax 0.9 -> 1.2 Ohm from 0 Hz to fo = 1 GHz.
    const TargetBand band{1e9, 0.8, 0.9, 1.0, 1.2};
    EXPECT_DOUBLE_EQ(band.Upper(0), 0.9);
    EXPECT_DOUBLE_EQ(band.Upper(1e9), 1.2);
    EXPECT_DOUBLE_EQ(band.Lower(5e8), 0.9);

    CGraphTrace t("Probe1", "Hz", "Ohm", "");
    // {f, |Z|, trusted}
    const std::vector<std::tuple<double, double, int>> points = {{1e8, 0.85, 1}, {2e8, 2.0, 1},   {3e8, 2.0, 1},
                                                                 {4e8, 0.9, 1},  {4.5e8, 9.0, 0}, {5e8, 0.5, 1},
                                                                 {6e8, 0.95, 1}, {7e8, 3.0, 1},   {7.5e8, 0.1, 0},
                                                                 {8e8, 3.0, 1},  {1.1e9, 5.0, 1}};
    for (const auto& [f, z, trusted] : points) t.points.emplace_back(f, z, trusted);

    const std::vector<BandExcursion> found = BandExcursions(t, band);
    // Below the band (500 MHz) is no finding, nor is an untrusted point
    // alone (450 MHz); one inside a range does not cut it (750 MHz), and
    // nothing counts above fo.
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(std::tuple(found[0].from, found[0].to, found[1].from, found[1].to), std::tuple(2e8, 3e8, 7e8, 8e8));
    EXPECT_EQ(ExcursionText(found[0]), "Probe1 über Zmax von 200MHz bis 300MHz");
    EXPECT_EQ(ExcursionText(BandExcursion{"Probe1", 5.12e8, 5.12e8}), "Probe1 über Zmax bei 512MHz");

    EXPECT_TRUE(BandExcursions(t, TargetBand{}).empty()) << "a group without targets has no band";
}

}  // namespace
}  // namespace vantor
