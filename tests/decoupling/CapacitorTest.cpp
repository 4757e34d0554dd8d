#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "CCGroup.h"
#include "CMStrip.h"
#include "PackageTable.h"
#include "CCircuitBoard.h"
#include "Values.h"

using namespace vantor;

namespace {

CCapa MakeCapa(double c, int packageType, int autoParasitics) {
    CCapa capa;
    capa.capacitance = c;
    capa.shape = PackageTable::Application()[packageType];
    capa.autoParasitics = autoParasitics;
    return capa;
}

}  // namespace

TEST(PackageTable, ValueSeriesAscendAndE6IsPartOfE12) {
    const auto& e6 = E6Series();
    const auto& e12 = E12Series();
    for (const auto* s : {&e6, &e12})
        for (std::size_t i = 1; i < s->size(); ++i) EXPECT_LT(ParseValue((*s)[i - 1]), ParseValue((*s)[i])) << (*s)[i];
    for (const std::string& v : e6) EXPECT_NE(std::find(e12.begin(), e12.end(), v), e12.end()) << v;
}

TEST(CapacitorModel, EsrLaw) {
    CCapa c = MakeCapa(100e-9, 2, 1);  // rloss 0.2
    for (const auto& [f, esr] : {std::pair{0.0, 0.05}, {5e8, 0.25}, {4.875e9, 2.0}, {1e11, 2.0}})
        EXPECT_DOUBLE_EQ(EffectiveEsr(c, f), esr) << f;
    EXPECT_LT(EffectiveEsr(c, 4.8e9), 2.0);
    c.autoParasitics = 0;
    EXPECT_DOUBLE_EQ(EffectiveEsr(c, 1e9), 0.2);
}

TEST(CapacitorModel, EslFromPackageOrMounting) {
    CCircuitBoard board;
    CCGroup group(&board);
    const auto add = [&](int type, int autoParasitics) -> CCapa& {
        return group.Append(std::make_unique<CCapa>(MakeCapa(1e-7, type, autoParasitics)));
    };
    // Independently evaluated microstrip pair for a 0402 body on the default stack-up.
    EXPECT_NEAR(EffectiveEsl(add(9, 1)), 3.7583985369527297e-10, 1e-22);
    CCapa& user = add(0, 1);
    user.shape.lser = 2e-9;
    EXPECT_EQ(EffectiveEsl(user), 2e-9) << "Benutzerdefiniert uses lser even with automatic parasitics";
    EXPECT_DOUBLE_EQ(EffectiveEsl(add(9, 0)), PackageTable::Application()[9].lser);
}

TEST(CapacitorModel, MountedEslIsAffineInTheViaSpacingEvenPastTheBody) {
    // Each segment's inductance is proportional to its length; a spacing
    // longer than the body gives segment 1 a negative length.
    CCircuitBoard board;
    auto esl = [&](double s) {
        board.viaSpacing = s;
        return MountedEsl(PackageTable::Application()[9], board);
    };
    const double a = esl(0.2e-3), b = esl(0.6e-3), c = esl(1.4e-3), d = esl(3e-3);
    EXPECT_NEAR((b - a) / 0.4e-3, (c - b) / 0.8e-3, 1e-9);
    EXPECT_NEAR((d - c) / 1.6e-3, (c - b) / 0.8e-3, 1e-9);
    EXPECT_GT(b, a) << "segment 2 lies higher above the plane, so it has more inductance per length";
}

