// The document's operations: defaults, groups, filter hand-over, the edit
// workflows with their copies, KillMax, the change path (one notification
// per command, the modified mark where the form marks it), the plane edits
// and the save question.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "DocumentFixtures.h"
#include "PackageTable.h"
#include "PlaneEdits.h"
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

class FakeLayoutDialog : public LayoutDialog {
public:
    std::string length;  // one confirmed pass with this length; empty: cancel
    bool exec(LayoutFields& f) override {
        if (shown++ > 0 || length.empty()) return false;
        f.length = length;
        f.UpdateMaxFrequency();
        return !f.Check();
    }
    int shown = 0;
};

// Confirms the group's own targets once, texts that read back exactly.
class SameTargetsDialog : public TargetDialog {
public:
    explicit SameTargetsDialog(const CCGroup& group) : group_(group) {}
    bool exec(TargetFields& f) override {
        if (shown_++ > 0) return false;
        f = TargetFields::FromGroupExact(group_, kTargetFrequencyLimit);
        return !f.Check();
    }

private:
    const CCGroup& group_;
    int shown_ = 0;
};

class FakeAnalysisDialog : public AnalysisDialog {
public:
    bool exec(AnalysisFields& f) override {
        f.stopFrequency = "400MHz";
        return true;
    }
};

