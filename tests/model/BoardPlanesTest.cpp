#include <gtest/gtest.h>

#include <cmath>

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

TEST(BoardPlanes, NewBoardHasGndAndVccPlanesWithDefaultProbes) {
    CCircuitBoard b;
    ASSERT_EQ(b.layers.size(), 2u);
    EXPECT_EQ(b.layers[0]->name, "GND");
    EXPECT_EQ(b.layers[0]->groundFlag, 1);
    EXPECT_EQ(b.layers[1]->name, "Vcc");
    EXPECT_EQ(b.layers[1]->groundFlag, 0);
    EXPECT_EQ(b.currentLayer, b.layers[1].get());
    EXPECT_EQ(b.SolverLayer(), b.layers[1].get());
    for (const auto& l : b.layers) {
        EXPECT_EQ(l->board, &b);
        EXPECT_DOUBLE_EQ(l->planeLength, 0.099);
        EXPECT_DOUBLE_EQ(l->planeWidth, 0.071);
        ASSERT_EQ(l->probes.size(), 2u);
        EXPECT_EQ(l->probes[0]->name, "Probe1");
        EXPECT_DOUBLE_EQ(l->probes[0]->x, 0.0495);
        EXPECT_DOUBLE_EQ(l->probes[0]->y, 0.0355);
        EXPECT_EQ(l->probes[1]->name, "Probe2");
        EXPECT_DOUBLE_EQ(l->probes[1]->x, 0.02475);
        EXPECT_DOUBLE_EQ(l->probes[1]->y, 0.01775);
        EXPECT_FALSE(l->HasResults());
    }
}

TEST(BoardPlanes, CopyKeepsValuesWithEmptyPlanes) {
    CCircuitBoard b;
    b.epsilonR = 3.9;
    b.SolverLayer()->cutOuts.push_back(std::make_unique<CCutOut>(0, 0, 0.01, 0.01, "c"));
    const CCircuitBoard copy(b);
    EXPECT_DOUBLE_EQ(copy.epsilonR, 3.9);
    ASSERT_EQ(copy.layers.size(), 2u);
    EXPECT_EQ(copy.currentLayer, nullptr);
    for (const auto& l : copy.layers) {
        EXPECT_EQ(l->name, "");
        EXPECT_EQ(l->planeLength, 0.0);
        EXPECT_TRUE(l->cutOuts.empty());
        EXPECT_EQ(l->probes.size(), 2u);
        EXPECT_EQ(l->board, &copy);
    }
}

TEST(BoardPlanes, SolverLayerFallsBackToTheLastPlane) {
    CCircuitBoard b;
    b.layers[1]->name = "Power";
    EXPECT_EQ(b.SolverLayer(), b.layers[1].get());
    b.layers[1]->name = "Vcc";
    b.layers[0]->name = "Vcc";
    EXPECT_EQ(b.SolverLayer(), b.layers[0].get()) << "the first match wins";
}

// A board with one object of each kind near the far corner of its Vcc plane.
struct PopulatedBoard {
    CCircuitBoard b;
    CLayer& vcc = *b.SolverLayer();
    PopulatedBoard() {
        CCGroup g;
        g.name = "Gruppe1";
        vcc.AddGroupAtCentre(g);
        vcc.capacitorGroups[0]->posX = 0.090;
        vcc.capacitorGroups[0]->posY = 0.030;
        vcc.cutOuts.push_back(std::make_unique<CCutOut>(0.050, 0.020, 0.080, 0.060, "Cutout1"));
        vcc.cutOuts.push_back(std::make_unique<CCutOut>(0.085, 0.010, 0.095, 0.015, "Cutout2"));
        vcc.probes[0]->x = 0.060;
        vcc.probes[0]->y = 0.065;
    }
};

TEST(BoardPlanes, AnyObjectOutsideCountsTheBorderAsInside) {
    PopulatedBoard p;
    struct Case {
        double length, width;
        bool outside;
        const char* why;
    };
    const Case cases[] = {
        {0.099, 0.071, false, "current size"},
        {0.095, 0.065, false, "every far edge exactly on the border"},
        {0.0949, 0.071, true, "cut-out 2 reaches beyond"},
        {0.099, 0.0649, true, "the probe lies beyond"},
        {0.2, 0.2, false, "enlarged"},
    };
    for (const auto& c : cases) EXPECT_EQ(p.b.anyObjectOutside(c.length, c.width), c.outside) << c.why;
    p.vcc.capacitorGroups[0]->posX = 0.097;
    EXPECT_TRUE(p.b.anyObjectOutside(0.096, 0.071)) << "the group lies beyond";
}

