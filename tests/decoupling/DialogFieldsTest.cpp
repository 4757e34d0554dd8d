#include <gtest/gtest.h>

#include <cmath>

#include "CapacitorFields.h"
#include "GroupEdits.h"
#include "PackageTable.h"
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
const std::string kNumber = "Geben Sie eine Zahl ein.";

LayoutFields Defaults() { return LayoutFields::FromBoard(CCircuitBoard()); }

// An empty message: accepted.
template <class Fields>
void ExpectCheck(const Fields& f, FieldKey key, const std::string& message, const std::string& what) {
    const FieldCheck e = f.Check();
    if (message.empty()) {
        EXPECT_FALSE(e) << what << ": " << e->message;
    } else {
        ASSERT_TRUE(e) << what;
        EXPECT_EQ(e->key, key) << what;
        EXPECT_EQ(e->message, message) << what;
    }
}

}  // namespace

TEST(LayoutDialog, ChecksInOrderWithFocusAndMessage) {
    using L = LayoutFields;
    const std::string eps = "Geben Sie eine Zahl zwischen 0.1 und 10000 ein.";
    const std::string vias = "Geben Sie eine ganze Zahl zwischen 1 und 3 ein.";
    const struct {
        std::string L::*field;
        const char* text;
        FieldKey key;
        std::string message;
    } cases[] = {
        // clang-format off
        // Width and length are exchanged first, so the length is the larger.
        {&L::length, "0", LayoutField::Width, kNotPositive}, {&L::width, "abc", LayoutField::Width, kNotPositive},
        {&L::width, "1e309m", LayoutField::Length, kNotPositive},
        {&L::planeSpacing, "0um", LayoutField::PlaneSpacing, kNotPositive},
        {&L::planeSpacing, "1e300T", LayoutField::PlaneSpacing, kNotPositive},
        {&L::mountingDepth, "-1um", LayoutField::MountingDepth, kNotPositive},
        {&L::mountingDepth, "5.1mm", LayoutField::MountingDepth, kTooThick},
        {&L::mountingDepth, "1e309", LayoutField::MountingDepth, kTooThick},
        {&L::mountingDepth, "5mm", {}, ""}, {&L::mountingDepth, "0", {}, ""}, {&L::viasPerSide, "3", {}, ""},
        {&L::epsilonR, "0.05", LayoutField::EpsilonR, eps}, {&L::epsilonR, "20000", LayoutField::EpsilonR, eps},
        {&L::epsilonR, "4,4", LayoutField::EpsilonR, kNumber},
        {&L::viasPerSide, "0", LayoutField::ViasPerSide, vias}, {&L::viasPerSide, "4", LayoutField::ViasPerSide, vias},
        {&L::conductivity, "0.01", LayoutField::Conductivity, "Geben Sie eine Zahl zwischen 0.1 und 10000000000 ein."},
        // Metal thickness, via spacing and diameter have no range, but must be finite.
        {&L::viaDiameter, "0", {}, ""}, {&L::metalThickness, "1e309", LayoutField::MetalThickness, kNumber},
        {&L::viaSpacing, "1e309mm", LayoutField::ViaSpacing, kNumber},
        {&L::viaDiameter, "-1e309", LayoutField::ViaDiameter, kNumber},
        // clang-format on
    };
    for (const auto& c : cases) {
        LayoutFields f = Defaults();
        f.*c.field = c.text;
        ExpectCheck(f, c.key, c.message, c.text);
    }
    // The plain-number checks come before the geometry checks.
    LayoutFields f = Defaults();
    f.length = "0";
    f.epsilonR = "0";
    ExpectCheck(f, LayoutField::EpsilonR, eps, "length and epsilon 0");
}

TEST(LayoutDialog, MaximumUsableFrequency) {
    LayoutFields f = Defaults();
    f.width = "100mm", f.length = "160mm", f.epsilonR = "4.5", f.planeSpacing = "100um";
    const auto fmax = [&] { return f.UpdateMaxFrequency(), f.maxFrequency; };
    EXPECT_EQ(fmax(), "397.7MHz") << "2.7e8 / (2 * 0.16 m * sqrt(4.5))";
    f.planeSpacing = "60um";
    EXPECT_EQ(fmax(), "3GHz");
    f.planeSpacing = "61um", f.width = f.length = "1cm";
    EXPECT_EQ(fmax(), "3GHz") << "a small plane is capped at 3 GHz";
}

TEST(LayoutDialog, ApplyTakesEveryValueWithTheLongerSideAsLength) {
    LayoutFields f = Defaults();
    f.width = "80mm", f.length = "50mm", f.planeSpacing = "100um", f.mountingDepth = "0.5mm", f.epsilonR = "3.8";
    f.metalThickness = "18um", f.viaSpacing = "0.8mm", f.viaDiameter = "0.2mm", f.viasPerSide = "3";
    f.UpdateMaxFrequency();
    ASSERT_FALSE(f.Check());
    CCircuitBoard b;
    f.ApplyTo(b);
    const double got[] = {b.width,      b.length,      b.planeSpacing, b.mountingDepth,       b.metalThickness,
                          b.viaSpacing, b.viaDiameter, b.epsilonR,     double(b.viasPerSide), b.maxFrequency};
    const double want[] = {0.05, 0.08, 1e-4, 5e-4, 18e-6,
                           8e-4, 2e-4, 3.8,  3,    ParseValue(FormatValue(2.7e8 / (2 * 0.08 * std::sqrt(3.8)), "Hz"))};
    for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(got[i], want[i]) << i;
    f.OrderSides();
    EXPECT_EQ(f.length + " " + f.width, "80mm 50mm");
}

