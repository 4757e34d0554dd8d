#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "CCGroup.h"
#include "PackageTable.h"
#include "CCircuitBoard.h"
#include "Values.h"

using namespace vantor;

namespace {

CCGroup GroupWith(const CCircuitBoard& board, const std::vector<double>& values) {
    CCGroup g(&board);
    g.Append(CCGroup::PlaneCapacitanceEntry(board));
    for (double c : values) g.Append(g.NewCapacitor(c));
    return g;
}

std::vector<double> Values(const CCGroup& g) {
    std::vector<double> v;
    for (int i = 0; i < g.ElementCount(); ++i) v.push_back(g.Capacitor(i).capacitance);
    return v;
}

}  // namespace

TEST(ViaLoopInductance, LoopOfTheDefaultStackUpSharedByTheViaPairs) {
    // Lv written out from the default geometry.
    const double d = 5e-5, dsmd = 0.001144, D = 0.0003, s = 0.0005;
    const double lv = 2e-7 * d * (std::log(4 * d / D) + 1) + 2e-7 * dsmd * 2 * std::log(s / (0.5 * D));
    CCircuitBoard b;
    struct Case {
        int vias, n;
        double divisor;
    };
    for (const Case& c : {Case{1, 1, 1.0}, Case{1, 0, 1.0}, Case{2, 1, 2.0}, Case{3, 3, 5.2}, Case{2, 10, 7.4}}) {
        b.viasPerSide = c.vias;
        EXPECT_NEAR(b.ViaLoopInductance(c.n), lv / c.divisor, 1e-25) << "vias " << c.vias << " n " << c.n;
    }
    for (int vias : {0, 4, -1}) EXPECT_TRUE(std::isfinite((b.viasPerSide = vias, b.ViaLoopInductance(3)))) << vias;
}

TEST(GroupModel, LimitLinesAreStraightFromZeroToFo) {
    CCGroup g;
    g.fo = 1e9, g.zminFu = 0.8, g.zmaxFu = 0.9, g.zminFo = 1.0, g.zmaxFo = 1.2;
    for (const auto& [f, lo, hi] : {std::tuple{0.0, 0.8, 0.9}, std::tuple{5e8, 0.9, 1.05}, std::tuple{1e9, 1.0, 1.2}}) {
        double zmin, zmax;
        g.LimitLines(f, zmin, zmax);
        EXPECT_DOUBLE_EQ(zmin, lo) << f;
        EXPECT_DOUBLE_EQ(zmax, hi) << f;
    }
}

TEST(GroupModel, ImpedanceLimits) {
    const CCircuitBoard board;
    CCGroup empty(&board);
    EXPECT_EQ(empty.GroupAdmittance(1e6, 1), Complex(0, 0));
    const double z0 = GroupWith(board, {10e-9, 100e-9}).GroupImpedanceMagnitude(0);
    EXPECT_TRUE(std::isfinite(z0) && z0 < 1e-30) << "a short at DC, without dividing by zero";
    // With the plane alone the group is the ideal plane capacitor er e0 A / d.
    const double plane = 4.4 * 8.859e-12 * 0.099 * 0.071 / 5e-5;
    for (double f : {1e3, 1e9})
        EXPECT_NEAR(GroupWith(board, {}).GroupImpedanceMagnitude(f) * kTwoPi * f * plane, 1.0, 1e-9) << f;

    CCGroup g = GroupWith(board, {10e-9, 100e-9, 1e-6});
    const double total = board.planeCapacitance() + 10e-9 + 100e-9 + 1e-6;
    // Far below every resonance all capacitances simply add.
    EXPECT_NEAR(g.GroupImpedanceMagnitude(100.0) * kTwoPi * 100.0 * total, 1.0, 1e-4);
    // Far above them the via branch is inductive and the plane dominates;
    // the inductive branch cancels part of the plane susceptance.
    const double w = kTwoPi * 2e10, z = g.GroupImpedanceMagnitude(2e10);
    EXPECT_GT(z, 1.0 / (w * board.planeCapacitance()));
    EXPECT_NEAR(z * w * board.planeCapacitance(), 1.0, 0.02);
}

TEST(GroupModel, SeriesResonanceOfOneCapacitorBehindTheVias) {
    // Without the plane entry, one capacitor behind the via loop is a series
    // R-L-C whose |Z| is its ESR at 1/(2 pi sqrt((ESL + Lvia) C)).
    const CCircuitBoard board;
    CCGroup g = GroupWith(board, {100e-9});
    const double fr = 1.0 / (kTwoPi * std::sqrt((EffectiveEsl(g.Capacitor(1)) + board.ViaLoopInductance(1)) * 100e-9));
    const double z = std::abs(1.0 / g.GroupAdmittance(fr, 0));
    EXPECT_NEAR(z, EffectiveEsr(g.Capacitor(1), fr), 1e-9);
    EXPECT_GT(std::abs(1.0 / g.GroupAdmittance(fr * 1.1, 0)), z);
    EXPECT_GT(std::abs(1.0 / g.GroupAdmittance(fr * 0.9, 0)), z);
}

