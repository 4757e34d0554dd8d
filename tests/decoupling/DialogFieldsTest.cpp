#include <gtest/gtest.h>

#include "CapacitorFields.h"
#include "TargetFields.h"
#include "LayoutFields.h"
#include "Values.h"

using namespace vantor;

namespace {

const std::string kNotPositive =
    "Der eingegebene Wert ist ungültig!\n\nDer Wert muß größer Null sein!\nÜberprüfen Sie auch die Einheit!";
const std::string kTooThick =
    "Der eingegebene Wert ist ungültig!\n\nDie maximale Substratdicke zwischen dem Vcc-GND-\nSystem und der "
    "Bestückungslage beträgt 5mm!";

LayoutFields Defaults() { return LayoutFields::FromBoard(CCircuitBoard()); }

}  // namespace

TEST(LayoutDialog, FilledFromTheBoardThroughDisplayTexts) {
    const LayoutFields f = Defaults();
    EXPECT_EQ(f.width, "7.1cm");
    EXPECT_EQ(f.length, "9.9cm");
    EXPECT_EQ(f.planeSpacing, "50um");
    EXPECT_EQ(f.mountingDepth, "1.1mm");
    EXPECT_EQ(f.epsilonR, "4.4");
    EXPECT_EQ(f.conductivity, "58000000");
    EXPECT_EQ(f.viasPerSide, "2");
    EXPECT_EQ(f.maxFrequency, "650.1MHz");
}

TEST(LayoutDialog, WidthAndLengthAreExchangedSoTheLengthIsTheLarger) {
    LayoutFields f = Defaults();
    f.width = "80mm";
    f.length = "50mm";
    ASSERT_FALSE(f.Check());
    CCircuitBoard b;
    f.ApplyTo(b);
    EXPECT_DOUBLE_EQ(b.length, 0.08);
    EXPECT_DOUBLE_EQ(b.width, 0.05);
    f.OrderSides();
    EXPECT_EQ(f.length, "80mm");
    EXPECT_EQ(f.width, "50mm");
}

TEST(LayoutDialog, ChecksInOrderWithFocusAndMessage) {
    struct Case {
        const char* field;
        const char* text;
        int controlId;  // 0: accepted
        std::string message;
    };
    const Case cases[] = {
        {"length", "0", LayoutFields::kWidthId, kNotPositive},  // exchanged first: the width is 0 now
        {"length", "-1cm", LayoutFields::kWidthId, kNotPositive},  // swapped with the width first
        {"width", "abc", LayoutFields::kWidthId, kNotPositive},
        {"planeSpacing", "0um", LayoutFields::kPlaneSpacingId, kNotPositive},
        {"mountingDepth", "-1um", LayoutFields::kMountingDepthId, kNotPositive},
        {"mountingDepth", "5.1mm", LayoutFields::kMountingDepthId, kTooThick},
        {"mountingDepth", "5mm", 0, ""},
        {"mountingDepth", "0", 0, ""},
        {"epsilonR", "0.05", LayoutFields::kEpsilonRId, "Geben Sie eine Zahl zwischen 0.1 und 10000 ein."},
        {"epsilonR", "20000", LayoutFields::kEpsilonRId, "Geben Sie eine Zahl zwischen 0.1 und 10000 ein."},
        {"epsilonR", "4,4", LayoutFields::kEpsilonRId, "Geben Sie eine Zahl ein."},
        {"viasPerSide", "0", LayoutFields::kViasPerSideId, "Geben Sie eine ganze Zahl zwischen 1 und 3 ein."},
        {"viasPerSide", "4", LayoutFields::kViasPerSideId, "Geben Sie eine ganze Zahl zwischen 1 und 3 ein."},
        {"viasPerSide", "3", 0, ""},
        {"conductivity", "0.01", LayoutFields::kConductivityId,
         "Geben Sie eine Zahl zwischen 0.1 und 10000000000 ein."},
        // Metal thickness, via spacing and diameter have no range.
        {"viaDiameter", "0", 0, ""},
        // A text that overflows to infinity is refused with the field's message.
        {"length", "1e309", LayoutFields::kLengthId, kNotPositive},
        {"width", "1e309m", LayoutFields::kLengthId, kNotPositive},  // exchanged with the length first
        {"planeSpacing", "1e300T", LayoutFields::kPlaneSpacingId, kNotPositive},
        {"mountingDepth", "1e309", LayoutFields::kMountingDepthId, kTooThick},
        {"epsilonR", "1e309", LayoutFields::kEpsilonRId, "Geben Sie eine Zahl ein."},
        {"metalThickness", "1e309", LayoutFields::kMetalThicknessId, "Geben Sie eine Zahl ein."},
        {"viaSpacing", "1e309mm", LayoutFields::kViaSpacingId, "Geben Sie eine Zahl ein."},
        {"viaDiameter", "-1e309", LayoutFields::kViaDiameterId, "Geben Sie eine Zahl ein."},
    };
    for (const Case& c : cases) {
        LayoutFields f = Defaults();
        std::string LayoutFields::*member = nullptr;
        const std::string name = c.field;
        if (name == "length") member = &LayoutFields::length;
        if (name == "width") member = &LayoutFields::width;
        if (name == "planeSpacing") member = &LayoutFields::planeSpacing;
        if (name == "mountingDepth") member = &LayoutFields::mountingDepth;
        if (name == "epsilonR") member = &LayoutFields::epsilonR;
        if (name == "viasPerSide") member = &LayoutFields::viasPerSide;
        if (name == "conductivity") member = &LayoutFields::conductivity;
        if (name == "viaDiameter") member = &LayoutFields::viaDiameter;
        if (name == "viaSpacing") member = &LayoutFields::viaSpacing;
        if (name == "metalThickness") member = &LayoutFields::metalThickness;
        ASSERT_NE(member, nullptr);
        f.*member = c.text;
        const FieldCheck e = f.Check();
        if (c.controlId == 0) {
            EXPECT_FALSE(e) << c.field << "=" << c.text << ": " << e->message;
        } else {
            ASSERT_TRUE(e) << c.field << "=" << c.text;
            EXPECT_EQ(e->controlId, c.controlId) << c.field << "=" << c.text;
            EXPECT_EQ(e->message, c.message) << c.field << "=" << c.text;
        }
    }
    // The framework's number checks come before the geometry checks.
    LayoutFields f = Defaults();
    f.length = "0";
    f.epsilonR = "0";
    ASSERT_TRUE(f.Check());
    EXPECT_EQ(f.Check()->controlId, LayoutFields::kEpsilonRId);
}

