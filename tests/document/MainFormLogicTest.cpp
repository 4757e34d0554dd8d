// What the main form decides: transfer state, slot mapping, value lists,
// choke list, the Fmax field and the frequency the optimiser reaches.

#include <gtest/gtest.h>

#include <cmath>

#include "DocumentFixtures.h"
#include "MainFormLogic.h"
#include "PackageTable.h"
#include "RecordingInteraction.h"
#include "Values.h"

namespace vantor {
namespace {

struct Env {
    Env() : doc(db, ui), form(std::make_unique<MainFormState>()) {
        RegisterModelClasses();
        doc.AddView(form);
        doc.OnNewDocument();
    }
    int State() { return doc.MainForm()->transferState; }
    RecordingInteraction ui;
    CSParameterDB db;
    CVtrDoc doc;
    RecordView form;
};

class PackageDialog : public CapacitorDialog {
public:
    explicit PackageDialog(bool ok) : ok_(ok) {}
    bool exec(CapacitorFields& f) override { return ok_ && !f.Check(); }

private:
    bool ok_;
};

TEST(MainFormLogic, SlotCkShowsElementNPlusOneMinusK) {
    // A group whose list holds 10nF, 100nF, 1uF after the plane entry.
    CCGroup g = test::MakeGroup("G", 0, 0, 0);
    for (double c : {10e-9, 100e-9, 1e-6}) g.Append(g.NewCapacitor(c));
    const SlotTexts t = GroupSlotTexts(&g);
    EXPECT_EQ(t[0], "1uF");
    EXPECT_EQ(t[1], "100nF");
    EXPECT_EQ(t[2], "10nF");
    for (std::size_t k = 3; k < t.size(); ++k) EXPECT_EQ(t[k], kEmptySlot);
    EXPECT_EQ(ParseValue(GroupSlotTexts(&g, true)[1]), 100e-9);  // exact texts read back unchanged
    EXPECT_EQ(GroupSlotTexts(nullptr)[0], kEmptySlot);
    // "Neu": the first free slot and the last occupied one insert at 1.
    struct Case { int n, k, position; };
    for (const Case c : {Case{3, 4, 1}, Case{3, 3, 1}, Case{3, 1, 2}, Case{0, 1, 1}, Case{5, 2, 3}})
        EXPECT_EQ(InsertPosition(c.n, c.k), c.position) << c.n << " " << c.k;
}

TEST(MainFormLogic, TransferStateFollowsTheFormsActions) {
    Env e;
    EXPECT_EQ(e.State(), kNothingTransferred);
    EXPECT_EQ(ChokeSearchRefusal(e.doc), kMessageTransferFirst);
    ASSERT_NE(NewGroupFromForm(e.doc), nullptr);
    EXPECT_EQ(e.State(), kChangedSinceTransfer);
    ASSERT_TRUE(TransferToFilter(e.doc));
    EXPECT_EQ(e.State(), kTransferred);
    EXPECT_EQ(ChokeSearchRefusal(e.doc), "");

    // A refused slot or filter field changes nothing.
    SlotTexts slots = GroupSlotTexts(e.doc.currentGroup(), true);
    const SlotTexts before = slots;
    slots[0] = "0";
    const FieldCheck refused = WriteSlotValues(e.doc, slots);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->controlId, 1021);
    EXPECT_EQ(GroupSlotTexts(e.doc.currentGroup(), true), before);
    EXPECT_EQ(e.State(), kTransferred);
    slots[0] = "22uF";
    e.doc.filter.fUpper = 0;
    EXPECT_EQ(WriteSlotValues(e.doc, slots)->message, "Fehler: 0Hz < Fo < 3GHz !");
    e.doc.filter.fUpper = 3e8;
    EXPECT_FALSE(WriteSlotValues(e.doc, slots));
    EXPECT_DOUBLE_EQ(e.doc.currentGroup()->Last().capacitance, 22e-6);
    EXPECT_EQ(e.State(), kChangedSinceTransfer);

