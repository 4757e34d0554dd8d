// The graph's curves, axis limits, unit check and read-out, and the layer
// editor's hit test and cut-out drag.

#include <gtest/gtest.h>

#include <cmath>

#include "DocumentFixtures.h"
#include "GraphAxis.h"
#include "GraphTraces.h"
#include "LayerEditLogic.h"
#include "RecordingInteraction.h"
#include "Values.h"

namespace vantor {
namespace {

CGraphTrace Trace(const char* yUnit, std::vector<std::pair<double, double>> points, int visible = 1) {
    CGraphTrace t("T", "Hz", yUnit, "");
    t.visible = visible;
    for (auto [x, y] : points) t.points.emplace_back(x, y);
    return t;
}

TEST(GraphAxis, LimitsRoundToReadableValues) {
    struct Case {
        double yLow, yHigh, xLow, xHigh;
        double yMin, yMax, xMin, xMax;
    };
    const Case cases[] = {
        {0.123, 3.7, 1.5e6, 730e6, 0.1, 4, 1e6, 750e6},
        {0.123, 3.2, 0, 1e9, 0.1, 3.5, 0, 1e9},
        {0.5, 2, 2e6, 999e6, 0.5, 2, 2e6, 1e9},
        {-37.2, -0.31, 0, 1e9, -40, -0.3, 0, 1e9},
    };
    for (const Case& c : cases) {
        const AxisLimits l = GraphAxisLimits({Trace("Ohm", {{c.xLow, c.yLow}, {c.xHigh, c.yHigh}})});
        EXPECT_NEAR(l.yMin, c.yMin, 1e-12 * std::fabs(c.yMin)) << c.yLow;
        EXPECT_NEAR(l.yMax, c.yMax, 1e-12 * std::fabs(c.yMax)) << c.yHigh;
        EXPECT_NEAR(l.xMin, c.xMin, 1e-6) << c.xLow;
        EXPECT_NEAR(l.xMax, c.xMax, 1e-6) << c.xHigh;
    }
    // Hidden curves do not count; with Y auto off the user's top holds.
    const std::vector<CGraphTrace> two = {Trace("Ohm", {{0, 0.2}, {1e9, 3.7}}), Trace("Ohm", {{0, 50}}, 0)};
    EXPECT_EQ(GraphAxisLimits(two).yMax, 4.0);
    EXPECT_EQ(GraphAxisLimits(two, false, 0.5).yMax, 0.5);
    const AxisLimits none = GraphAxisLimits({});
    EXPECT_EQ(none.xMin + none.xMax + none.yMin + none.yMax, 0.0);
}

TEST(GraphAxis, VisibleCurvesMustShareTheirUnits) {
    EXPECT_EQ(CheckTraceUnits({Trace("Ohm", {}), Trace("dB", {})}), kMessageUnitsDiffer);
    EXPECT_FALSE(CheckTraceUnits({Trace("Ohm", {}), Trace("dB", {}, 0)}));
    EXPECT_FALSE(CheckTraceUnits({Trace("Ohm", {}), Trace("Ohm", {})}));
}

TEST(GraphAxis, ReadoutNamesTheCapacitanceThatResonatesThere) {
    CCircuitBoard board;
    CCGroup g;
    g.defaultPackage.lser = 0.5e-9;
    const AxisLimits l{0, 0, 1e9, 2};
    const std::string text = MouseReadout(100e6, 1.2, l, &g, board);
    ASSERT_EQ(text.rfind(FormatValue(100e6, "Hz") + ", " + FormatValue(1.2, " "), 0), 0u) << text;
    const std::size_t at = text.find("C=");
    ASSERT_NE(at, std::string::npos) << text;
    // The shown C with the via loop and Lser resonates at the pointer's
    // frequency (to the one decimal the text keeps).
    const double c = ParseValue(text.substr(at + 2));
    const double f = 1.0 / (2 * M_PI * std::sqrt(c * (board.ViaLoopInductance(1) + 0.5e-9)));
    EXPECT_NEAR(f, 100e6, 3e6) << text;
    EXPECT_EQ(MouseReadout(100e6, 1.2, l, nullptr, board).find("C="), std::string::npos);
    EXPECT_EQ(MouseReadout(-5, -1, l, &g, board).find("C="), std::string::npos);  // held at x = 0
}

TEST(GraphTraces, ApproxIsValidUpToFoAndZeroWithoutCapacitors) {
    CCircuitBoard board;
    CCGroup g = test::MakeGroup("Gruppe1", 3, 0, 0);
    g.board = &board;
    g.fo = 400e6;
    const std::vector<double> f = GraphFrequencies(0, 1e9, 500);
    ASSERT_EQ(f.size(), 501u);
    const CGraphTrace t = ApproxTrace(&g, f);
    EXPECT_EQ(t.caption, "|Z| (Approx für Gruppe1)");
    EXPECT_EQ(t.Unit(1), "Ohm");
    for (const CTracePoint& p : t.points) {
        EXPECT_EQ(p.flag, p.x <= 400e6 ? 1 : 0) << p.x;
        EXPECT_EQ(p.y, g.GroupImpedanceMagnitude(p.x));
    }
    const CCGroup empty = test::MakeGroup("Leer", 0, 0, 0);
    for (const CGraphTrace& none : {ApproxTrace(&empty, f), ApproxTrace(nullptr, f)})
        for (const CTracePoint& p : none.points) EXPECT_EQ(p.y + p.flag, 0.0);
}

TEST(GraphTraces, TheDocumentsCurvesInTheGraphsOrder) {
    RegisterModelClasses();
    RecordingInteraction ui;
    CSParameterDB db;
    db.AddSet(test::TestChoke());
    CVtrDoc doc(db, ui);
    RecordView form(std::make_unique<MainFormState>());
    doc.AddView(form);
    test::FillRichDocument(doc, db);
    const std::size_t probes = doc.board.currentLayer->probes.size();
    EXPECT_EQ(BuildGraphTraces(doc, 0, 1e9, 10).size(), probes + 1);  // no current group: no "Approx"
    doc.MainForm()->currentGroupName = "Gruppe2";
    const std::vector<CGraphTrace> t = BuildGraphTraces(doc, 0, 1e9, 10);
    ASSERT_EQ(t.size(), probes + 2);
    EXPECT_EQ(t.front().name, kApproxTrace);
    EXPECT_EQ(t.front().points.size(), 11u);
    EXPECT_EQ(t[probes].name, "Sonde 3");
    EXPECT_EQ(t[probes].caption, "|Z| (" + FormatValue(0.09, "m") + "," + FormatValue(0.06, "m") + ")");
    EXPECT_EQ(t[probes].points.size(), 11u);
    EXPECT_EQ(t.back().name, kFilterTrace);
    EXPECT_EQ(t.back().caption, "Filterdämpfung");
    EXPECT_EQ(t.back().points.size(), 2u);  // one point per data point of the choke
    for (const CTracePoint& p : t.back().points) EXPECT_LE(p.y, 0.0);
}

TEST(LayerEdit, HitTestOrderAndGroupSquare) {
    CLayer plane(nullptr, 0.1, 0.07, "Vcc");
    plane.probes.clear();
    CCGroup& g = plane.AddGroupAtCentre(test::MakeGroup("G", 1, 0, 0));
    g.name = "G";
    g.posX = 0.0;
    g.posY = 0.0;
    plane.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.02, 0.02, "Cutout1"));
    plane.cutOuts.back()->inactive = 1;
    struct Case { double x, y; const char* name; };
    for (const Case c : {Case{0.0025, 0.0025, "G"}, Case{0.0025, 0.0, "G"}, Case{0.0026, 0.0, "Cutout1"},
                         Case{0.03, 0.03, ""}}) {
        EXPECT_EQ(HitTest(plane, c.x, c.y).Name(), c.name) << c.x << " " << c.y;
    }
    plane.probes.push_back(std::make_unique<CProbe>(0.001, 0.0, "Probe1"));
    EXPECT_EQ(HitTest(plane, 0.0, 0.0).Name(), "Probe1");  // probes first

    CCutOut& c = *plane.cutOuts.back();
    DragCutOut(c, 0.005, -0.002);
    EXPECT_DOUBLE_EQ(c.x1, 0.005);
    EXPECT_DOUBLE_EQ(c.x2, 0.025);
    EXPECT_DOUBLE_EQ(c.y1, -0.002);
    EXPECT_DOUBLE_EQ(c.y2, 0.018);
}

}  // namespace
}  // namespace vantor