TEST(TargetDialog, ChecksAndMessages) {
    const std::string foMax = "Fehler: Obere Grenzfrequenz muß <= 3GHz sein!";
    const std::string foZero = "Fehler: Obere Grenzfrequenz muß > 0.0Hz sein!";
    const std::string zminFu = "Fehler: 0.0Ohm < Fu - Zmin <= 5Ohm  !!!";
    const struct {
        const char *fo, *zminFu, *zmaxFu, *zminFo, *zmaxFo;
        FieldKey key;
        std::string message;
    } cases[] = {
        {"3GHz", "0.8", "0.9", "1", "1.2", {}, ""},
        {"3.1GHz", "0.8", "0.9", "1", "1.2", TargetField::Fo, foMax},
        {"1e309", "0.8", "0.9", "1", "1.2", TargetField::Fo, foMax},
        {"0Hz", "0.8", "0.9", "1", "1.2", TargetField::Fo, foZero},  // the limit lines need fo > 0
        {"-1e309", "0.8", "0.9", "1", "1.2", TargetField::Fo, foZero},
        {"1GHz", "0", "0.9", "1", "1.2", TargetField::ZminFu, zminFu},
        {"1GHz", "5.1Ohm", "6", "1", "1.2", TargetField::ZminFu, zminFu},
        {"1GHz", "5Ohm", "5Ohm", "1", "1.2", TargetField::ZmaxFu, "Fehler: 5Ohm < Fu - Zmax <= 5Ohm  !!!"},
        {"1GHz", "4.9Ohm", "5Ohm", "1", "1.2", {}, ""},
        {"1GHz", "0.8", "1e309", "1", "1.2", TargetField::ZmaxFu, "Fehler: 800mOhm < Fu - Zmax <= 5Ohm  !!!"},
        {"1GHz", "0.8", "0.9", "-1", "1.2", TargetField::ZminFo, "Fehler: 0.0Ohm < Fo - Zmin <= 5Ohm  !!!"},
        {"1GHz", "0.8", "0.9", "1", "1", TargetField::ZmaxFo, "Fehler: 1Ohm < Fo - Zmax <= 5Ohm  !!!"},
        {"1GHz", "0.8", "0.9", "1", "5.1", TargetField::ZmaxFo, "Fehler: 1Ohm < Fo - Zmax <= 5Ohm  !!!"},
    };
    for (const auto& c : cases) {
        TargetFields t = TargetFields::FromGroup(CCGroup(), 3e9);
        t.fo = c.fo, t.zminFu = c.zminFu, t.zmaxFu = c.zmaxFu, t.zminFo = c.zminFo, t.zmaxFo = c.zmaxFo;
        ExpectCheck(t, c.key, c.message, std::string(c.fo) + " " + c.zminFu + " " + c.zmaxFu);
    }
    // A group's fo above the limit is shown capped, and applying takes the values.
    CCGroup g;
    g.fo = 5e9;
    TargetFields t = TargetFields::FromGroup(g, 3e9);
    EXPECT_EQ(t.fo, "3GHz");
    t.zminFu = "0.1";
    ASSERT_FALSE(t.Check());
    t.ApplyTo(g);
    EXPECT_EQ(std::pair(g.fo, g.zminFu), std::pair(3e9, 0.1));
}

TEST(CapacitorDialog, LossResistanceAndInductanceLimits) {
    const std::string rloss = "Fehler: 0.01 Ohm <= Rloss <= 5 Ohm !!!", lser = "Fehler: 0.05 nH <= Lser <= 10 nH !!!";
    const FieldKey r = CapacitorField::Rloss, l = CapacitorField::Lser;
    const struct {
        const char *rloss, *lser;
        FieldKey key;
        std::string message;
    } cases[] = {
        {"0.01Ohm", "1nH", {}, ""}, {"5Ohm", "1nH", {}, ""},      {"0.2", "50pH", {}, ""},
        {"0.2", "10nH", {}, ""},    {"4.9mOhm", "1nH", r, rloss}, {"5.1Ohm", "1nH", r, rloss},
        {"0.2", "49pH", l, lser},   {"0.2", "10.1nH", l, lser},   {"9Ohm", "20nH", r, rloss},
        {"1e309", "1nH", r, rloss}, {"0.2", "1e309H", l, lser},
    };
    for (const auto& c : cases) {
        CapacitorFields f;
        f.rloss = c.rloss, f.lser = c.lser;
        ExpectCheck(f, c.key, c.message, std::string(c.rloss) + " " + c.lser);
    }
}

namespace {
// A dialog the person closes with OK without touching a field.
template <class Fields>
struct Untouched : FieldDialog<Fields> {
    bool exec(Fields& f) override { return !f.Check(); }
};
}  // namespace

TEST(EditWorkflows, OkWithoutAChangeKeepsValuesThatShowRounded) {
    // Values the fields can only show rounded ("3GHz" for 2.99e9, "1.23Ohm"
    // for 1.23456): OK without a change keeps each exactly.
    CCGroup group;
    group.fo = 2.99e9, group.zmaxFu = 1.23456;
    Untouched<TargetFields> targets;
    ASSERT_TRUE(EditTargets(group, targets, 3e9));
    EXPECT_EQ(std::pair(group.fo, group.zmaxFu), std::pair(2.99e9, 1.23456));

    // OK writes the values into the package table too; it is left as found.
    CCapShape& entry = PackageTable::Application()[0];  // the user-defined package: Auto off
    const CCapShape saved = entry;
    CCapShape shape = entry;
    shape.rloss = 0.0123456, shape.lser = 1.23456e-9;
    Untouched<CapacitorFields> package;
    ASSERT_TRUE(EditShape(shape, package, nullptr));
    EXPECT_EQ(std::pair(shape.rloss, shape.lser), std::pair(0.0123456, 1.23456e-9));
    entry = saved;
}