TEST(GroupModel, MoreCapacitorsShareASmallerViaLoop) {
    // At high frequency the branch reactance is w (ESL/n + Lvia(n)).
    const CCircuitBoard board;
    const double w = kTwoPi * 1e9;
    for (int n : {1, 10}) {
        CCGroup g = GroupWith(board, std::vector<double>(static_cast<std::size_t>(n), 1e-6));
        const double l = EffectiveEsl(g.Capacitor(1)) / n + board.ViaLoopInductance(n);
        EXPECT_NEAR(1.0 / std::abs(g.GroupAdmittance(1e9, 0)) / w, l, 0.02 * l) << n;
    }
}

TEST(GroupList, InsertAndRemove) {
    const CCircuitBoard board;
    struct Case {
        std::vector<double> values;
        int at;
        std::vector<double> after;
    };
    const double cp = board.planeCapacitance();
    for (const Case& c : {Case{{10e-9, 50e-9}, 2, {cp, 10e-9, 30e-9, 50e-9}},  // between two: the mean
                          Case{{10e-9, 50e-9}, 1, {cp, 5e-9, 10e-9, 50e-9}},   // below the smallest: half
                          Case{{}, 1, {cp, 1e-6}}}) {
        CCGroup g = GroupWith(board, c.values);
        ASSERT_EQ(g.InsertCapacitor(c.at), 1);
        const std::vector<double> v = Values(g);
        ASSERT_EQ(v.size(), c.after.size());
        for (std::size_t i = 0; i < v.size(); ++i) EXPECT_DOUBLE_EQ(v[i], c.after[i]) << i;
        const CCapa& added = g.Capacitor(c.at);
        EXPECT_EQ(std::tie(added.shape.name, added.autoParasitics, added.group),
                  std::make_tuple(g.defaultPackage.name, 1, &g));
    }
    CCGroup full = GroupWith(board, {1e-9, 2e-9, 3e-9, 4e-9, 5e-9, 6e-9, 7e-9, 8e-9, 9e-9, 10e-9});
    EXPECT_EQ(full.InsertCapacitor(3), 0) << "ten capacitors at most";
    EXPECT_EQ(full.ElementCount(), 11);
    full.RemoveCapacitor(3);
    EXPECT_EQ(full.CapacitorCount(), 9);
    EXPECT_EQ(full.Capacitor(3).capacitance, 4e-9);
}

TEST(GroupList, AssignIsADeepCopy) {
    const CCircuitBoard board;
    CCGroup a = GroupWith(board, {10e-9, 100e-9});
    a.name = "Gruppe1";
    a.defaultPackage = PackageTable::Application()[4];
    CCGroup b;
    b.Assign(a);
    EXPECT_EQ(std::tie(b.name, b.defaultPackage.packageType, b.defaultPackage.owner),
              std::make_tuple(a.name, a.defaultPackage.packageType, &b));
    EXPECT_EQ(Values(b), Values(a));
    for (int i = 0; i < b.ElementCount(); ++i) {
        EXPECT_EQ(b.Capacitor(i).group, &b);
        EXPECT_EQ(b.Capacitor(i).shape.owner, &b.Capacitor(i));
    }
    b.Capacitor(1).capacitance = 1.0;
    EXPECT_EQ(a.Capacitor(1).capacitance, 10e-9);
    a.Assign(a);
    EXPECT_EQ(Values(a).size(), 3u) << "assigning to itself changes nothing";
}

// The stack-up is where a group lives, not one of its values: a copy
// computes like its original, a group that is assigned other values keeps
// computing with its own board (the vias and the mounting of another board
// would give another curve).
TEST(GroupList, ACopyTakesTheStackUpAlongAnAssignedGroupKeepsItsOwn) {
    const CCircuitBoard near;
    CCircuitBoard far;
    far.viaSpacing = 0.002, far.mountingDepth = 0.0003, far.viasPerSide = 1;
    const std::vector<double> values{10e-9, 1e-6};
    const CCGroup onNear = GroupWith(near, values), onFar = GroupWith(far, values);
    for (double f : {1e6, 5e7, 3e8}) ASSERT_NE(onNear.GroupAdmittance(f, 1), onFar.GroupAdmittance(f, 1)) << f;

    const CCGroup copy(onNear);
    CCGroup assigned(&far);
    assigned = onNear;
    CCGroup viaAssign(&far);
    viaAssign.Assign(onNear);
    EXPECT_EQ(copy.stackup(), &near);
    EXPECT_EQ(assigned.stackup(), &far);
    for (double f : {1e6, 5e7, 3e8}) {
        EXPECT_EQ(copy.GroupAdmittance(f, 1), onNear.GroupAdmittance(f, 1)) << f;
        EXPECT_EQ(assigned.GroupAdmittance(f, 1), onFar.GroupAdmittance(f, 1)) << f;
        EXPECT_EQ(viaAssign.GroupAdmittance(f, 1), onFar.GroupAdmittance(f, 1)) << f;
    }
    // The capacitors' mounting follows the group's board too.
    EXPECT_NE(MountedEsl(assigned.Capacitor(1).shape, far), MountedEsl(assigned.Capacitor(1).shape, near));
    EXPECT_EQ(EffectiveEsl(assigned.Capacitor(1)), MountedEsl(assigned.Capacitor(1).shape, far));
}
