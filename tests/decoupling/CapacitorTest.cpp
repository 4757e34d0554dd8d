#include <gtest/gtest.h>

#include <cmath>

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

TEST(PackageTable, FifteenEntriesInSIUnits) {
    const PackageTable& t = PackageTable::Application();
    ASSERT_EQ(t.size(), 15);
    EXPECT_EQ(t[0].name, "Benutzerdefiniert");
    EXPECT_EQ(t[9].name, "1005(0402) X7R-Keramik");
    EXPECT_EQ(&DefaultPackage(), &t[9]);
    EXPECT_DOUBLE_EQ(t[9].lser, 7.5e-10);
    EXPECT_DOUBLE_EQ(t[14].bodyLength, 4.5e-3);
    EXPECT_DOUBLE_EQ(t[4].capHigh, 1e-9);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(t[i].packageType, i);
    // COG and X7R of one size differ only in the loss resistance.
    for (int i = 1; i <= 7; ++i) {
        const CCapShape& cog = t[i];
        const CCapShape& x7r = t[i + 7];
        EXPECT_EQ(cog.name.substr(0, 10), x7r.name.substr(0, 10));
        EXPECT_EQ(cog.lser, x7r.lser);
        EXPECT_EQ(cog.bodyWidth, x7r.bodyWidth);
        EXPECT_EQ(cog.bodyThickness, x7r.bodyThickness);
        EXPECT_EQ(cog.rloss, 0.2);
        EXPECT_EQ(x7r.rloss, 0.25);
    }
    EXPECT_EQ(t.Find("9"), &t[9]);
    EXPECT_EQ(t.Find("2012(0805) COG-Keramik"), &t[4]);
    EXPECT_EQ(t.Find("15"), nullptr);
    EXPECT_EQ(t.Find("0402"), nullptr);
}

TEST(PackageTable, ValueSeries) {
    const auto& e6 = E6Series();
    const auto& e12 = E12Series();
    ASSERT_EQ(e6.size(), 39u);
    ASSERT_EQ(e12.size(), 77u);
    EXPECT_EQ(e6.front(), "10pF");
    EXPECT_EQ(e6[1], "15pF");
    EXPECT_EQ(e6.back(), "22uF");
    EXPECT_EQ(e12[1], "12pF");
    EXPECT_EQ(e12.back(), "22uF");
    // Strictly increasing, and every E6 value is an E12 value.
    for (const auto* s : {&e6, &e12}) {
        for (std::size_t i = 1; i < s->size(); ++i) EXPECT_LT(ParseValue((*s)[i - 1]), ParseValue((*s)[i])) << (*s)[i];
    }
    for (const std::string& v : e6) EXPECT_NE(std::find(e12.begin(), e12.end(), v), e12.end()) << v;
    for (const char* v : {"1.5nF", "4.7uF", "220pF", "6.8nF", "100nF"})
        EXPECT_NE(std::find(e6.begin(), e6.end(), v), e6.end()) << v;
}

TEST(CapacitorModel, EsrLaw) {
    CCapa c = MakeCapa(100e-9, 2, 1);  // rloss 0.2
    EXPECT_DOUBLE_EQ(EffectiveEsr(c, 0.0), 0.05);
    EXPECT_DOUBLE_EQ(EffectiveEsr(c, 5e8), 0.25);
    EXPECT_DOUBLE_EQ(EffectiveEsr(c, 4.875e9), 2.0);
    EXPECT_DOUBLE_EQ(EffectiveEsr(c, 1e11), 2.0);
    EXPECT_LT(EffectiveEsr(c, 4.8e9), 2.0);
    c.autoParasitics = 0;
    EXPECT_DOUBLE_EQ(EffectiveEsr(c, 1e9), 0.2);
}

