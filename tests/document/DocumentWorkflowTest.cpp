// The document's operations: filter hand-over, the edit workflows with their
// copies, KillMax, the change path (one notification per command, the
// modified mark where the form marks it) and the plane edits.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

#include "DesignAccess.h"
#include "DesignHistory.h"
#include "DocumentFixtures.h"
#include "PackageTable.h"
#include "PlaneEdits.h"

namespace vantor {
namespace {

using test::Bytes;
using test::Env;
using test::Store;

using TargetsDialog = test::OnePass<TargetFields>;

// The group a person points at by its name.
const CCGroup* Named(CVtrDoc& doc, const std::string& name) { return doc.plane()->FindGroupByName(name); }
using PackageDialog = test::OnePass<CapacitorFields>;

// A window holds the document, but the design only as const, down to the
// objects on its planes: it changes through the commands alone.
template <class... T>
constexpr bool kConstObjects = (std::is_const_v<std::remove_pointer_t<std::remove_reference_t<T>>> && ...);
[[maybe_unused]] void DesignIsConst(CVtrDoc& d, const CCircuitBoard& b, const CLayer& l, const CCapa& c) {
    static_assert(kConstObjects<decltype(d.board()), decltype(d.filter()), decltype(d.optimisationGroup()),
                                decltype(d.analysisDomain()), decltype(d.MainForm()), decltype(d.plane()),
                                decltype(d.currentGroup()), decltype(d.newGroup()), decltype(b.currentLayer.get()),
                                decltype(b.layers.front().get()), decltype(l.capacitorGroups.front().get()),
                                decltype(l.probes.front().get()), decltype(l.cutOuts.front().get()),
                                decltype(l.FindGroupByName("")), decltype(l.mesh.gridNodes.front().get()),
                                decltype(l.FindNearestNodePort(0, 0)->node.get()), decltype(c.group)>);
}

TEST(DocumentWorkflow, TransferToFilterNeedsAGroupWithElements) {
    Env e;
    CLayer& vcc = *DesignAccess::Board(e.doc).currentLayer;
    ASSERT_TRUE(e.doc.selectGroup(&vcc.AddGroupAtCentre(CCGroup())));
    EXPECT_FALSE(e.doc.transferGroupToFilter());
    ASSERT_TRUE(e.doc.selectGroup(&vcc.AddGroupAtCentre(test::MakeGroup("G", 2, 0, 0))));
    DesignAccess::Filter(e.doc).candidates.push_back(nullptr);
    ASSERT_TRUE(e.doc.transferGroupToFilter());
    EXPECT_TRUE(e.doc.filter().candidates.empty()) << "candidates of another group are gone";
    EXPECT_EQ(e.doc.filter().group.ElementCount(), 3);
    EXPECT_EQ(e.doc.filter().group.stackup(), &e.doc.board());
}

TEST(DocumentWorkflow, CancelledDialogsRestoreTheGroupExactly) {
    Env e;
    e.doc.OnNewDocument();
    const auto before = Store(e.doc);
    TargetsDialog cancelTargets;
    PackageDialog cancelPackage;
    EXPECT_FALSE(e.doc.editTargets(cancelTargets) || e.doc.editCapacitorProperties(cancelPackage));
    EXPECT_EQ(Store(e.doc), before);
    EXPECT_EQ(e.doc.optimisationGroup().defaultPackage.owner, &e.doc.optimisationGroup());
    PackageDialog other([](CapacitorFields& f) { f.packageType = 12; });
    ASSERT_TRUE(e.doc.editCapacitorProperties(other));
    EXPECT_EQ(DesignAccess::OptimisationGroup(e.doc).Last().shape.name, PackageTable::Application()[12].name);
    EXPECT_EQ(e.doc.optimisationGroup().defaultPackage.owner, &e.doc.optimisationGroup());
}

// A KillMax whose solve is refused (and says so) or cancelled takes the group
// it placed away again: the design, its results and the modified mark stay.
TEST(DocumentWorkflow, KillMaxIsAllOrNothing) {
    Env e;
    DesignAccess::AnalysisDomain(e.doc).frequencySteps = 2, DesignAccess::AnalysisDomain(e.doc).stopFrequency = 3e8;
    ASSERT_TRUE(e.doc.analyse());
    e.doc.SetModifiedFlag(false);
    e.ui.clear();
    const test::Bytes before = Store(e.doc);
    const auto* maps = e.doc.plane()->results.resultMaps.data();
    EXPECT_FALSE(e.doc.killMax(SolverOptions{.memoryLimit = 1.0}));  // one byte: the solve is refused
    EXPECT_EQ(e.ui.messages().size(), 1u);
    EXPECT_EQ(Store(e.doc), before);
    const std::unique_ptr<SolveJob> job = e.doc.startKillMax();
    ASSERT_NE(job, nullptr);
    EXPECT_EQ(e.doc.plane()->capacitorGroups.size(), 1u) << "placed while it runs";
    job->cancel(), job->start();
    EXPECT_FALSE(e.doc.finishKillMax(*job));
    EXPECT_EQ(Store(e.doc), before);
    EXPECT_EQ(e.doc.plane()->results.resultMaps.data(), maps);
    EXPECT_FALSE(e.doc.IsModified());
}

TEST(DocumentWorkflow, AnalysisAsAJobChangesTheDocumentOnlyWhenFinished) {
    Env e;
    DesignAccess::AnalysisDomain(e.doc).frequencySteps = 2, DesignAccess::AnalysisDomain(e.doc).stopFrequency = 3e8;
    const CLayer& plane = *e.doc.plane();
    // Results, modified mark, redraws.
    const auto state = [&] { return std::tuple(plane.HasResults(), e.doc.IsModified(), e.form.updates); };
    for (const bool cancel : {true, false}) {
        const int updates = e.form.updates;
        const std::unique_ptr<SolveJob> job = e.doc.startAnalysis();
        ASSERT_NE(job, nullptr);
        if (cancel) job->cancel();
        job->start(), job->wait();
        // Solved or not, nothing reached the document before the finish.
        EXPECT_EQ(state(), std::tuple(false, false, updates));
        EXPECT_EQ(e.doc.finishAnalysis(*job), !cancel);
        EXPECT_EQ(state(), std::tuple(!cancel, !cancel, updates + (cancel ? 0 : 1)));
    }
    EXPECT_EQ(e.form.lastHint, ChangeHint::Results);
}

// Every command on a design with an optimised group, a current placed group
// "Gruppe1" and a candidate choke, run as the program runs it (with the
// undo history around it): it notifies each view once with what it changed,
// or not at all when it changed nothing, and marks the document modified
// exactly when it changed what the file holds.
TEST(DocumentWorkflow, EachCommandNotifiesOnceWithItsHintAndMarksWhatChangesTheFile) {
    using H = ChangeHint;
    using D = CVtrDoc;
    // Each dialog is shown in one case only.
    const std::array<std::string, 10> slots{"22nF", "1uF"};
    test::OnePass<LayoutFields> noLayout, layout([](LayoutFields& f) { f.length = "98mm", f.UpdateMaxFrequency(); });
    test::OnePass<AnalysisFields> analysis([](AnalysisFields& f) { f.stopFrequency = "400MHz"; });
    PackageDialog package([](CapacitorFields& f) { f.packageType = 9; });
    // clang-format off
    struct Case { const char* command; std::function<bool(D&)> run; bool succeeds;
                  H hint /* None: no notification */; bool marks, solvedFirst = false; };
    const std::vector<Case> cases = {
        {"newGroup", [](D& d) { return d.newGroup() != nullptr; }, true, H::Groups | H::ViewState, true},
        {"setGroupValues", [&](D& d) { return d.setGroupValues(slots), true; }, true, H::Groups, true},
        {"insertCapacitor", [](D& d) { return d.insertCapacitor(*d.currentGroup(), 1); }, true, H::Groups, true},
        {"removeCapacitor", [](D& d) { return d.removeCapacitor(*d.currentGroup(), 1); }, true, H::Groups, true},
        {"removeCapacitor of the plane entry", [](D& d) { return d.removeCapacitor(*d.currentGroup(), 0); },
         false, H::None, false},
        {"transferGroupToFilter", [](D& d) { return d.transferGroupToFilter(); }, true, H::Filter, true},
        {"setFilterRequirements", [](D& d) { return d.setFilterRequirements("200MHz", "20MHz", "40dB", "1A"), true; },
         true, H::Filter, true},
        {"searchChoke", [](D& d) { return d.searchChoke() == 0; }, true, H::Filter, true},
        {"selectChoke", [](D& d) { return d.selectChoke(0); }, true, H::Filter, false},  // chosen already
        {"selectChoke out of range", [](D& d) { return d.selectChoke(1); }, false, H::None, false},
        {"toggleGroupInFilter", [](D& d) { return d.toggleGroupInFilter(), true; }, true, H::Filter, true},
        {"editLayout", [&](D& d) { return d.editLayout(layout); }, true, H::Board | H::Groups, true},
        {"editLayout cancelled", [&](D& d) { return d.editLayout(noLayout); }, false, H::None, false},
        {"editTargets", [](D& d) {
             // The group's own targets, as texts that read back exactly.
             TargetsDialog t([&](TargetFields& f) {
                 f = TargetFields::FromGroupExact(d.optimisationGroup(), kTargetFrequencyLimit);
             });
             return d.editTargets(t);
         }, true, H::Groups, false},
        {"editCapacitorProperties", [&](D& d) { return d.editCapacitorProperties(package); }, true, H::Groups, true},
        {"editAnalysis", [&](D& d) { return d.editAnalysis(analysis); }, true, H::Analysis, true},
        {"analyse", [](D& d) { return d.analyse(); }, true, H::Results, true},
        {"killMax", [](D& d) { return d.killMax(); }, true, H::Groups | H::Results, true, true},
        {"moveGroup", [](D& d) { return d.moveGroup(Named(d, "Gruppe1"), 0.01, 0.02); }, true, H::Groups, true},
        {"moveGroup of another plane", [](D& d) { return d.moveGroup(&d.optimisationGroup(), 0.01, 0.02); },
         false, H::None, false},
        {"selectGroup", [](D& d) { return d.selectGroup(Named(d, "Gruppe1")); }, true, H::ViewState, false},
        {"deleteGroup", [](D& d) { return d.deleteGroup(Named(d, "Gruppe1")); }, true, H::Groups | H::ViewState, true},
        {"AddProbe", [](D& d) { return AddProbe(d, "S", 0.01, 0.01); }, true, H::Board, true},
        {"AddProbe existing", [](D& d) { return AddProbe(d, "Probe1", 0.01, 0.01); }, false, H::None, false},
        {"MoveProbe", [](D& d) { return MoveProbe(d, "Probe1", 0.01, 0.01); }, true, H::Board, true},
        {"DeleteProbe", [](D& d) { return DeleteProbe(d, "Probe2"); }, true, H::Board, true},
        {"AddCutOut", [](D& d) { return !AddCutOut(d, 0.01, 0.01, 0.02, 0.02).empty(); }, true, H::Board, true},
        {"DeleteCutOut", [](D& d) { return DeleteCutOut(d, "Cutout1"); }, true, H::Board, true},
        {"DeleteCutOut unknown", [](D& d) { return DeleteCutOut(d, "Cutout2"); }, false, H::None, false},
    };
    // clang-format on
    CSParaSet choke;
    choke.name = "L";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Env e;
        RecordView graph(std::make_unique<GraphViewRecord>());
        e.doc.AddView(graph);
        DesignAccess::AnalysisDomain(e.doc).frequencySteps = 2, DesignAccess::AnalysisDomain(e.doc).stopFrequency = 3e8;
        // Targets the optimiser meets without a correction pass, whose
        // redraws would come on top of the workflow's own notification.
        DesignAccess::Board(e.doc).planeSpacing = 1e-4;
        CCGroup& og = DesignAccess::OptimisationGroup(e.doc);
        std::tie(og.fo, og.zminFu, og.zmaxFu, og.zminFo, og.zmaxFo) = std::tuple(1e9, 1.975, 2.528, 0.425, 0.5525);
        e.doc.OnNewDocument();
        ASSERT_NE(e.doc.newGroup(), nullptr);
        ASSERT_FALSE(AddCutOut(e.doc, 0.03, 0.03, 0.04, 0.04).empty());
        DesignAccess::Filter(e.doc).candidates = {&choke};
        ASSERT_TRUE(!c.solvedFirst || e.doc.analyse());
        e.doc.SetModifiedFlag(false);
        e.form.updates = graph.updates = 0;
        e.form.lastHint = graph.lastHint = H::None;
        DesignHistory history(e.doc);
        const Bytes before = Store(e.doc);
        history.Begin(c.command);
        EXPECT_EQ(c.run(e.doc), c.succeeds);
        history.Commit();
        // The save question follows the file: modified exactly when what
        // the file would hold changed.
        EXPECT_EQ(Store(e.doc) != before, c.marks);
        for (const RecordView* view : {&e.form, &graph})
            EXPECT_EQ(std::pair(view->updates, view->lastHint), std::pair(c.hint == H::None ? 0 : 1, c.hint));
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
    TargetsDialog dialog([](TargetFields& f) { f.fo = "2GHz"; });
    ASSERT_TRUE(e.doc.editTargets(dialog));
    EXPECT_GE(log.hints.size(), 1u) << "these targets need a correction pass";
    EXPECT_EQ(std::count(log.hints.begin(), log.hints.end(), ChangeHint::Groups), std::ssize(log.hints));
    EXPECT_FALSE(e.doc.IsModified());
}

TEST(DocumentWorkflow, SlotValuesFromTheFormNotifyTheOtherViewsOnly) {
    Env e;
    RecordView graph(std::make_unique<GraphViewRecord>());
    e.doc.AddView(graph);
    CCGroup& g = DesignAccess::Board(e.doc).currentLayer->AddGroupAtCentre(test::MakeGroup("G", 3, 0, 0));
    ASSERT_TRUE(e.doc.selectGroup(&g));
    e.form.updates = graph.updates = 0;
    e.doc.setGroupValues({"1uF", "100nF", "10nF", "------"}, &e.form);
    EXPECT_DOUBLE_EQ(g.Capacitor(3).capacitance, 1e-6) << "slot 1 is the last capacitor";
    EXPECT_EQ(std::pair(e.form.updates, graph.updates), std::pair(0, 1));
}

// The plane edits in plane coordinates: points outside land on the border,
// cut-outs follow the layer editor's rules, deleting the current group makes
// the first remaining one current.
TEST(DocumentWorkflow, PlaneEditsClampIntoThePlaneAndNameAsTheEditorDoes) {
    Env e;
    CLayer& vcc = *DesignAccess::Plane(e.doc);
    const double L = vcc.planeLength, W = vcc.planeWidth;
    for (const char* name : {"A", "B", "C"}) vcc.AddGroupAtCentre(test::MakeGroup(name, 1, 0, 0));
    for (const auto& [x, y] : {std::pair{0.01, 0.02}, {-1.0, 1.0}, {1.0, -1.0}, {L, W}}) {
        const std::pair want{std::clamp(x, 0.0, L), std::clamp(y, 0.0, W)};
        ASSERT_TRUE(e.doc.moveGroup(Named(e.doc, "B"), x, y) && AddProbe(e.doc, "P", x, y) &&
                    AddProbe(e.doc, "Q", 0, 0) && MoveProbe(e.doc, "Q", x, y));
        EXPECT_EQ(std::pair(vcc.FindGroupByName("B")->posX, vcc.FindGroupByName("B")->posY), want);
        for (const char* probe : {"P", "Q"}) {
            std::pair got{-1.0, -1.0};
            vcc.ProbePositionByName(probe, got.first, got.second);
            EXPECT_EQ(got, want) << probe;
            ASSERT_TRUE(DeleteProbe(e.doc, probe));
        }
    }
    // Corners clamped and ordered; a zero-size cut-out is still one; a taken name is refused.
    EXPECT_EQ(AddCutOut(e.doc, 0.05, 0.03, -0.01, 2.0), "Cutout1");
    const CCutOut& first = *vcc.cutOuts.back();
    EXPECT_EQ((std::vector<double>{first.x1, first.x2, first.y1, first.y2}), (std::vector<double>{0, 0.05, 0.03, W}));
    EXPECT_EQ(AddCutOut(e.doc, 0.02, 0.02, 0.02, 0.02), "Cutout2");
    EXPECT_EQ(AddCutOut(e.doc, 0, 0, 0.01, 0.01, "Cutout2"), "");
    // Deleting the current group makes the first remaining one current; the last leaves none.
    ASSERT_TRUE(e.doc.selectGroup(Named(e.doc, "A")));
    for (const auto& [name, current] : {std::pair{"A", "B"}, {"C", "B"}, {"B", ""}}) {
        ASSERT_TRUE(e.doc.deleteGroup(Named(e.doc, name)));
        EXPECT_EQ(e.doc.MainForm()->currentGroupName, current);
    }
}

TEST(DocumentWorkflow, GndActiveFileEditsAndSolvesTheVccPlane) {
    Env e;
    DesignAccess::Board(e.doc).currentLayer = DesignAccess::Board(e.doc).layers.front().get();
    ASSERT_EQ(e.doc.board().currentLayer->name, "GND");
    CLayer* vcc = DesignAccess::Plane(e.doc);
    ASSERT_EQ(vcc->name, "Vcc");
    e.doc.OnNewDocument();
    const CCGroup* group = e.doc.newGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(vcc->FindGroupByName(group->name), group);
    EXPECT_EQ(e.doc.currentGroup(), group);
    ASSERT_EQ(AddCutOut(e.doc, 0.01, 0.01, 0.02, 0.02), "Cutout1");
    EXPECT_EQ(vcc->cutOuts.size(), 1u);
    EXPECT_TRUE(e.doc.board().currentLayer->capacitorGroups.empty() && e.doc.board().currentLayer->cutOuts.empty());
    DesignAccess::AnalysisDomain(e.doc).frequencySteps = 2, DesignAccess::AnalysisDomain(e.doc).stopFrequency = 3e8;
    ASSERT_TRUE(e.doc.analyse());
    EXPECT_TRUE(vcc->HasResults()) << "the edited plane is the solved plane";
    EXPECT_FALSE(e.doc.board().currentLayer->HasResults());
    // Read back: every view is told everything once, the stored name stays.
    Env back;
    const test::Bytes saved = Store(e.doc);
    ASSERT_EQ(test::Load(back.doc, saved), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(std::pair(back.form.updates, back.form.lastHint), std::pair(1, ChangeHint::Everything));
    EXPECT_EQ(back.doc.board().currentLayer->name, "GND");
    EXPECT_NE(back.doc.plane()->FindGroupByName(group->name), nullptr);
    EXPECT_EQ(Store(back.doc), saved) << "read and written unchanged";
}

}  // namespace
}  // namespace vantor
