#include <gtest/gtest.h>

#include <cmath>

#include "CCGroup.h"
#include "PackageTable.h"
#include "CCircuitBoard.h"
#include "Values.h"

using namespace vantor;

namespace {

// Lv of the default stack-up, written out from its geometry.
double DefaultLv() {
    const double d = 5e-5, dsmd = 0.001144, D = 0.0003, s = 0.0005;
    return 2e-7 * d * (std::log(4 * d / D) + 1) + 2e-7 * dsmd * 2 * std::log(s / (0.5 * D));
}

CCGroup GroupWith(const CCircuitBoard& board, std::initializer_list<double> values) {
    CCGroup g;
    g.board = &board;
    g.Append(CCGroup::PlaneCapacitanceEntry(board));
    for (double c : values) g.Append(g.NewCapacitor(c));
    return g;
}

}  // namespace

TEST(Board, DefaultsAndFirstResonanceEstimate) {
    const CCircuitBoard b;
    EXPECT_EQ(b.viasPerSide, 2);
    EXPECT_EQ(b.width, 0.071);
    EXPECT_EQ(b.length, 0.099);
    EXPECT_NEAR(b.maxFrequency, 650088129.0, 1.0);
    EXPECT_NEAR(b.planeCapacitance(), 0.099 * 0.071 * 4.4 * 8.859e-12 / 5e-5, 1e-22);
    // A small board is capped at exactly 3 GHz.
    const CCircuitBoard small(0.01, 0.01, 5e-5, 0.001144, 0, 4.4, 0.0005, 5.8e7, 3.5e-5, 0.022, 0.0003);
    EXPECT_EQ(small.maxFrequency, 3e9);
    // The longer side decides, whichever it is.
    EXPECT_EQ(CCircuitBoard::FirstResonanceEstimate(0.2, 0.1, 4), CCircuitBoard::FirstResonanceEstimate(0.1, 0.2, 4));
    EXPECT_NEAR(CCircuitBoard::FirstResonanceEstimate(0.1, 0.2, 4), 2.7e8 / (2 * 0.2 * 2), 1e-6);
}

TEST(ViaLoopInductance, DivisorsOfTheEffectiveViaPairs) {
    CCircuitBoard b;
    const double lv = DefaultLv();
    struct Case { int vias, n; double divisor; };
    for (const Case& c : {Case{1, 1, 1.0}, Case{1, 0, 1.0}, Case{1, 10, 7.4}, Case{1, 4, 3.8}, Case{2, 1, 2.0},
                          Case{2, 3, 3.8}, Case{2, 9, 7.4}, Case{2, 10, 7.4}, Case{3, 1, 2.9}, Case{3, 3, 5.2},
                          Case{3, 5, 6.9}, Case{3, 10, 7.4}}) {
        b.viasPerSide = c.vias;
        EXPECT_NEAR(b.ViaLoopInductance(c.n), lv / c.divisor, 1e-25) << "vias " << c.vias << " n " << c.n;
    }
    // Counts that the dialog never lets through stay finite.
    for (int vias : {0, 4, -1}) {
        b.viasPerSide = vias;
        EXPECT_TRUE(std::isfinite(b.ViaLoopInductance(3)));
    }
}

TEST(GroupModel, LimitLinesAreStraightFromZeroToFo) {
    CCGroup g;
    g.fo = 1e9;
    double lo, hi;
    g.LimitLines(0, lo, hi);
    EXPECT_EQ(lo, g.zminFu);
    EXPECT_EQ(hi, g.zmaxFu);
    g.LimitLines(1e9, lo, hi);
    EXPECT_EQ(lo, g.zminFo);
    EXPECT_EQ(hi, g.zmaxFo);
    g.LimitLines(5e8, lo, hi);
    EXPECT_DOUBLE_EQ(lo, 0.9);
    EXPECT_DOUBLE_EQ(hi, 1.05);
}