// Every command on a design with an optimised group, a current placed group
// "Gruppe1" and a candidate choke: it notifies each view once with what it
// changed, or not at all when it changed nothing, and marks the document
// modified exactly where the main form and the layer editor do.
TEST(DocumentWorkflow, EachCommandNotifiesOnceWithItsHintAndMarksAsTheFormDoes) {
    using H = ChangeHint;
    struct Case {
        const char* command;
        std::function<bool(CVtrDoc&)> run;
        bool succeeds;
        ChangeHint hint;  // None: no notification
        bool marks;
        bool solvedFirst = false;
    };
    const std::array<std::string, 10> slots{"22nF", "1uF"};
    const std::vector<Case> cases = {
        {"newGroup", [](CVtrDoc& d) { return d.newGroup() != nullptr; }, true, H::Groups | H::ViewState, true},
        {"setGroupValues", [&](CVtrDoc& d) { d.setGroupValues(slots); return true; }, true, H::Groups, true},
        {"insertCapacitor", [](CVtrDoc& d) { return d.insertCapacitor(*d.currentGroup(), 1); }, true, H::Groups, false},
        {"removeCapacitor", [](CVtrDoc& d) { return d.removeCapacitor(*d.currentGroup(), 1); }, true, H::Groups, false},
        {"removeCapacitor of the plane entry", [](CVtrDoc& d) { return d.removeCapacitor(*d.currentGroup(), 0); }, false,
         H::None, false},
        {"transferGroupToFilter", [](CVtrDoc& d) { return d.transferGroupToFilter(); }, true, H::Filter, true},
        {"setFilterSpecification", [](CVtrDoc& d) { d.setFilterSpecification("200MHz", "20MHz", "40dB", "1A"); return true; },
         true, H::Filter, true},
        {"searchChoke", [](CVtrDoc& d) { return d.searchChoke() == 0; }, true, H::Filter, true},
        {"selectChoke", [](CVtrDoc& d) { return d.selectChoke(0); }, true, H::Filter, false},
        {"selectChoke out of range", [](CVtrDoc& d) { return d.selectChoke(1); }, false, H::None, false},
        {"toggleGroupInFilter", [](CVtrDoc& d) { d.toggleGroupInFilter(); return true; }, true, H::Filter, true},
        {"editLayout", [](CVtrDoc& d) { FakeLayoutDialog l; l.length = "99mm"; return d.editLayout(l); }, true,
         H::Board | H::Groups, false},
        {"editLayout cancelled", [](CVtrDoc& d) { FakeLayoutDialog l; return d.editLayout(l); }, false, H::None, false},
        {"editTargets", [](CVtrDoc& d) { SameTargetsDialog t(d.optimisationGroup); return d.editTargets(t); }, true,
         H::Groups, false},
        {"editCapacitorProperties", [](CVtrDoc& d) { FakeCapacitorDialog c; c.package = 9; return d.editCapacitorProperties(c); },
         true, H::Groups, false},
        {"editAnalysis", [](CVtrDoc& d) { FakeAnalysisDialog a; return d.editAnalysis(a); }, true, H::Analysis, false},
        {"analyse", [](CVtrDoc& d) { return d.analyse(); }, true, H::Results, true},
        {"killMax", [](CVtrDoc& d) { return d.killMax(); }, true, H::Groups | H::Results, true, true},
        {"MoveGroup", [](CVtrDoc& d) { return MoveGroup(d, "Gruppe1", 0.01, 0.02); }, true, H::Groups, true},
        {"MoveGroup unknown", [](CVtrDoc& d) { return MoveGroup(d, "Gruppe9", 0.01, 0.02); }, false, H::None, false},
        {"SelectGroup", [](CVtrDoc& d) { return SelectGroup(d, "Gruppe1"); }, true, H::ViewState, false},
        {"DeleteGroup", [](CVtrDoc& d) { return DeleteGroup(d, "Gruppe1"); }, true, H::Groups | H::ViewState, false},
        {"AddProbe", [](CVtrDoc& d) { return AddProbe(d, "S", 0.01, 0.01); }, true, H::Board, true},
        {"AddProbe existing", [](CVtrDoc& d) { return AddProbe(d, "Probe1", 0.01, 0.01); }, false, H::None, false},
        {"MoveProbe", [](CVtrDoc& d) { return MoveProbe(d, "Probe1", 0.01, 0.01); }, true, H::Board, true},
        {"DeleteProbe", [](CVtrDoc& d) { return DeleteProbe(d, "Probe2"); }, true, H::Board, true},
        {"AddCutOut", [](CVtrDoc& d) { return !AddCutOut(d, 0.01, 0.01, 0.02, 0.02).empty(); }, true, H::Board, true},
        {"DeleteCutOut", [](CVtrDoc& d) { return DeleteCutOut(d, "Cutout1"); }, true, H::Board, true},
        {"DeleteCutOut unknown", [](CVtrDoc& d) { return DeleteCutOut(d, "Cutout2"); }, false, H::None, false},
    };
    CSParaSet choke;
    choke.name = "L";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Env e;
        RecordView graph(std::make_unique<GraphViewRecord>());
        e.doc.AddView(graph);
        e.doc.analysisDomain.frequencySteps = 2;
        e.doc.analysisDomain.stopFrequency = 3e8;
        // Targets the optimiser meets without a correction pass, whose
        // redraws would come on top of the workflow's own notification.
        e.doc.board.planeSpacing = 1e-4;
        CCGroup& og = e.doc.optimisationGroup;
        og.fo = 1e9;
        og.zminFu = 1.975;
        og.zmaxFu = 2.528;
        og.zminFo = 0.425;
        og.zmaxFo = 0.5525;
        og.defaultPackage = PackageTable::Application()[9];
        og.defaultPackage.owner = &og;
        e.doc.OnNewDocument();
        ASSERT_NE(e.doc.newGroup(), nullptr);
        ASSERT_FALSE(AddCutOut(e.doc, 0.03, 0.03, 0.04, 0.04).empty());
        e.doc.filter.candidates = {&choke};
        if (c.solvedFirst) {
            ASSERT_TRUE(e.doc.analyse());
        }
        e.doc.SetModifiedFlag(false);
        e.form.updates = graph.updates = 0;

        EXPECT_EQ(c.run(e.doc), c.succeeds);
        const int expected = c.hint == H::None ? 0 : 1;
        for (const RecordView* view : {&e.form, &graph}) {
            EXPECT_EQ(view->updates, expected);
            if (expected == 1) {
                EXPECT_EQ(view->lastHint, c.hint);
            }
        }
        EXPECT_EQ(e.doc.IsModified(), c.marks);
    }
}