TEST(LayoutDialog, MaximumUsableFrequency) {
    LayoutFields f = Defaults();
    f.width = "100mm";
    f.length = "160mm";
    f.epsilonR = "4.5";
    f.planeSpacing = "100um";
    f.UpdateMaxFrequency();
    EXPECT_EQ(f.maxFrequency, "397.7MHz");
    EXPECT_NEAR(2.7e8 / (2 * 0.16 * std::sqrt(4.5)), 397.75e6, 0.01e6);
    f.planeSpacing = "50um";
    f.UpdateMaxFrequency();
    EXPECT_EQ(f.maxFrequency, "3GHz");
    f.planeSpacing = "60um";
    f.UpdateMaxFrequency();
    EXPECT_EQ(f.maxFrequency, "3GHz");
    f.planeSpacing = "61um";
    f.width = "1cm";
    f.length = "1cm";
    f.UpdateMaxFrequency();
    EXPECT_EQ(f.maxFrequency, "3GHz") << "a small plane is capped at 3 GHz";
}

TEST(LayoutDialog, ApplyTakesEveryValue) {
    LayoutFields f = Defaults();
    f.width = "50mm";
    f.length = "80mm";
    f.planeSpacing = "100um";
    f.mountingDepth = "0.5mm";
    f.metalThickness = "18um";
    f.viaSpacing = "0.8mm";
    f.viaDiameter = "0.2mm";
    f.viasPerSide = "3";
    f.epsilonR = "3.8";
    f.UpdateMaxFrequency();
    ASSERT_FALSE(f.Check());
    CCircuitBoard b;
    f.ApplyTo(b);
    EXPECT_DOUBLE_EQ(b.width, 0.05);
    EXPECT_DOUBLE_EQ(b.length, 0.08);
    EXPECT_DOUBLE_EQ(b.planeSpacing, 1e-4);
    EXPECT_DOUBLE_EQ(b.mountingDepth, 5e-4);
    EXPECT_DOUBLE_EQ(b.metalThickness, 18e-6);
    EXPECT_DOUBLE_EQ(b.viaSpacing, 8e-4);
    EXPECT_DOUBLE_EQ(b.viaDiameter, 2e-4);
    EXPECT_EQ(b.viasPerSide, 3);
    EXPECT_EQ(b.epsilonR, 3.8);
    EXPECT_EQ(b.conductivity, 5.8e7);
    EXPECT_DOUBLE_EQ(b.maxFrequency, ParseValue(FormatValue(2.7e8 / (2 * 0.08 * std::sqrt(3.8)), "Hz")));
}

TEST(TargetDialog, FilledFromTheGroupAndCappedAtTheLimit) {
    CCGroup g;
    g.fo = 5e9;
    TargetFields t = TargetFields::FromGroup(g, 3e9);
    EXPECT_EQ(t.fo, "3GHz");
    EXPECT_EQ(t.limit, "3GHz");
    EXPECT_EQ(t.zmaxFu, "900mOhm");
    EXPECT_EQ(t.zminFo, "1Ohm");
    EXPECT_FALSE(t.Check());
}

