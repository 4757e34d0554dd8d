// What the views decide without drawing: the main form's transfer state,
// slot mapping, value and choke lists and reached Fmax; the graph's axis
// limits, unit check, read-out and curves; the layer editor's hit test and
// cut-out drag.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "DesignAccess.h"
#include "DocumentFixtures.h"
#include "FrequencyRangeFields.h"
#include "GraphAxis.h"
#include "GraphTraces.h"
#include "LayerEditLogic.h"
#include "MainFormLogic.h"
#include "PackageTable.h"
#include "PlaneEdits.h"
#include "Values.h"

namespace vantor {
namespace {

// An optimised new design.
struct Env : test::Env {
    Env() { doc.OnNewDocument(); }
    int State() { return doc.MainForm()->transferState; }
};

TEST(MainFormLogic, SlotCkShowsElementNPlusOneMinusK) {
    // A group whose list holds 10nF, 100nF, 1uF after the plane entry.
    CCGroup g = test::MakeGroup("G", 0, 0, 0);
    for (double c : {10e-9, 100e-9, 1e-6}) g.Append(g.NewCapacitor(c));
    SlotTexts want{"1uF", "100nF", "10nF"};
    std::fill(want.begin() + 3, want.end(), kEmptySlot);
    EXPECT_EQ(GroupSlotTexts(&g), want);
    EXPECT_EQ(ParseValue(GroupSlotTexts(&g, true)[1]), 100e-9);  // exact texts read back unchanged
    EXPECT_EQ(GroupSlotTexts(nullptr)[0], kEmptySlot);
    // "Neu": the first free slot and the last occupied one insert at 1.
    const int cases[][3] = {{3, 4, 1}, {3, 3, 1}, {3, 1, 2}, {0, 1, 1}, {5, 2, 3}};  // n, k, position
    for (const auto& [n, k, position] : cases) EXPECT_EQ(InsertPosition(n, k), position) << n << " " << k;
}

TEST(MainFormLogic, TransferStateFollowsTheFormsActions) {
    Env e;
    // A view redrawing during the command must already see the new state.
    struct Seen : DocumentView {
        explicit Seen(CVtrDoc& d) : doc(d) {}
        void OnUpdate(ChangeHint) override { states.push_back(doc.MainForm()->transferState); }
        CVtrDoc& doc;
        std::vector<int> states;
    } seen(e.doc);
    e.doc.AddView(seen);
    EXPECT_EQ(e.State(), kNothingTransferred);
    EXPECT_EQ(ChokeSearchRefusal(e.doc), kMessageTransferFirst);
    ASSERT_NE(NewGroupFromForm(e.doc), nullptr);
    EXPECT_EQ(e.State(), kChangedSinceTransfer);
    ASSERT_TRUE(TransferToFilter(e.doc));
    EXPECT_EQ(e.State(), kTransferred);
    EXPECT_EQ(seen.states, (std::vector<int>{kChangedSinceTransfer, kTransferred}));
    EXPECT_EQ(ChokeSearchRefusal(e.doc), "");
    // A refused slot or filter field leaves the state.
    SlotTexts slots = GroupSlotTexts(e.doc.currentGroup(), true);
    slots[0] = "0";
    EXPECT_EQ(WriteSlotValues(e.doc, slots)->key, FieldKey(SlotField::C1));
    EXPECT_EQ(e.State(), kTransferred);
    slots[0] = "22uF", DesignAccess::Filter(e.doc).fUpper = 0;
    EXPECT_EQ(WriteSlotValues(e.doc, slots)->message, "Fehler: 0Hz < Fo < 3GHz !");
    DesignAccess::Filter(e.doc).fUpper = 3e8;
    EXPECT_FALSE(WriteSlotValues(e.doc, slots));
    EXPECT_DOUBLE_EQ(DesignAccess::CurrentGroup(e.doc)->Last().capacitance, 22e-6);
    EXPECT_EQ(e.State(), kChangedSinceTransfer);
    ASSERT_TRUE(TransferToFilter(e.doc));
    test::OnePass<CapacitorFields> cancel, ok([](CapacitorFields&) {});
    EXPECT_FALSE(EditDefaultPackage(e.doc, cancel));
    EXPECT_EQ(e.State(), kTransferred);
    EXPECT_TRUE(EditDefaultPackage(e.doc, ok));
    EXPECT_EQ(e.State(), kNothingTransferred);
    EXPECT_EQ(seen.states.back(), kNothingTransferred);
    e.doc.RemoveView(seen);
}

TEST(MainFormLogic, ValueComboListPlacesTheSlotValue) {
    // around: the entries above, at and below the selected one.
    // clang-format off
    const std::tuple<const char*, bool, std::size_t, const char*> cases[] = {
        {"120nF", true, 40, "150nF|120nF *|100nF"}, {"120nF", false, 77, "150nF|120nF|100nF"},
        {"100nF", true, 39, "150nF|100nF|68nF"}, {"22uF", true, 39, "|22uF|15uF"},
        {"47uF", true, 40, "|47uF *|22uF"}, {"10pF", false, 77, "12pF|10pF|"}};
    // clang-format on
    for (const auto& [text, e6, size, around] : cases) {
        const ValueComboList l = BuildValueComboList(text, e6);
        ASSERT_EQ(l.entries.size(), size) << text;
        const auto at = [&](int i) { return i < 0 || i >= int(l.entries.size()) ? std::string() : l.entries[i]; };
        EXPECT_EQ(at(l.selected - 1) + "|" + at(l.selected) + "|" + at(l.selected + 1), around);
    }
    // Below the series the value is never placed; an empty slot has no list.
    const ValueComboList below = BuildValueComboList("5pF", true);
    EXPECT_EQ(below.entries.size(), E6Series().size());
    EXPECT_EQ(below.entries.front() + std::to_string(below.selected), "22uF0");
    EXPECT_TRUE(BuildValueComboList(kEmptySlot, true).entries.empty());
}

TEST(MainFormLogic, ChokeListIsSortedAndSelectsTheChosenCandidate) {
    CFilter f;
    const ChokeList none = BuildChokeList(f);
    ASSERT_EQ(none.entries.size(), 1u);
    EXPECT_EQ(none.entries[0].text + none.maker, kNoChokeEntry);
    CSParaSet z, m;
    z.name = "Z1", m.name = "M3";
    std::unique_ptr<CSParaSet> a = test::TestChoke();
    a->partNumber = "742", f.candidates = {&z, a.get(), &m}, f.selected = 1;
    const ChokeList l = BuildChokeList(f);
    ASSERT_EQ(l.entries.size(), 3u);
    EXPECT_EQ(l.entries[0].text + "|" + l.entries[1].text + "|" + l.entries[2].text, "L-Test (742)|M3|Z1");
    EXPECT_EQ(l.entries[std::size_t(l.selected)].candidate, 1);
    EXPECT_EQ(l.maker + "|" + l.type + "|" + l.package, "Würth|Ferrit|0805");
    EXPECT_EQ(std::pair(FindCandidate(f, "M3"), FindCandidate(f, "m3")), std::pair(2, -1));
}

TEST(MainFormLogic, FmaxIsWhereTheImpedanceLeavesTheUpperLimit) {
    // A successful optimisation keeps |Z| within the limits up to fo.
    Env e;
    EXPECT_EQ(ReachedFmax(e.doc.optimisationGroup()), e.doc.optimisationGroup().fo);
    // Lowered upper lines: an anti-resonance peak breaks them below fo. At
    // Fmax |Z| meets the line and just above it |Z| is over the line.
    CCGroup g(e.doc.optimisationGroup());
    int broken = 0;
    for (double scale = 0.9; scale > 0.05; scale -= 0.1) {
        g.zmaxFu = scale * e.doc.optimisationGroup().zmaxFu, g.zmaxFo = scale * e.doc.optimisationGroup().zmaxFo;
        const double fmax = ReachedFmax(g);
        if (fmax == 0.0 || fmax == g.fo) continue;
        ++broken;
        double zmin = 0, zmax = 0;
        g.LimitLines(fmax, zmin, zmax);
        EXPECT_NEAR(g.GroupImpedanceMagnitude(fmax), zmax, 1e-6 * zmax) << scale;
        g.LimitLines(fmax * 1.001, zmin, zmax);
        EXPECT_GT(g.GroupImpedanceMagnitude(fmax * 1.001), zmax) << scale;
    }
    EXPECT_GT(broken, 0);
    // Nothing is reached without capacitors or without a corner frequency.
    EXPECT_EQ(ReachedFmax(test::MakeGroup("", 0, 0, 0)), 0.0);
    CCGroup one = test::MakeGroup("", 1, 0, 0);
    one.fo = 0;
    EXPECT_EQ(ReachedFmax(one), 0.0);
    EXPECT_EQ(FmaxFieldText(5e9) + "|" + FmaxFieldText(650.1e6), "3GHz|650.1MHz");
}

CGraphTrace Trace(const char* yUnit, std::vector<std::pair<double, double>> points, int visible = 1,
                  const char* name = "T") {
    CGraphTrace t(name, "Hz", yUnit, "");
    t.visible = visible;
    for (auto [x, y] : points) t.points.emplace_back(x, y);
    return t;
}

TEST(GraphAxis, LimitsRoundToReadableValuesOverCurvesOfOneUnit) {
    // clang-format off
    struct Case { double yLow, yHigh, xLow, xHigh, yMin, yMax, xMin, xMax; };
    const Case cases[] = {{0.123, 3.7, 1.5e6, 730e6, 0.1, 4, 1e6, 750e6}, {0.123, 3.2, 0, 1e9, 0.1, 3.5, 0, 1e9},
                          {0.5, 2, 2e6, 999e6, 0.5, 2, 2e6, 1e9}, {-37.2, -0.31, 0, 1e9, -40, -0.3, 0, 1e9}};
    // clang-format on
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
    // Visible curves must share their units.
    EXPECT_EQ(CheckTraceUnits({Trace("Ohm", {}), Trace("dB", {})}), kMessageUnitsDiffer);
    EXPECT_FALSE(CheckTraceUnits({Trace("Ohm", {}), Trace("dB", {}, 0)}));
    EXPECT_FALSE(CheckTraceUnits({Trace("Ohm", {}), Trace("Ohm", {})}));
}

TEST(GraphAxis, UntrustedPointsSpanTheFrequenciesButNotTheYAxis) {
    // A probe curve under 1 Ohm in the solved band, extrapolated to 100 Ohm
    // outside it (flag 0), and an "Approx" curve that is untrusted above fo.
    CGraphTrace probe = Trace("Ohm", {{1e6, 100}, {1e7, 0.62}, {1e8, 0.04}, {1e9, 80}});
    probe.points.front().flag = probe.points.back().flag = 0;
    CGraphTrace approx = Trace("Ohm", {{1e6, 0.3}, {1e9, 12}});
    approx.points.back().flag = 0;
    for (bool log : {false, true}) {
        const GraphScale s = ScaleGraph({probe, approx}, log);
        EXPECT_DOUBLE_EQ(s.limits.xMin, 1e6) << log;
        EXPECT_DOUBLE_EQ(s.limits.xMax, 1e9) << log;
        EXPECT_DOUBLE_EQ(s.limits.yMax, log ? 1.0 : 0.65) << log;
        EXPECT_DOUBLE_EQ(s.limits.yMin, log ? 0.01 : 0.04) << log;
    }
    // Without a trusted point the curves still get their axis.
    CGraphTrace untrusted = Trace("Ohm", {{1e6, 0.5}, {1e9, 3.2}});
    for (CTracePoint& p : untrusted.points) p.flag = 0;
    EXPECT_EQ(GraphAxisLimits({untrusted}).yMax, 3.5);
}

TEST(GraphAxis, LogAxesSpanWholeDecadesOfThePositiveValues) {
    // clang-format off
    struct Case {
        std::vector<std::pair<double, double>> points;
        const char* yUnit;
        bool yAuto;
        AxisLimits want;
        bool logY;
    };
    const Case cases[] = {
        {{{0, 1e-61}, {2e6, 0.012}, {730e6, 3.7}}, "Ohm", true, {1e6, 0.01, 1e9, 10}, true},  // 0 Hz has no place
        {{{1e6, 0.1}, {1e8, 1}}, "Ohm", true, {1e6, 0.1, 1e8, 1}, true},                      // exact decades stay
        {{{1e6, 0.2}, {1e8, 0.3}}, "Ohm", false, {1e6, 0.1, 1e8, 0.5}, true},                 // fixed top
        {{{1e6, -37.2}, {1e9, -0.31}}, "dB", true, {1e6, -40, 1e9, -0.3}, false},             // dB stays linear
        {{{1e6, 1e-3}, {1e6, 1e-3}}, "Ohm", true, {1e6, 1e-3, 1e7, 1e-2}, true},              // one value: one decade
    };
    for (const Case& c : cases) {
        const GraphScale s = ScaleGraph({Trace(c.yUnit, c.points)}, true, c.yAuto, 0.5);
        EXPECT_TRUE(s.logX);
        EXPECT_EQ(s.logY, c.logY) << c.yUnit;
        const AxisLimits& l = s.limits;
        const std::pair<double, double> limits[] = {
            {l.xMin, c.want.xMin}, {l.xMax, c.want.xMax}, {l.yMin, c.want.yMin}, {l.yMax, c.want.yMax}};
        for (auto [got, want] : limits) EXPECT_NEAR(got, want, 1e-12 * std::fabs(want)) << c.points.back().second;
    }
    // Linear unless asked; no visible curve stays all zero.
    const GraphScale linear = ScaleGraph({Trace("Ohm", {{1e6, 0.2}, {1e8, 3.2}})}, false);
    EXPECT_FALSE(linear.logX || linear.logY);
    EXPECT_EQ(linear.limits.yMax, 3.5);
    const GraphScale hidden = ScaleGraph({Trace("Ohm", {{1e6, 0.2}}, 0)}, true);
    EXPECT_EQ(hidden.limits.xMax + hidden.limits.yMax, 0.0);
}

TEST(GraphTraces, CsvHasOneColumnPerVisibleCurveOverAllTheirFrequencies) {
    const std::vector<CGraphTrace> traces = {Trace("Ohm", {{0, 1.5}, {5e8, 0.25}}, 1, "Sonde, links"),
                                             Trace("Ohm", {{7, 7}}, 0), Trace("dB", {{1e6, -3}, {5e8, -40.125}}, 1, "Filter")};
    EXPECT_EQ(GraphTracesCsv(traces),
              "f_Hz,\"Sonde, links_Ohm\",Filter_dB\n"
              "0,1.5,\n"
              "1000000,,-3\n"
              "500000000,0.25,-40.125\n");
}

TEST(GraphAxis, FrequencyRangeDialogStepAndChecks) {
    using F = FrequencyRangeFields;
    using K = FrequencyRangeField;
    const char* const tooHigh = "Maximal mögliche Frequenz in Vantor: 3GHz";
    // clang-format off
    struct Case { F fields; const char* step; FieldKey field; /* none: accepted */ const char* message; };
    const Case cases[] = {
        {{"1MHz", "1GHz", "999"}, "1MHz", {}, ""},
        {{"1GHz", "1GHz", "500"}, "---------", K::Start, "Fehler: Fstart muß < 1GHz sein!"},
        {{"0", "3GHz", "0"}, "3GHz", K::Steps, "Geben Sie eine ganze Zahl zwischen 2 und 5001 ein."},
        {{"0", "3GHz", "5001"}, "599.9kHz", {}, ""}, {{"0", "3.1GHz", "2"}, "1.6GHz", K::Stop, tooHigh},
        {{"0", "1e309", "2"}, nullptr, K::Stop, tooHigh}};
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(c.step ? c.fields.StepText() : "", c.step ? c.step : "") << c.fields.stop;
        const FieldCheck e = c.fields.Check();
        EXPECT_EQ(e ? e->key : FieldKey(), c.field) << c.fields.stop << " " << c.fields.steps;
        EXPECT_EQ(e ? e->message : "", c.message);
    }
    // The dialog's texts give the graph back its own axis.
    GraphViewRecord graph, back;
    back.stepCount = 7;
    F::FromGraph(graph).ApplyTo(back);
    EXPECT_EQ(std::tie(back.firstFrequency, back.lastFrequency, back.stepCount, back.frequencyStep),
              std::tie(graph.firstFrequency, graph.lastFrequency, graph.stepCount, graph.frequencyStep));
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

TEST(GraphTraces, TheDocumentsCurvesInTheGraphsOrder) {
    test::RichEnv env;
    CVtrDoc& doc = env.doc;
    const std::size_t probes = doc.board().currentLayer->probes.size();
    EXPECT_EQ(BuildGraphTraces(doc, 0, 1e9, 10).size(), probes + 1);  // no current group: no "Approx"
    DesignAccess::MainForm(doc)->currentGroupName = "Gruppe2";
    const std::vector<CGraphTrace> t = BuildGraphTraces(doc, 0, 1e9, 10);
    ASSERT_EQ(t.size(), probes + 2);
    EXPECT_EQ(t.front().name + "|" + t.back().name, std::string(kApproxTrace) + "|" + kFilterTrace);
    EXPECT_EQ(t[probes].caption, "|Z| (" + FormatValue(0.09, "m") + "," + FormatValue(0.06, "m") + ")");
    // 11 frequencies; the filter has one point per data point of the choke.
    EXPECT_EQ((std::vector<std::size_t>{t.front().points.size(), t[probes].points.size(), t.back().points.size()}),
              (std::vector<std::size_t>{11, 11, 2}));
    for (const CTracePoint& p : t.back().points) EXPECT_LE(p.y, 0.0);
    // Approx without capacitors is zero and not valid (valid up to fo is
    // checked through the tool's "approx" command).
    const CCGroup empty = test::MakeGroup("Leer", 0, 0, 0);
    const std::vector<double> f = GraphFrequencies(0, 1e9, 500);
    ASSERT_EQ(f.size(), 501u);
    for (const CGraphTrace& none : {ApproxTrace(&empty, f), ApproxTrace(nullptr, f)})
        for (const CTracePoint& p : none.points) EXPECT_EQ(p.y + p.flag, 0.0);

    // Log axes: one point per decade from 1 kHz; from 0 the grid starts at
    // the linear grid's first step. A range without decades stays linear.
    const std::vector<double> decades = LogGraphFrequencies(1e3, 1e9, 6);
    ASSERT_EQ(decades.size(), 7u);
    for (std::size_t i = 0; i < decades.size(); ++i)
        EXPECT_NEAR(decades[i], std::pow(10.0, 3 + int(i)), decades[i] * 1e-12);
    const std::vector<CGraphTrace> log = BuildGraphTraces(doc, 0, 1e9, 10, true);
    ASSERT_EQ(log.front().points.size(), 11u);
    EXPECT_NEAR(log.front().points.front().x, 1e8, 1);
    EXPECT_NEAR(log.front().points[5].x / log.front().points[4].x, std::pow(10.0, 0.1), 1e-12);
    EXPECT_EQ(log[probes].points.front().x, log.front().points.front().x);
    EXPECT_TRUE(LogGraphFrequencies(0, 0, 10).empty());
    EXPECT_EQ(BuildGraphTraces(doc, 0, 0, 10, true).front().points.size(), 11u);

    // A probe's points beyond the solved band are extrapolated: not trusted.
    CLayer& vcc = *DesignAccess::Board(doc).currentLayer;
    vcc.results.resultMaps.assign(4, vcc.results.resultMaps.front());
    vcc.results.resultLabels = {"10MHz", "20MHz", "30MHz", "Maximum"};
    std::vector<int> flags;
    for (const CTracePoint& p : ProbeTrace(*vcc.probes.front(), vcc, LogGraphFrequencies(1e6, 1e8, 4)).points)
        flags.push_back(p.flag);
    EXPECT_EQ(flags, (std::vector<int>{0, 0, 1, 0, 0}));
}

TEST(LayerEdit, HitTestOrderAndGroupSquare) {
    CLayer plane(nullptr, 0.1, 0.07, "Vcc");
    plane.probes.clear();
    plane.AddGroupAtCentre(test::MakeGroup("G", 1, 0, 0)).posX = 0.0;
    plane.capacitorGroups.back()->posY = 0.0;
    plane.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.02, 0.02, "Cutout1"));
    plane.cutOuts.back()->inactive = 1;
    // clang-format off
    struct Case { double x, y; const char* name; };
    const Case cases[] = {{0.0025, 0.0025, "G"}, {0.0025, 0.0, "G"}, {0.0026, 0.0, "Cutout1"}, {0.03, 0.03, ""}};
    // clang-format on
    for (const Case c : cases) EXPECT_EQ(HitTest(plane, c.x, c.y).Name(), c.name) << c.x << " " << c.y;
    plane.probes.push_back(std::make_unique<CProbe>(0.001, 0.0, "Probe1"));
    EXPECT_EQ(HitTest(plane, 0.0, 0.0).Name(), "Probe1");  // probes first
    CCutOut& c = *plane.cutOuts.back();
    DragCutOut(c, 0.005, -0.002);
    for (const auto& [got, want] : {std::pair{c.x1, 0.005}, {c.x2, 0.025}, {c.y1, -0.002}, {c.y2, 0.018}})
        EXPECT_DOUBLE_EQ(got, want);
}

}  // namespace
}  // namespace vantor
