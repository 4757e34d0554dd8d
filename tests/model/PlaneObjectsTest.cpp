#include <gtest/gtest.h>

#include "CCutOut.h"
#include "CPort.h"

namespace vantor {
namespace {

TEST(CutOut, AnyTwoOppositeCornersGiveSortedEdges) {
    const CCutOut c(0.03, 0.02, 0.01, 0.04, "Cutout1");
    EXPECT_DOUBLE_EQ(c.x1, 0.01);
    EXPECT_DOUBLE_EQ(c.x2, 0.03);
    EXPECT_DOUBLE_EQ(c.y1, 0.02);
    EXPECT_DOUBLE_EQ(c.y2, 0.04);
    EXPECT_EQ(c.Name(), "Cutout1");
}

struct PointCase {
    double x, y;
    bool inside;
};

TEST(CutOut, BordersCountAsInsideAndInactiveRemovesNothing) {
    CCutOut c(0.01, 0.02, 0.03, 0.04, "c");
    const PointCase cases[] = {
        {0.02, 0.03, true},  {0.01, 0.02, true},  {0.03, 0.04, true},   {0.01, 0.03, true},
        {0.0099, 0.03, false}, {0.02, 0.0401, false}, {0.05, 0.05, false},
    };
    for (const auto& p : cases) {
        EXPECT_EQ(c.contains(p.x, p.y), p.inside) << p.x << "," << p.y;
        EXPECT_EQ(c.covers(p.x, p.y), p.inside);
    }
    c.inactive = 7;
    for (const auto& p : cases) {
        EXPECT_FALSE(c.contains(p.x, p.y));
        EXPECT_EQ(c.covers(p.x, p.y), p.inside) << "hit tests ignore the flag";
    }
}

TEST(CutOut, ZeroSizeCutOutHoldsOnlyItsPoint) {
    const CCutOut c(0.02, 0.02, 0.02, 0.02, "dot");
    EXPECT_TRUE(c.contains(0.02, 0.02));
    EXPECT_FALSE(c.contains(0.02, 0.0200001));
}

TEST(Port, ReportsItsNodesRowAndColumn) {
    CNode node(17, 1, 3, 5, 0.005, 0.003);
    const CPort port(12, &node);
    EXPECT_EQ(port.Row(), 3);
    EXPECT_EQ(port.Column(), 5);
    EXPECT_EQ(port.index, 12);
    EXPECT_EQ(port.value1, 0.0);
    const CPort loose;
    EXPECT_EQ(loose.Row(), -1) << "a port read from a file has no node yet";
}

}  // namespace
}  // namespace vantor