TEST(TargetDialog, ChecksAndMessages) {
    struct Case {
        const char* fo;
        const char* zminFu;
        const char* zmaxFu;
        const char* zminFo;
        const char* zmaxFo;
        int controlId;
        const char* message;
    };
    const Case cases[] = {
        {"3GHz", "0.8", "0.9", "1", "1.2", 0, ""},
        {"3.1GHz", "0.8", "0.9", "1", "1.2", TargetFields::kFoId, "Fehler: Obere Grenzfrequenz muß <= 3GHz sein!"},
        {"1GHz", "0", "0.9", "1", "1.2", TargetFields::kZminFuId, "Fehler: 0.0Ohm < Fu - Zmin <= 5Ohm  !!!"},
        {"1GHz", "5Ohm", "5Ohm", "1", "1.2", TargetFields::kZmaxFuId, "Fehler: 5Ohm < Fu - Zmax <= 5Ohm  !!!"},
        {"1GHz", "4.9Ohm", "5Ohm", "1", "1.2", 0, ""},
        {"1GHz", "5.1Ohm", "6", "1", "1.2", TargetFields::kZminFuId, "Fehler: 0.0Ohm < Fu - Zmin <= 5Ohm  !!!"},
        {"1GHz", "0.8", "0.9", "-1", "1.2", TargetFields::kZminFoId, "Fehler: 0.0Ohm < Fo - Zmin <= 5Ohm  !!!"},
        {"1GHz", "0.8", "0.8", "1", "1.2", TargetFields::kZmaxFuId, "Fehler: 800mOhm < Fu - Zmax <= 5Ohm  !!!"},
        {"1GHz", "0.8", "0.9", "1", "1", TargetFields::kZmaxFoId, "Fehler: 1Ohm < Fo - Zmax <= 5Ohm  !!!"},
        {"1GHz", "0.8", "0.9", "1", "5.1", TargetFields::kZmaxFoId, "Fehler: 1Ohm < Fo - Zmax <= 5Ohm  !!!"},
        // A corner frequency of zero would make the limit lines undefined.
        {"0Hz", "0.8", "0.9", "1", "1.2", TargetFields::kFoId, "Fehler: Obere Grenzfrequenz muß > 0.0Hz sein!"},
        // Infinite texts fail their field's range.
        {"1e309", "0.8", "0.9", "1", "1.2", TargetFields::kFoId, "Fehler: Obere Grenzfrequenz muß <= 3GHz sein!"},
        {"-1e309", "0.8", "0.9", "1", "1.2", TargetFields::kFoId, "Fehler: Obere Grenzfrequenz muß > 0.0Hz sein!"},
        {"1GHz", "0.8", "1e309", "1", "1.2", TargetFields::kZmaxFuId, "Fehler: 800mOhm < Fu - Zmax <= 5Ohm  !!!"},
    };
    for (const Case& c : cases) {
        TargetFields t = TargetFields::FromGroup(CCGroup(), 3e9);
        t.fo = c.fo;
        t.zminFu = c.zminFu;
        t.zmaxFu = c.zmaxFu;
        t.zminFo = c.zminFo;
        t.zmaxFo = c.zmaxFo;
        const FieldCheck e = t.Check();
        if (c.controlId == 0) {
            EXPECT_FALSE(e) << c.fo << " " << c.zminFu << ": " << e->message;
        } else {
            ASSERT_TRUE(e) << c.fo << " " << c.zminFu;
            EXPECT_EQ(e->controlId, c.controlId);
            EXPECT_EQ(e->message, c.message);
        }
    }
    TargetFields t = TargetFields::FromGroup(CCGroup(), 3e9);
    t.fo = "1GHz";
    t.zminFu = "0.1";
    ASSERT_FALSE(t.Check());
    CCGroup g;
    t.ApplyTo(g);
    EXPECT_EQ(g.fo, 1e9);
    EXPECT_EQ(g.zminFu, 0.1);
    EXPECT_DOUBLE_EQ(g.zmaxFo, 1.2);
}

TEST(CapacitorDialog, LossResistanceAndInductanceLimits) {
    struct Case { const char* rloss; const char* lser; int controlId; };
    for (const Case& c : {Case{"0.01Ohm", "1nH", 0}, Case{"5Ohm", "1nH", 0}, Case{"0.2", "50pH", 0},
                          Case{"0.2", "10nH", 0}, Case{"4.9mOhm", "1nH", CapacitorFields::kRlossId},
                          Case{"5.1Ohm", "1nH", CapacitorFields::kRlossId},
                          Case{"0.2", "49pH", CapacitorFields::kLserId}, Case{"0.2", "10.1nH", CapacitorFields::kLserId},
                          Case{"9Ohm", "20nH", CapacitorFields::kRlossId},
                          Case{"1e309", "1nH", CapacitorFields::kRlossId},
                          Case{"0.2", "1e309H", CapacitorFields::kLserId}}) {
        CapacitorFields f;
        f.rloss = c.rloss;
        f.lser = c.lser;
        const FieldCheck e = f.Check();
        if (c.controlId == 0) {
            EXPECT_FALSE(e) << c.rloss << " " << c.lser;
        } else {
            ASSERT_TRUE(e) << c.rloss << " " << c.lser;
            EXPECT_EQ(e->controlId, c.controlId);
            EXPECT_EQ(e->message, c.controlId == CapacitorFields::kRlossId ? "Fehler: 0.01 Ohm <= Rloss <= 5 Ohm !!!"
                                                                          : "Fehler: 0.05 nH <= Lser <= 10 nH !!!");
        }
    }
}