TEST(GroupModel, AdmittanceLimits) {
    const CCircuitBoard board;
    CCGroup empty;
    empty.board = &board;
    EXPECT_EQ(empty.GroupAdmittance(1e6, 1), Complex(0, 0));
    CCGroup g = GroupWith(board, {10e-9, 100e-9, 1e-6});
    EXPECT_EQ(g.GroupAdmittance(0, 1), Complex(1e61, 0));
    EXPECT_EQ(g.GroupImpedanceMagnitude(0), 1e-61);
    CCGroup planeOnly = GroupWith(board, {});
    EXPECT_EQ(planeOnly.GroupAdmittance(1e6, 0), Complex(1e-61, 0));
    // With the plane alone the group is the plane capacitance.
    EXPECT_NEAR(planeOnly.GroupImpedanceMagnitude(1e6) * kTwoPi * 1e6 * board.planeCapacitance(), 1.0, 1e-9);
}

TEST(GroupModel, BehavesLikeItsCircuitAtBothEnds) {
    const CCircuitBoard board;
    CCGroup g = GroupWith(board, {10e-9, 100e-9, 1e-6});
    const double total = board.planeCapacitance() + 10e-9 + 100e-9 + 1e-6;
    // Far below every resonance all capacitances simply add.
    EXPECT_NEAR(g.GroupImpedanceMagnitude(100.0) * kTwoPi * 100.0 * total, 1.0, 1e-4);
    // Far above them the via branch is inductive and the plane dominates:
    // |Z| = |1 / (jwCp + 1/(jwL))| with L the series inductance of the branch.
    const double f = 2e10;
    const double w = kTwoPi * f;
    const double z = g.GroupImpedanceMagnitude(f);
    EXPECT_GT(z, 1.0 / (w * board.planeCapacitance())) << "an inductive branch cancels part of the plane susceptance";
    EXPECT_NEAR(z * w * board.planeCapacitance(), 1.0, 0.02);
}

TEST(GroupModel, SeriesResonanceOfOneCapacitorBehindTheVias) {
    // Without the plane entry, one capacitor behind the via loop is a series
    // R-L-C whose minimum |Z| is its ESR at 1/(2 pi sqrt((ESL + Lvia) C)).
    const CCircuitBoard board;
    CCGroup g = GroupWith(board, {100e-9});
    const double esl = EffectiveEsl(g.Capacitor(1));
    const double lvia = board.ViaLoopInductance(1);
    const double fr = 1.0 / (kTwoPi * std::sqrt((esl + lvia) * 100e-9));
    const Complex y = g.GroupAdmittance(fr, 0);
    EXPECT_NEAR(std::abs(1.0 / y), EffectiveEsr(g.Capacitor(1), fr), 1e-9);
    // The ESR grows with frequency, so the minimum of |Z| lies a little below
    // fr; 10 % away |Z| is clearly higher on both sides.
    EXPECT_GT(std::abs(1.0 / g.GroupAdmittance(fr * 1.1, 0)), std::abs(1.0 / y));
    EXPECT_GT(std::abs(1.0 / g.GroupAdmittance(fr * 0.9, 0)), std::abs(1.0 / y));
}

TEST(GroupModel, MoreCapacitorsShareASmallerViaLoop) {
    const CCircuitBoard board;
    // Ten equal capacitors behind Lv/7.4 against one behind Lv/2 (two vias
    // per side): at high frequency the branch reactance is
    // w (ESL/10 + Lv/7.4) against w (ESL + Lv/2).
    CCGroup one = GroupWith(board, {1e-6});
    CCGroup ten = GroupWith(board, {1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-6, 1e-6});
    const double f = 1e9, w = kTwoPi * f;
    const double esl = EffectiveEsl(one.Capacitor(1));
    const double x1 = 1.0 / std::abs(one.GroupAdmittance(f, 0));
    const double x10 = 1.0 / std::abs(ten.GroupAdmittance(f, 0));
    EXPECT_NEAR(x1 / w, esl + board.ViaLoopInductance(1), 0.02 * (esl + board.ViaLoopInductance(1)));
    EXPECT_NEAR(x10 / w, esl / 10 + board.ViaLoopInductance(10), 0.02 * (esl / 10 + board.ViaLoopInductance(10)));
}