    ASSERT_TRUE(TransferToFilter(e.doc));
    PackageDialog cancel(false);
    EXPECT_FALSE(EditDefaultPackage(e.doc, cancel));
    EXPECT_EQ(e.State(), kTransferred);
    PackageDialog ok(true);
    EXPECT_TRUE(EditDefaultPackage(e.doc, ok));
    EXPECT_EQ(e.State(), kNothingTransferred);
}

TEST(MainFormLogic, ValueComboListPlacesTheSlotValue) {
    struct Case {
        const char* text;
        bool e6;
        std::size_t size;
        const char* before;  // entry above the selected one ("" for none)
        const char* selected;
        const char* after;
    };
    const Case cases[] = {
        {"120nF", true, 40, "150nF", "120nF *", "100nF"},
        {"120nF", false, 77, "150nF", "120nF", "100nF"},
        {"100nF", true, 39, "150nF", "100nF", "68nF"},
        {"22uF", true, 39, "", "22uF", "15uF"},
        {"47uF", true, 40, "", "47uF *", "22uF"},
        {"10pF", false, 77, "12pF", "10pF", ""},
    };
    for (const Case& c : cases) {
        const ValueComboList l = BuildValueComboList(c.text, c.e6);
        ASSERT_EQ(l.entries.size(), c.size) << c.text;
        const auto at = [&](int i) { return i < 0 || i >= int(l.entries.size()) ? std::string() : l.entries[i]; };
        EXPECT_EQ(at(l.selected - 1), c.before) << c.text;
        EXPECT_EQ(at(l.selected), c.selected) << c.text;
        EXPECT_EQ(at(l.selected + 1), c.after) << c.text;
    }
    // Below the series the value is never placed; an empty slot has no list.
    EXPECT_EQ(BuildValueComboList("5pF", true).entries.size(), E6Series().size());
    EXPECT_EQ(BuildValueComboList("5pF", true).entries.front(), "22uF");
    EXPECT_EQ(BuildValueComboList("5pF", true).selected, 0);
    EXPECT_TRUE(BuildValueComboList(kEmptySlot, true).entries.empty());
}

TEST(MainFormLogic, ChokeListIsSortedAndSelectsTheChosenCandidate) {
    CFilter f;
    EXPECT_EQ(BuildChokeList(f).entries.size(), 1u);
    EXPECT_EQ(BuildChokeList(f).entries[0].text, kNoChokeEntry);
    EXPECT_EQ(BuildChokeList(f).maker, "");

    CSParaSet z, a, m;
    z.name = "Z1";
    a.name = "A7";
    a.partNumber = "742";
    a.maker = "Würth";
    a.description = "Ferrit";
    a.dimensions = "0805";
    m.name = "M3";
    f.candidates = {&z, &a, &m};
    f.selected = 1;
    const ChokeList l = BuildChokeList(f);
    ASSERT_EQ(l.entries.size(), 3u);
    EXPECT_EQ(l.entries[0].text, "A7 (742)");
    EXPECT_EQ(l.entries[1].text, "M3");
    EXPECT_EQ(l.entries[2].text, "Z1");
    EXPECT_EQ(l.entries[std::size_t(l.selected)].candidate, 1);
    EXPECT_EQ(l.maker + "|" + l.type + "|" + l.package, "Würth|Ferrit|0805");
    EXPECT_EQ(FindCandidate(f, "M3"), 2);
    EXPECT_EQ(FindCandidate(f, "m3"), -1);
}

TEST(MainFormLogic, FmaxIsWhereTheImpedanceLeavesTheUpperLimit) {
    // A successful optimisation keeps |Z| within the limits up to fo.
    Env e;
    EXPECT_EQ(ReachedFmax(e.doc.optimisationGroup), e.doc.optimisationGroup.fo);

    // Lowered upper lines: an anti-resonance peak breaks them below fo. At
    // Fmax |Z| meets the line and just above it |Z| is over the line.
    CCGroup g(e.doc.optimisationGroup);
    int broken = 0;
    for (double scale = 0.9; scale > 0.05; scale -= 0.1) {
        g.zmaxFu = scale * e.doc.optimisationGroup.zmaxFu;
        g.zmaxFo = scale * e.doc.optimisationGroup.zmaxFo;
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
    CCGroup one = test::MakeGroup("", 1, 0, 0);

    // Nothing is reached without capacitors or without a corner frequency.
    EXPECT_EQ(ReachedFmax(test::MakeGroup("", 0, 0, 0)), 0.0);
    one.fo = 0;
    EXPECT_EQ(ReachedFmax(one), 0.0);

    EXPECT_EQ(FmaxFieldText(5e9), "3GHz");
    EXPECT_EQ(FmaxFieldText(650.1e6), "650.1MHz");
}

}  // namespace
}  // namespace vantor