TEST(CapacitorModel, MountedEslFollowsEveryInputItDependsOn) {
    // Answers are kept per input; a kept answer must never stand in for a
    // changed shape or stack-up, however the asks interleave.
    const CCapShape base = PackageTable::Application()[9];
    const CCircuitBoard board;
    const double first = MountedEsl(base, board);
    const std::vector<std::function<void(CCapShape&, BoardStackup&)>> changes = {
        [](CCapShape& s, BoardStackup&) { s.bodyThickness *= 1.5; },
        [](CCapShape& s, BoardStackup&) { s.bodyWidth *= 1.5; },
        [](CCapShape& s, BoardStackup&) { s.bodyLength *= 1.5; },
        [](CCapShape&, BoardStackup& b) { b.epsilonR *= 1.5; },
        [](CCapShape&, BoardStackup& b) { b.viaSpacing *= 1.5; },
        [](CCapShape&, BoardStackup& b) { b.metalThickness *= 1.5; },
        [](CCapShape&, BoardStackup& b) { b.mountingDepth *= 1.5; },
        [](CCapShape& s, BoardStackup& b) { s.bodyLength *= 2, b.mountingDepth *= 2; },
        [](CCapShape& s, BoardStackup& b) { s.bodyWidth *= 2, b.epsilonR *= 2; },
    };
    std::vector<double> seen;
    for (const auto& change : changes) {
        CCapShape shape = base;
        BoardStackup stackup = board;
        change(shape, stackup);
        const double esl = MountedEsl(shape, stackup);
        EXPECT_NE(esl, first);
        EXPECT_EQ(MountedEsl(shape, stackup), esl);
        seen.push_back(esl);
    }
    EXPECT_EQ(MountedEsl(base, board), first);  // asked again after more than it keeps
    CCapShape shape = base;
    BoardStackup stackup = board;
    changes[0](shape, stackup);
    EXPECT_EQ(MountedEsl(shape, stackup), seen[0]);
}

TEST(CapacitorModel, SeriesRlcImpedance) {
    CCircuitBoard board;
    CCGroup group(&board);
    CCapa& c = group.Append(std::make_unique<CCapa>(MakeCapa(100e-9, 9, 1)));
    const double esl = EffectiveEsl(c);
    const double fr = 1.0 / (kTwoPi * std::sqrt(esl * c.capacitance));
    EXPECT_NEAR(CapacitorImpedance(c, fr).imag(), 0.0, 1e-9) << "reactance vanishes at the series resonance";
    EXPECT_DOUBLE_EQ(CapacitorImpedance(c, fr).real(), EffectiveEsr(c, fr));
    for (double f : {1e3, 1e10})
        EXPECT_NEAR(CapacitorImpedance(c, f).imag(), kTwoPi * f * esl - 1.0 / (kTwoPi * f * 1e-7), 1e-9);
}

TEST(MicroStrip, FiftyOhmLineOnFr4) {
    // w/h = 1.9 on er 4.4 is the textbook 50 Ohm microstrip.
    const CMStrip s(1e-3, 1.9e-3, 1e-6, 4.4, 0.1);
    EXPECT_NEAR(s.z0, 50.37, 0.05);
    // L/C = Z0^2, sqrt(LC) = delay * length.
    EXPECT_NEAR(s.inductance / s.capacitance, s.z0 * s.z0, 1e-9 * s.z0 * s.z0);
    EXPECT_NEAR(std::sqrt(s.inductance * s.capacitance), s.delay * s.len, 1e-20);
    // The delay per inch in air is 1/c.
    EXPECT_NEAR(CMStrip(1e-3, 5e-3, 1e-9, 1.0, 0.0254).delay, 8.472e-11, 1e-14);
}

TEST(MicroStrip, NarrowAndWideBranchesMeetAtWEqualsH) {
    const CMStrip narrow(1e-3, 0.99999e-3, 2e-5, 4.4, 0.01);
    const CMStrip wide(1e-3, 1.00001e-3, 2e-5, 4.4, 0.01);
    EXPECT_NEAR(wide.z0, narrow.z0, 0.01 * narrow.z0) << "the two closed forms agree to about 1 % at w = h";
    EXPECT_GT(narrow.z0, wide.z0);
}

TEST(MicroStrip, ValidityRange) {
    struct Case {
        double w, t, er;
        int valid;
    };
    for (const Case& c : {Case{2, 0.1, 4.4, 1}, Case{2, 0.21, 4.4, 0}, Case{0.09, 0.01, 4.4, 0}, Case{21, 0.1, 4.4, 0},
                          Case{2, 0.1, 16, 0}, Case{2, 0.1, 15.9, 1}, Case{2, 0.1, 0, 0}}) {
        const CMStrip s(1e-3, c.w * 1e-3, c.t * 1e-3, c.er, 0.01);
        EXPECT_EQ(s.valid, c.valid) << c.w << " " << c.t << " " << c.er;
        if (c.er > 0) {
            EXPECT_TRUE(std::isfinite(s.z0) && s.z0 > 0) << "results are computed whatever the range";
        }
    }
}