TEST(GroupList, InsertCapacitor) {
    const CCircuitBoard board;
    CCGroup g = GroupWith(board, {10e-9, 50e-9});
    ASSERT_EQ(g.InsertCapacitor(2), 1);
    ASSERT_EQ(g.ElementCount(), 4);
    EXPECT_DOUBLE_EQ(g.Capacitor(2).capacitance, 30e-9);
    EXPECT_EQ(g.Capacitor(3).capacitance, 50e-9);

    CCGroup h = GroupWith(board, {10e-9, 50e-9});
    ASSERT_EQ(h.InsertCapacitor(1), 1);
    EXPECT_DOUBLE_EQ(h.Capacitor(1).capacitance, 5e-9);
    EXPECT_EQ(h.Capacitor(2).capacitance, 10e-9);
    // New capacitors take the default package with automatic parasitics.
    EXPECT_EQ(h.Capacitor(1).autoParasitics, 1);
    EXPECT_EQ(h.Capacitor(1).shape.name, h.defaultPackage.name);
    EXPECT_EQ(h.Capacitor(1).group, &h);

    CCGroup planeOnly = GroupWith(board, {});
    ASSERT_EQ(planeOnly.InsertCapacitor(1), 1);
    EXPECT_EQ(planeOnly.Capacitor(1).capacitance, 1e-6);
    EXPECT_EQ(planeOnly.Capacitor(0).shape.packageType, 17);
    CCGroup empty;
    ASSERT_EQ(empty.InsertCapacitor(1), 1);
    EXPECT_EQ(empty.ElementCount(), 1);

    CCGroup full = GroupWith(board, {1e-9, 2e-9, 3e-9, 4e-9, 5e-9, 6e-9, 7e-9, 8e-9, 9e-9, 10e-9});
    EXPECT_EQ(full.CapacitorCount(), 10);
    EXPECT_EQ(full.InsertCapacitor(3), 0);
    EXPECT_EQ(full.ElementCount(), 11);
    full.RemoveCapacitor(3);
    EXPECT_EQ(full.CapacitorCount(), 9);
    EXPECT_EQ(full.Capacitor(3).capacitance, 4e-9);
    EXPECT_EQ(CCGroup().CapacitorCount(), 0);
}

TEST(GroupList, AssignIsADeepCopy) {
    const CCircuitBoard board;
    CCGroup a = GroupWith(board, {10e-9, 100e-9});
    a.name = "Gruppe1";
    a.fo = 1e9;
    a.posX = 0.01;
    a.defaultPackage = PackageTable::Application()[4];
    CCGroup b;
    b.Assign(a);
    EXPECT_EQ(b.name, "Gruppe1");
    EXPECT_EQ(b.fo, 1e9);
    EXPECT_EQ(b.posX, 0.01);
    EXPECT_EQ(b.board, &board);
    EXPECT_EQ(b.defaultPackage.name, "2012(0805) COG-Keramik");
    EXPECT_EQ(b.defaultPackage.owner, &b);
    ASSERT_EQ(b.ElementCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(&b.Capacitor(i), &a.Capacitor(i));
        EXPECT_EQ(b.Capacitor(i).group, &b);
        EXPECT_EQ(b.Capacitor(i).shape.owner, &b.Capacitor(i));
        EXPECT_EQ(b.Capacitor(i).capacitance, a.Capacitor(i).capacitance);
    }
    b.Capacitor(1).capacitance = 1.0;
    EXPECT_EQ(a.Capacitor(1).capacitance, 10e-9);
    EXPECT_EQ(b.GroupImpedanceMagnitude(1e6) == a.GroupImpedanceMagnitude(1e6), false);
    // Assigning to itself changes nothing.
    a.Assign(a);
    EXPECT_EQ(a.ElementCount(), 3);
}
