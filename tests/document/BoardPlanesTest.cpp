#include <gtest/gtest.h>

#include "CCGroup.h"
#include "CCircuitBoard.h"
#include "LayoutDialog.h"
#include "RecordingInteraction.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor {
namespace {

const char* const kShrinkQuestion =
    "Einige Objekte liegen außerhalb der neuen Dimensionen!\nSollen die Änderungen übernommen und die Objekte "
    "entsprechend verschoben bzw.\nverkleinert werden?";

TEST(BoardPlanes, CopyKeepsValuesWithEmptyPlanesAndTheSolverPlaneIsTheFirstVcc) {
    CCircuitBoard b;
    b.epsilonR = 3.9;
    b.SolverLayer()->cutOuts.push_back(std::make_unique<CCutOut>(0, 0, 0.01, 0.01, "c"));
    const CCircuitBoard copy(b);
    EXPECT_DOUBLE_EQ(copy.epsilonR, 3.9);
    ASSERT_EQ(copy.layers.size(), 2u);
    for (const auto& l : copy.layers) {
        EXPECT_TRUE(l->cutOuts.empty());
        EXPECT_EQ(l->stackup(), &copy);
    }
    EXPECT_EQ(b.SolverLayer(), b.layers[1].get());
    b.layers[1]->name = "Power";
    EXPECT_EQ(b.SolverLayer(), b.layers[1].get()) << "no Vcc: the last plane";
    b.layers[0]->name = "Vcc";
    EXPECT_EQ(b.SolverLayer(), b.layers[0].get());
}

// A board that takes over the planes of another computes them, and the
// groups on them, with its own stack-up from then on, whatever becomes of
// the board they came from; that board's new planes compute with its values.
TEST(BoardPlanes, TakenOverPlanesAndTheirGroupsComputeWithTheBoardThatHoldsThem) {
    CCircuitBoard taker;
    auto giver = std::make_unique<CCircuitBoard>();
    giver->epsilonR = 3.3, giver->viaSpacing = 0.0012, giver->mountingDepth = 0.0004;
    CCGroup values;
    values.Append(CCGroup::PlaneCapacitanceEntry(*giver));
    for (double c : {4.7e-9, 100e-9}) values.Append(values.NewCapacitor(c));
    const CCGroup* placed = &giver->SolverLayer()->AddGroupAtCentre(values);
    EXPECT_EQ(placed->stackup(), giver.get());

    taker.TakeOver(*giver);
    ASSERT_EQ(taker.SolverLayer()->capacitorGroups.size(), 1u);
    EXPECT_EQ(taker.SolverLayer()->capacitorGroups[0].get(), placed) << "the group itself moved, no copy";
    EXPECT_EQ(taker.epsilonR, 3.3);
    for (const auto& l : giver->layers) EXPECT_EQ(l->stackup(), giver.get());

    // Both boards change afterwards; the taker's plane follows the taker only.
    giver->viaSpacing = 0.0003, giver->epsilonR = 9.0;
    taker.viaSpacing = 0.0008, taker.viasPerSide = 3;
    const CLayer& plane = *taker.SolverLayer();
    CCGroup reference(&taker), elsewhere(giver.get());
    reference.Assign(*placed), elsewhere.Assign(*placed);
    for (double f : {1e6, 8e7, 4e8}) {
        ASSERT_NE(reference.GroupAdmittance(f, 1), elsewhere.GroupAdmittance(f, 1)) << f;
        EXPECT_EQ(placed->GroupAdmittance(f, 1), reference.GroupAdmittance(f, 1)) << f;
    }
    EXPECT_EQ(plane.CellSizeFor(1e9, 2.0), PlaneMesh::CellSizeFor(3.3, 1e9, 2.0));
    EXPECT_NE(giver->SolverLayer()->CellSizeFor(1e9, 2.0), plane.CellSizeFor(1e9, 2.0));
    giver.reset();
    EXPECT_EQ(placed->GroupAdmittance(8e7, 1), reference.GroupAdmittance(8e7, 1)) << "the giver is gone";
}

// A board with one object of each kind near the far corner of its Vcc plane.
struct PopulatedBoard {
    CCircuitBoard b;
    CLayer& vcc = *b.SolverLayer();
    PopulatedBoard() {
        CCGroup& g = vcc.AddGroupAtCentre(CCGroup());
        g.posX = 0.090, g.posY = 0.030;
        vcc.cutOuts.push_back(std::make_unique<CCutOut>(0.050, 0.020, 0.080, 0.060, "Cutout1"));
        vcc.cutOuts.push_back(std::make_unique<CCutOut>(0.085, 0.010, 0.095, 0.015, "Cutout2"));
        vcc.probes[0]->x = 0.060, vcc.probes[0]->y = 0.065;
    }
};

TEST(BoardPlanes, AnyObjectOutsideCountsTheBorderAsInside) {
    PopulatedBoard p;
    const std::tuple<double, double, bool, const char*> cases[] = {
        {0.099, 0.071, false, "current size"},
        {0.095, 0.065, false, "every far edge exactly on the border"},
        {0.0949, 0.071, true, "cut-out 2 reaches beyond"},
        {0.099, 0.0649, true, "the probe lies beyond"},
        {0.2, 0.2, false, "enlarged"},
    };
    for (const auto& [length, width, outside, why] : cases)
        EXPECT_EQ(p.b.anyObjectOutside(length, width), outside) << why;
    p.vcc.capacitorGroups[0]->posX = 0.097;
    EXPECT_TRUE(p.b.anyObjectOutside(0.096, 0.071)) << "the group lies beyond";
}

TEST(BoardPlanes, ResizeMovesGroupsAndProbesAndShrinksOrDeletesCutOuts) {
    PopulatedBoard p;
    p.b.length = 0.070, p.b.width = 0.040, p.vcc.capacitorGroups[0]->posY = -0.01;
    p.b.resizeLayers();
    for (const auto& l : p.b.layers) EXPECT_EQ(std::pair(l->planeLength, l->planeWidth), std::pair(0.070, 0.040));
    EXPECT_DOUBLE_EQ(p.vcc.capacitorGroups[0]->posX, 0.070);
    EXPECT_DOUBLE_EQ(p.vcc.capacitorGroups[0]->posY, 0.0) << "a negative position is clamped onto the plane";
    ASSERT_EQ(p.vcc.cutOuts.size(), 1u) << "cut-out 2 starts beyond the new length";
    const CCutOut& c = *p.vcc.cutOuts[0];
    EXPECT_EQ(std::vector<double>({c.x1, c.y1, c.x2, c.y2}), std::vector<double>({0.050, 0.020, 0.070, 0.040}));
    EXPECT_EQ(std::pair(p.vcc.probes[0]->x, p.vcc.probes[0]->y), std::pair(0.060, 0.040));
}

// Types new texts into the layout dialog (none: leaves it as shown), then presses OK.
struct FakeLayoutDialog : LayoutDialog {
    FakeLayoutDialog(std::string l = {}, std::string w = {}) : length(std::move(l)), width(std::move(w)) {}
    bool exec(LayoutFields& f) override {
        if (!length.empty()) f.length = length;
        if (!width.empty()) f.width = width;
        if (!length.empty() || !width.empty()) f.UpdateMaxFrequency();
        return !f.Check();
    }
    std::string length, width;
};

TEST(BoardPlanes, EditParametersAsksOnlyWhenShrinkingBelowObjects) {
    // clang-format off
    struct Case { const char *length, *width; Answer answer; bool applied; std::size_t questions; const char* why; };
    // clang-format on
    const Case cases[] = {
        {"120mm", "80mm", Answer::No, true, 0, "enlarging never asks"},
        {"70mm", "40mm", Answer::No, false, 1, "No keeps the old board"},
        {"70mm", "40mm", Answer::Yes, true, 1, "Yes applies and moves"},
    };
    for (const auto& c : cases) {
        PopulatedBoard p;
        RecordingInteraction ui;
        ui.script(c.answer);
        FakeLayoutDialog dialog(c.length, c.width);
        EXPECT_EQ(p.b.editParameters(dialog, ui), c.applied) << c.why;
        EXPECT_EQ(ui.questionCount(), c.questions) << c.why;
        EXPECT_EQ(c.questions ? ui.events().front().text : kShrinkQuestion, kShrinkQuestion);
        EXPECT_DOUBLE_EQ(p.vcc.planeWidth, c.applied ? ParseValue(c.width) : 0.071) << c.why;
        EXPECT_EQ(p.vcc.cutOuts.size(), c.applied && c.questions ? 1u : 2u) << c.why;
    }
}

TEST(BoardPlanes, EditParametersKeepsUntouchedValuesExactlyAndPutsTheLongerSideFirst) {
    CCircuitBoard b;
    RecordingInteraction ui;
    const double carried = b.maxFrequency;  // shown rounded as "650.1MHz"
    FakeLayoutDialog ok;
    EXPECT_TRUE(b.editParameters(ok, ui));
    EXPECT_EQ(b.maxFrequency, carried);
    FakeLayoutDialog swapped("50mm", "80mm");
    EXPECT_TRUE(b.editParameters(swapped, ui));
    EXPECT_DOUBLE_EQ(b.length, 0.08);
    EXPECT_DOUBLE_EQ(b.width, 0.05);
    EXPECT_EQ(ui.questionCount(), 0u);
}

}  // namespace
}  // namespace vantor