TEST(CapacitorModel, EslFromPackageOrMounting) {
    CCircuitBoard board;
    CCGroup group;
    group.board = &board;
    CCapa& auto0402 = group.Append(std::make_unique<CCapa>(MakeCapa(1e-7, 9, 1)));
    // Independently evaluated microstrip pair for a 0402 body on the
    // default stack-up.
    EXPECT_NEAR(EffectiveEsl(auto0402), 3.7583985369527297e-10, 1e-22);
    EXPECT_DOUBLE_EQ(EffectiveEsl(auto0402), MountedEsl(auto0402.shape, board));

    CCapa& user = group.Append(std::make_unique<CCapa>(MakeCapa(1e-7, 0, 1)));
    user.shape.lser = 2e-9;
    EXPECT_EQ(EffectiveEsl(user), 2e-9) << "Benutzerdefiniert uses lser even with automatic parasitics";

    CCapa& fixed = group.Append(std::make_unique<CCapa>(MakeCapa(1e-7, 9, 0)));
    EXPECT_DOUBLE_EQ(EffectiveEsl(fixed), 7.5e-10);
}

TEST(CapacitorModel, MountedEslIsLinearInTheViaSpacingEvenPastTheBody) {
    // Each segment's inductance is proportional to its length, so the sum is
    // an affine function of the via spacing; a spacing longer than the body
    // gives segment 1 a negative length and the sum is still returned.
    CCircuitBoard board;
    const CCapShape& shape = PackageTable::Application()[9];
    auto esl = [&](double s) {
        board.viaSpacing = s;
        return MountedEsl(shape, board);
    };
    const double a = esl(0.2e-3), b = esl(0.6e-3), c = esl(1.4e-3), d = esl(3e-3);
    EXPECT_NEAR((b - a) / 0.4e-3, (c - b) / 0.8e-3, 1e-9);
    EXPECT_NEAR((d - c) / 1.6e-3, (c - b) / 0.8e-3, 1e-9);
    EXPECT_TRUE(std::isfinite(d));
    EXPECT_GT(b, a) << "segment 2 lies higher above the plane, so it has more inductance per length";
}

TEST(CapacitorModel, SeriesRlcImpedance) {
    CCircuitBoard board;
    CCGroup group;
    group.board = &board;
    CCapa& c = group.Append(std::make_unique<CCapa>(MakeCapa(100e-9, 9, 1)));
    const double esl = EffectiveEsl(c);
    const double fr = 1.0 / (kTwoPi * std::sqrt(esl * c.capacitance));
    const Complex z = CapacitorImpedance(c, fr);
    EXPECT_NEAR(z.imag(), 0.0, 1e-9) << "reactance vanishes at the series resonance";
    EXPECT_DOUBLE_EQ(z.real(), EffectiveEsr(c, fr));
    EXPECT_NEAR(CapacitorImpedance(c, 1e3).imag(), kTwoPi * 1e3 * esl - 1.0 / (kTwoPi * 1e3 * 1e-7), 1e-9);
    EXPECT_NEAR(CapacitorImpedance(c, 1e10).imag(), kTwoPi * 1e10 * esl - 1.0 / (kTwoPi * 1e10 * 1e-7), 1e-9);
}

TEST(CapacitorModel, PlaneEntryIsAnAlmostIdealCapacitor) {
    CCircuitBoard board;
    auto entry = CCGroup::PlaneCapacitanceEntry(board);
    EXPECT_EQ(entry->autoParasitics, 0);
    EXPECT_EQ(entry->shape.packageType, 17);
    EXPECT_EQ(entry->shape.name, "Flächenkapazität");
    EXPECT_EQ(entry->shape.lser, 1e-22);
    EXPECT_EQ(entry->shape.rloss, 1e-22);
    EXPECT_NEAR(entry->capacitance, 4.4 * 8.859e-12 * 0.099 * 0.071 / 5e-5, 1e-24);
    EXPECT_NEAR(entry->capacitance, board.planeCapacitance(), 1e-24);
    for (double f : {1e3, 1e6, 1e9}) {
        const Complex z = CapacitorImpedance(*entry, f);
        EXPECT_NEAR(z.imag() * (kTwoPi * f * entry->capacitance), -1.0, 1e-9);
        EXPECT_LT(z.real(), 1e-20);
    }
}