// The optimiser redraws after each value change of its correction pass;
// those redraws go through the change path too and say the groups changed.
TEST(DocumentWorkflow, OptimiserRedrawsAreGroupNotifications) {
    struct HintLog : DocumentView {
        std::vector<ChangeHint> hints;
        void OnUpdate(ChangeHint hint) override { hints.push_back(hint); }
    };
    Env e;
    HintLog log;
    e.doc.AddView(log);
    e.doc.OnNewDocument();
    log.hints.clear();
    FakeTargetDialog dialog;
    dialog.fo = {"2GHz"};
    ASSERT_TRUE(e.doc.editTargets(dialog));
    EXPECT_GT(log.hints.size(), 1u) << "these targets need a correction pass";
    EXPECT_EQ(std::count(log.hints.begin(), log.hints.end(), ChangeHint::Groups), std::ssize(log.hints));
    EXPECT_FALSE(e.doc.IsModified());
}

TEST(DocumentWorkflow, SlotValuesFromTheFormNotifyTheOtherViewsOnly) {
    Env e;
    RecordView graph(std::make_unique<GraphViewRecord>());
    e.doc.AddView(graph);
    e.doc.board.currentLayer->AddGroupAtCentre(test::MakeGroup("G", 2, 0, 0));
    e.State().currentGroupName = "G";
    e.doc.setGroupValues({"1uF", "10nF"}, &e.form);
    EXPECT_EQ(e.form.updates, 0);
    EXPECT_EQ(graph.updates, 1);
    EXPECT_TRUE(e.doc.IsModified());
}

// The plane edits in plane coordinates: points outside land on the border,
// names follow the layer editor's rule, deleting the current group makes the
// first remaining one current.
TEST(DocumentWorkflow, PlaneEditsClampIntoThePlaneAndNameAsTheEditorDoes) {
    Env e;
    CLayer& vcc = *e.doc.plane();
    const double L = vcc.planeLength, W = vcc.planeWidth;
    for (const char* name : {"A", "B", "C"}) vcc.AddGroupAtCentre(test::MakeGroup(name, 1, 0, 0));
    struct Point {
        double x, y, wantX, wantY;
    };
    for (const Point p : {Point{0.01, 0.02, 0.01, 0.02}, Point{-1, 1, 0, W}, Point{1, -1, L, 0}, Point{L, W, L, W}}) {
        ASSERT_TRUE(MoveGroup(e.doc, "B", p.x, p.y));
        EXPECT_EQ(vcc.FindGroupByName("B")->posX, p.wantX);
        EXPECT_EQ(vcc.FindGroupByName("B")->posY, p.wantY);
        ASSERT_TRUE(AddProbe(e.doc, "P", p.x, p.y));
        EXPECT_EQ(vcc.probes.back()->x, p.wantX);
        EXPECT_EQ(vcc.probes.back()->y, p.wantY);
        ASSERT_TRUE(MoveProbe(e.doc, "P", p.y, p.x));
        double x = 0, y = 0;
        vcc.ProbePositionByName("P", x, y);
        EXPECT_EQ(x, std::clamp(p.y, 0.0, L));
        EXPECT_EQ(y, std::clamp(p.x, 0.0, W));
        ASSERT_TRUE(DeleteProbe(e.doc, "P"));
    }

    // Corners clamped and ordered; the smallest free number; a zero-size
    // cut-out is still one; a taken name is refused.
    EXPECT_EQ(AddCutOut(e.doc, 0.05, 0.03, -0.01, 2.0), "Cutout1");
    const CCutOut& first = *vcc.cutOuts.back();
    EXPECT_EQ(first.x1, 0.0);
    EXPECT_EQ(first.x2, 0.05);
    EXPECT_EQ(first.y1, 0.03);
    EXPECT_EQ(first.y2, W);
    EXPECT_EQ(AddCutOut(e.doc, 0.01, 0.01, 0.01, 0.01, "Cutout3"), "Cutout3");
    EXPECT_EQ(AddCutOut(e.doc, 0.02, 0.02, 0.02, 0.02), "Cutout2");
    EXPECT_EQ(AddCutOut(e.doc, 0.02, 0.02, 0.03, 0.03), "Cutout4");
    EXPECT_EQ(AddCutOut(e.doc, 0, 0, 0.01, 0.01, "Cutout2"), "");
    ASSERT_TRUE(DeleteCutOut(e.doc, "Cutout2"));
    EXPECT_EQ(NextCutOutName(vcc), "Cutout2");

    // Deleting the current group: the first remaining becomes current;
    // deleting another keeps it; the last leaves none.
    ASSERT_TRUE(SelectGroup(e.doc, "A"));
    EXPECT_FALSE(SelectGroup(e.doc, "Z"));
    EXPECT_EQ(e.State().currentGroupName, "A");
    struct Deletion {
        const char* name;
        const char* current;
    };
    for (const Deletion d : {Deletion{"A", "B"}, Deletion{"C", "B"}, Deletion{"B", ""}}) {
        ASSERT_TRUE(DeleteGroup(e.doc, d.name));
        EXPECT_EQ(e.State().currentGroupName, d.current);
    }
    EXPECT_FALSE(DeleteGroup(e.doc, "A"));
}