TEST(BoardPlanes, ResizeMovesGroupsAndProbesAndShrinksOrDeletesCutOuts) {
    PopulatedBoard p;
    p.b.length = 0.070;
    p.b.width = 0.040;
    p.b.resizeLayers();
    for (const auto& l : p.b.layers) {
        EXPECT_DOUBLE_EQ(l->planeLength, 0.070);
        EXPECT_DOUBLE_EQ(l->planeWidth, 0.040);
    }
    const CCGroup& g = *p.vcc.capacitorGroups[0];
    EXPECT_DOUBLE_EQ(g.posX, 0.070);
    EXPECT_DOUBLE_EQ(g.posY, 0.030);
    ASSERT_EQ(p.vcc.cutOuts.size(), 1u) << "cut-out 2 starts beyond the new length";
    EXPECT_EQ(p.vcc.cutOuts[0]->name, "Cutout1");
    EXPECT_DOUBLE_EQ(p.vcc.cutOuts[0]->x2, 0.070);
    EXPECT_DOUBLE_EQ(p.vcc.cutOuts[0]->y2, 0.040);
    EXPECT_DOUBLE_EQ(p.vcc.cutOuts[0]->x1, 0.050);
    EXPECT_DOUBLE_EQ(p.vcc.probes[0]->x, 0.060);
    EXPECT_DOUBLE_EQ(p.vcc.probes[0]->y, 0.040);
}

TEST(BoardPlanes, ResizeClampsNegativePositionsOntoThePlane) {
    CCircuitBoard b;
    CCGroup g;
    CCGroup& placed = b.SolverLayer()->AddGroupAtCentre(g);
    placed.posX = -0.01;
    placed.posY = 0.5;
    b.resizeLayers();
    EXPECT_DOUBLE_EQ(placed.posX, 0.0);
    EXPECT_DOUBLE_EQ(placed.posY, 0.071);
}

// Types new texts into the layout dialog, then presses OK (or cancel).
class FakeLayoutDialog : public LayoutDialog {
public:
    std::string length, width;
    bool confirm = true;
    int shown = 0;
    bool exec(LayoutFields& f) override {
        ++shown;
        if (!length.empty()) f.length = length;
        if (!width.empty()) f.width = width;
        if (!length.empty() || !width.empty()) f.UpdateMaxFrequency();
        return confirm && !f.Check();
    }
};

TEST(BoardPlanes, EditParametersAsksOnlyWhenShrinkingBelowObjects) {
    struct Case {
        const char* length;
        const char* width;
        Answer answer;
        bool applied;
        std::size_t questions;
        const char* why;
    };
    const Case cases[] = {
        {"120mm", "80mm", Answer::No, true, 0, "enlarging never asks"},
        {"95mm", "65mm", Answer::No, true, 0, "objects exactly on the new border"},
        {"70mm", "40mm", Answer::No, false, 1, "No keeps the old board"},
        {"70mm", "40mm", Answer::Yes, true, 1, "Yes applies and moves"},
    };
    for (const auto& c : cases) {
        PopulatedBoard p;
        RecordingInteraction ui;
        ui.script(c.answer);
        FakeLayoutDialog dialog;
        dialog.length = c.length;
        dialog.width = c.width;
        EXPECT_EQ(p.b.editParameters(dialog, ui), c.applied) << c.why;
        EXPECT_EQ(ui.questionCount(), c.questions) << c.why;
        if (c.questions > 0) {
            EXPECT_EQ(ui.events().front().text, kShrinkQuestion);
        }
        if (c.applied) {
            EXPECT_DOUBLE_EQ(p.b.length, ParseValue(c.length)) << c.why;
            EXPECT_DOUBLE_EQ(p.vcc.planeWidth, ParseValue(c.width)) << c.why;
        } else {
            EXPECT_DOUBLE_EQ(p.b.length, 0.099) << c.why;
            EXPECT_EQ(p.vcc.cutOuts.size(), 2u) << c.why;
        }
    }
}

TEST(BoardPlanes, EditParametersCancelAndTextRounding) {
    CCircuitBoard b;
    RecordingInteraction ui;
    FakeLayoutDialog cancel;
    cancel.confirm = false;
    cancel.length = "10mm";
    EXPECT_FALSE(b.editParameters(cancel, ui));
    EXPECT_DOUBLE_EQ(b.length, 0.099);

    // Untouched geometry: the carried frequency goes through its text.
    FakeLayoutDialog ok;
    ASSERT_DOUBLE_EQ(b.maxFrequency, 2.7e8 / (2 * 0.099 * std::sqrt(4.4)));
    EXPECT_TRUE(b.editParameters(ok, ui));
    EXPECT_DOUBLE_EQ(b.maxFrequency, 6.501e8);

    // Width typed larger than length: the longer side becomes the length.
    FakeLayoutDialog swapped;
    swapped.width = "80mm";
    swapped.length = "50mm";
    EXPECT_TRUE(b.editParameters(swapped, ui));
    EXPECT_DOUBLE_EQ(b.length, 0.08);
    EXPECT_DOUBLE_EQ(b.width, 0.05);
    EXPECT_EQ(ui.questionCount(), 0u) << "no objects lie beyond 80 x 50 mm";
}

}  // namespace
}  // namespace vantor