TEST(CapShape, AssignmentKeepsTheOwner) {
    CCapa capa;
    EXPECT_EQ(capa.shape.owner, &capa);
    capa.shape = PackageTable::Application()[4];
    EXPECT_EQ(capa.shape.owner, &capa);
    EXPECT_EQ(capa.shape.name, "2012(0805) COG-Keramik");
    EXPECT_EQ(capa.shape.packageType, 4);
    CCapa copy(capa);
    EXPECT_EQ(copy.shape.owner, &copy);
    const CCapShape fresh(1e-9, 0.1, 1e-12, 1e-6);
    EXPECT_EQ(fresh.packageType, 16);
    EXPECT_TRUE(fresh.name.empty());
    EXPECT_EQ(fresh.capLow, 1e-12);
    EXPECT_EQ(fresh.capHigh, 1e-6);
    EXPECT_EQ(fresh.bodyLength, 0.0);
}

TEST(MicroStrip, FiftyOhmLineOnFr4) {
    // w/h = 1.9 on er 4.4 is the textbook 50 Ohm microstrip.
    const CMStrip s(1e-3, 1.9e-3, 1e-6, 4.4, 0.1);
    EXPECT_NEAR(s.z0, 50.37, 0.05);
    EXPECT_EQ(s.valid, 1);
    // Results are consistent with each other: L/C = Z0^2, sqrt(LC) = delay * length.
    EXPECT_NEAR(s.inductance / s.capacitance, s.z0 * s.z0, 1e-9 * s.z0 * s.z0);
    EXPECT_NEAR(std::sqrt(s.inductance * s.capacitance), s.delay * s.len, 1e-20);
    EXPECT_NEAR(s.len, 0.1 * 39.37, 1e-12);
    // The delay per inch in air is 1/c.
    const CMStrip air(1e-3, 5e-3, 1e-9, 1.0, 0.0254);
    EXPECT_NEAR(air.delay, 8.472e-11, 1e-14);
}

TEST(MicroStrip, NarrowAndWideBranchesMeetAtWEqualsH) {
    const CMStrip narrow(1e-3, 0.99999e-3, 2e-5, 4.4, 0.01);
    const CMStrip at(1e-3, 1e-3, 2e-5, 4.4, 0.01);
    const CMStrip wide(1e-3, 1.00001e-3, 2e-5, 4.4, 0.01);
    EXPECT_NEAR(narrow.z0, at.z0, 0.01);
    EXPECT_NEAR(wide.z0, at.z0, 0.01 * at.z0) << "the two closed forms agree to about 1 % at w = h";
    EXPECT_GT(narrow.z0, wide.z0);
}

TEST(MicroStrip, ValidityRange) {
    struct Case { double h, w, t, er; int valid; };
    for (const Case& c : {Case{1, 2, 0.1, 4.4, 1}, Case{1, 2, 0.21, 4.4, 0}, Case{1, 0.09, 0.01, 4.4, 0},
                          Case{1, 21, 0.1, 4.4, 0}, Case{1, 2, 0.1, 16, 0}, Case{1, 2, 0.1, 15.9, 1},
                          Case{1, 2, 0.1, 0, 0}}) {
        const CMStrip s(c.h * 1e-3, c.w * 1e-3, c.t * 1e-3, c.er, 0.01);
        EXPECT_EQ(s.valid, c.valid) << c.h << " " << c.w << " " << c.t << " " << c.er;
        if (c.er > 0) {
            EXPECT_TRUE(std::isfinite(s.z0) && s.z0 > 0) << "results are computed whatever the range";
        }
    }
    const CMStrip none;
    EXPECT_EQ(none.valid, 0);
    EXPECT_EQ(none.z0, 0.0);
}