// A file may store "GND" as its active plane. The editor and the solver
// both work on the "Vcc" plane then, and the stored name still round-trips.
TEST(DocumentWorkflow, GndActiveFileEditsAndSolvesTheVccPlane) {
    test::Bytes gndActive;
    {
        Env e;
        e.doc.board.currentLayer = e.doc.board.layers.front().get();
        ASSERT_EQ(e.doc.board.currentLayer->name, "GND");
        gndActive = Store(e.doc);
    }
    Env e;
    CArchive in(gndActive);
    ASSERT_EQ(e.doc.Load(in), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(e.form.updates, 1);
    EXPECT_EQ(e.form.lastHint, ChangeHint::Everything) << "a read document is new to every view";
    ASSERT_EQ(e.doc.board.currentLayer->name, "GND");
    EXPECT_EQ(Store(e.doc), gndActive) << "read and written unchanged";

    CLayer* vcc = e.doc.plane();
    ASSERT_NE(vcc, nullptr);
    EXPECT_EQ(vcc->name, "Vcc");
    e.doc.OnNewDocument();
    CCGroup* group = e.doc.newGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(vcc->FindGroupByName(group->name), group);
    EXPECT_EQ(e.doc.currentGroup(), group);
    ASSERT_TRUE(AddProbe(e.doc, "S", 0.02, 0.02));
    EXPECT_EQ(vcc->probes.back()->name, "S");
    ASSERT_EQ(AddCutOut(e.doc, 0.01, 0.01, 0.02, 0.02), "Cutout1");
    EXPECT_EQ(vcc->cutOuts.size(), 1u);
    EXPECT_TRUE(e.doc.board.currentLayer->capacitorGroups.empty());
    EXPECT_TRUE(e.doc.board.currentLayer->cutOuts.empty());

    e.doc.analysisDomain.frequencySteps = 2;
    e.doc.analysisDomain.stopFrequency = 3e8;
    ASSERT_TRUE(e.doc.analyse());
    EXPECT_TRUE(vcc->HasResults()) << "the edited plane is the solved plane";
    EXPECT_FALSE(e.doc.board.currentLayer->HasResults());

    Env back;
    CArchive again(Store(e.doc));
    ASSERT_EQ(back.doc.Load(again), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(back.doc.board.currentLayer->name, "GND");
    EXPECT_NE(back.doc.plane()->FindGroupByName(group->name), nullptr);
}

}  // namespace
}  // namespace vantor
