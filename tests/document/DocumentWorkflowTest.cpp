// The document's operations: defaults, groups, filter hand-over, the edit
// workflows with their copies, KillMax and the save question.

#include <gtest/gtest.h>

#include "DocumentFixtures.h"
#include "PackageTable.h"
#include "RecordingInteraction.h"

namespace vantor {
namespace {

using test::Store;

struct Env {
    Env() : doc(db, ui), form(std::make_unique<MainFormState>()) {
        RegisterModelClasses();
        doc.AddView(form);
    }
    MainFormState& State() { return *doc.MainForm(); }
    RecordingInteraction ui;
    CSParameterDB db;
    CVtrDoc doc;
    RecordView form;
};

class FakeTargetDialog : public TargetDialog {
public:
    std::vector<std::string> fo;  // one text per pass; empty: cancel
    int shown = 0;
    bool exec(TargetFields& f) override {
        if (static_cast<std::size_t>(shown) >= fo.size()) return false;
        f.fo = fo[static_cast<std::size_t>(shown++)];
        return !f.Check();
    }
};

class FakeCapacitorDialog : public CapacitorDialog {
public:
    int package = -1;
    std::string lser;
    bool confirm = true;
    bool exec(CapacitorFields& f) override {
        if (package >= 0) f.packageType = package;
        if (!lser.empty()) f.lser = lser;
        return confirm && !f.Check();
    }
};

TEST(DocumentWorkflow, ConstructionDefaultsAndLinks) {
    Env e;
    const CVtrDoc& d = e.doc;
    EXPECT_FALSE(d.IsModified());
    EXPECT_EQ(d.filterReceivedGroup, 0);
    EXPECT_EQ(d.graphWindowOpen, 1);
    EXPECT_EQ(d.layerEditorOpen, 0);
    EXPECT_EQ(d.parasiticsAutomatic, 1);
    EXPECT_EQ(d.filter.sourceZ, Complex(50, 0));
    EXPECT_EQ(d.filter.loadZ, Complex(50, 0));
    EXPECT_EQ(d.filter.fLower, 1e7);
    EXPECT_EQ(d.filter.fUpper, 3e8);
    EXPECT_EQ(d.filter.minAttenuation, 35.0);
    EXPECT_EQ(d.filter.maxSupplyCurrent, 0.1);
    EXPECT_EQ(d.filter.useGroup, 1);
    EXPECT_EQ(d.optimisationGroup.fo, 3e9);
    EXPECT_EQ(d.optimisationGroup.ElementCount(), 0) << "only OnNewDocument optimises";
    EXPECT_DOUBLE_EQ(d.optimisationGroup.posX, 0.0495);
    EXPECT_DOUBLE_EQ(d.optimisationGroup.posY, 0.0355);
    EXPECT_EQ(d.board.document, &d);
    EXPECT_EQ(d.optimisationGroup.board, &d.board);
    EXPECT_EQ(d.board.currentLayer->name, "Vcc");
    EXPECT_EQ(d.filter.group.board, nullptr) << "set when a group is transferred";
}

TEST(DocumentWorkflow, NewGroupsTakeTheSmallestFreeNumber) {
    Env e;
    e.doc.OnNewDocument();
    const int optimised = e.doc.optimisationGroup.ElementCount();
    ASSERT_GT(optimised, 1);
    for (const char* expected : {"Gruppe1", "Gruppe2", "Gruppe3"}) {
        CCGroup* g = e.doc.newGroup();
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->name, expected);
        EXPECT_EQ(e.State().currentGroupName, expected);
        EXPECT_EQ(e.doc.currentGroup(), g);
        EXPECT_EQ(g->ElementCount(), optimised);
        EXPECT_DOUBLE_EQ(g->posX, 0.0495);
    }
    auto& groups = e.doc.board.currentLayer->capacitorGroups;
    groups.erase(groups.begin() + 1);
    EXPECT_EQ(e.doc.newGroup()->name, "Gruppe2");
    e.State().currentGroupName = "nicht da";
    EXPECT_EQ(e.doc.currentGroup(), nullptr);
}

TEST(DocumentWorkflow, SlotTextsGoToTheCapacitorsFromTheLastOne) {
    Env e;
    CCGroup& g = e.doc.board.currentLayer->AddGroupAtCentre(test::MakeGroup("G", 3, 0, 0));
    e.State().currentGroupName = "G";
    e.doc.setGroupValues({"1uF", "100nF", "10nF", "------", "", "", "", "", "", ""});
    EXPECT_DOUBLE_EQ(g.Capacitor(3).capacitance, 1e-6);
    EXPECT_DOUBLE_EQ(g.Capacitor(2).capacitance, 1e-7);
    EXPECT_DOUBLE_EQ(g.Capacitor(1).capacitance, 1e-8);
    EXPECT_DOUBLE_EQ(g.Capacitor(0).capacitance, 5.5e-9) << "element 0 has no slot";
}

TEST(DocumentWorkflow, TransferToFilterNeedsAGroupWithElements) {
    Env e;
    EXPECT_FALSE(e.doc.transferGroupToFilter());
    e.doc.board.currentLayer->AddGroupAtCentre(CCGroup()).name = "Leer";
    e.State().currentGroupName = "Leer";
    EXPECT_FALSE(e.doc.transferGroupToFilter());
    e.doc.board.currentLayer->AddGroupAtCentre(test::MakeGroup("G", 2, 0, 0)).name = "G";
    e.State().currentGroupName = "G";
    e.doc.filter.candidates.push_back(nullptr);
    ASSERT_TRUE(e.doc.transferGroupToFilter());
    EXPECT_EQ(e.doc.filterReceivedGroup, 1);
    EXPECT_TRUE(e.doc.filter.candidates.empty());
    EXPECT_EQ(e.doc.filter.group.ElementCount(), 3);
    EXPECT_EQ(e.doc.filter.group.board, &e.doc.board);
    e.doc.setFilterSpecification("200MHz", "20MHz", "40dB", "2A");
    EXPECT_EQ(e.doc.filter.fUpper, 2e8);
    EXPECT_EQ(e.doc.filter.fLower, 2e7);
    EXPECT_EQ(e.doc.filter.minAttenuation, 40.0);
    EXPECT_EQ(e.doc.filter.maxSupplyCurrent, 2.0);
}

TEST(DocumentWorkflow, TargetsCancelledRestoreTheGroupExactly) {
    Env e;
    e.doc.OnNewDocument();
    const auto before = Store(e.doc);
    struct Case {
        std::vector<std::string> passes;
        bool changed;
        int refreshes;  // of the main form by the workflow itself
    };
    for (const Case& c : {Case{{}, false, 0}, Case{{"1GHz"}, true, 0}, Case{{"1GHz"}, true, 0}}) {
        CVtrDoc& d = e.doc;
        FakeTargetDialog dialog;
        dialog.fo = c.passes;
        const int updates = e.form.updates;
        EXPECT_EQ(d.editTargets(dialog), c.changed);
        if (c.changed) {
            EXPECT_EQ(d.optimisationGroup.fo, 1e9);
        } else {
            EXPECT_EQ(Store(d), before);
        }
        EXPECT_GE(e.form.updates - updates, c.refreshes);
    }
}

TEST(DocumentWorkflow, CapacitorPropertiesCancelKeepsThePackage) {
    Env e;
    e.doc.OnNewDocument();
    const CCapShape kept = e.doc.optimisationGroup.defaultPackage;
    FakeCapacitorDialog cancel;
    cancel.confirm = false;
    EXPECT_FALSE(e.doc.editCapacitorProperties(cancel));
    EXPECT_EQ(e.doc.optimisationGroup.defaultPackage.name, kept.name);
    EXPECT_EQ(e.doc.optimisationGroup.defaultPackage.lser, kept.lser);
    EXPECT_EQ(e.doc.optimisationGroup.defaultPackage.owner, &e.doc.optimisationGroup);

    FakeCapacitorDialog other;
    other.package = 12;
    ASSERT_TRUE(e.doc.editCapacitorProperties(other));
    EXPECT_EQ(e.doc.optimisationGroup.defaultPackage.packageType, PackageTable::Application()[12].packageType);
    EXPECT_EQ(e.doc.optimisationGroup.Last().shape.name, PackageTable::Application()[12].name)
        << "the optimiser's capacitors take the new package";
    EXPECT_EQ(e.doc.optimisationGroup.defaultPackage.owner, &e.doc.optimisationGroup);
}

TEST(DocumentWorkflow, KillMaxPlacesAGroupSolvesAndMarksModified) {
    Env e;
    e.doc.analysisDomain.frequencySteps = 2;
    e.doc.analysisDomain.stopFrequency = 3e8;
    EXPECT_FALSE(e.doc.killMax()) << "nothing solved yet";
    EXPECT_FALSE(e.doc.IsModified());
    ASSERT_TRUE(e.doc.analyse());
    const int updates = e.form.updates;
    ASSERT_TRUE(e.doc.killMax());
    EXPECT_TRUE(e.doc.IsModified());
    EXPECT_EQ(e.form.updates, updates + 1);
    const auto& groups = e.doc.board.SolverLayer()->capacitorGroups;
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0]->name, "ResCap1");

    // A solve that fails takes its group away again and says so.
    SolverOptions tight;
    tight.memoryLimit = 1.0;  // bytes
    const auto labels = e.doc.board.SolverLayer()->results.resultLabels;
    e.ui.clear();
    EXPECT_FALSE(e.doc.killMax(tight));
    EXPECT_EQ(groups.size(), 1u);
    EXPECT_EQ(e.doc.board.SolverLayer()->results.resultLabels, labels);
    EXPECT_EQ(e.ui.messages().size(), 1u);
}

TEST(DocumentWorkflow, OnlyTheLastNonGraphFrameAsksToSave) {
    Env e;
    struct Case {
        bool modified, graphFrame, lastFrame, asks;
    };
    for (const Case c : {Case{true, false, true, true}, Case{true, true, true, false}, Case{true, false, false, false},
                         Case{false, false, true, false}}) {
        e.doc.SetModifiedFlag(c.modified);
        EXPECT_EQ(e.doc.asksToSaveOnClose(c.graphFrame, c.lastFrame), c.asks);
    }
}

}  // namespace
}  // namespace vantor
