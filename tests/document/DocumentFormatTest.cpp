// The document file: the active layer, views' records, versions, byte-exact
// round trips and golden files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "DesignAccess.h"
#include "DocumentFixtures.h"

namespace vantor {
namespace {

using test::Bytes;
using test::Env;
using test::Load;
using test::MoreViews;
using test::Store;

const std::filesystem::path kGolden = std::filesystem::path(VANTOR_SOURCE_DIR) / "tests/document/golden";

void CheckGolden(const std::string& name, const Bytes& bytes) {
    const auto path = kGolden / name;
    if (std::getenv("VANTOR_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
        GTEST_SKIP() << "rewrote " << path;
    }
    std::ifstream in(path, std::ios::binary);
    const Bytes golden(std::istreambuf_iterator<char>(in), {});
    ASSERT_FALSE(golden.empty()) << path << " missing; VANTOR_UPDATE_GOLDEN=1 writes it";
    const auto diff = std::mismatch(bytes.begin(), bytes.end(), golden.begin(), golden.end());
    EXPECT_TRUE(diff.first == bytes.end() && diff.second == golden.end())
        << name << " differs from the golden file at byte " << (diff.first - bytes.begin());
}

TEST(DocumentFormat, ActiveLayerIsFoundByNameOrIsTheLastLayer) {
    for (const auto& [stored, active] : {std::pair{"GND", "GND"}, {"Vcc", "Vcc"}, {"Abc", "Vcc"}, {"", "Vcc"}}) {
        Env env, back;
        CLayer stranger(nullptr, 0.0, 0.0, stored);
        CCircuitBoard& board = DesignAccess::Board(env.doc);
        board.currentLayer = std::string(stored) == "GND" ? board.layers.front().get() : &stranger;
        ASSERT_EQ(Load(back.doc, Store(env.doc)), CVtrDoc::LoadStatus::Loaded);
        EXPECT_EQ(back.doc.board().currentLayer->name, active) << "stored name \"" << stored << "\"";
    }
}

// A view without a record stores nothing; records beyond the attached views
// are skipped (all three views reading back all is the golden round trip).
TEST(DocumentFormat, ViewRecordsFollowInAttachmentOrderAndExtraOnesAreIgnored) {
    Env env;
    MainFormState& stored = *DesignAccess::MainForm(env.doc);
    stored.e6 = false, stored.transferState = 2, stored.currentGroupName = "Gruppe1";
    RecordView recordless(nullptr);
    env.doc.AddView(recordless);
    MoreViews views(env.doc);
    const Bytes all = Store(env.doc);
    env.doc.RemoveView(views.graph), env.doc.RemoveView(views.editor);
    const Bytes formOnly = Store(env.doc);
    // Graph record 4 + 24 + 4 + 12 bytes, editor record 4 + 1 + 0 (no name).
    ASSERT_EQ(all.size(), formOnly.size() + 44 + 5);
    EXPECT_TRUE(std::equal(formOnly.begin(), formOnly.end(), all.begin()));
    Env opened;
    ASSERT_EQ(Load(opened.doc, all), CVtrDoc::LoadStatus::Loaded);
    const MainFormState& form = *opened.doc.MainForm();
    EXPECT_EQ(form.currentGroupName + (form.e6 ? " e6 " : " e12 ") + std::to_string(form.transferState),
              "Gruppe1 e12 2");
    EXPECT_EQ(Store(opened.doc), formOnly);
}

// The main forms show one state of the design: each writes it, and the first
// one's record is read, whether one form or two are attached.
TEST(DocumentFormat, EveryMainFormStoresTheDesignsStateAndTheFirstIsRead) {
    Env env;
    ASSERT_TRUE(env.doc.newGroup() && env.doc.newGroup());
    env.doc.setSeries(false);
    RecordView second(env.doc.MainFormRecord());
    env.doc.AddView(second);
    const Bytes two = Store(env.doc);
    env.doc.RemoveView(second);
    const Bytes one = Store(env.doc);
    // Version, E6 byte, three graph flags, transfer state, "Gruppe2".
    const std::size_t record = 4 + 1 + 3 * 4 + 4 + 1 + 7;
    ASSERT_EQ(two.size(), one.size() + record);
    EXPECT_TRUE(std::equal(one.end() - std::ptrdiff_t(record), one.end(), two.end() - std::ptrdiff_t(record)));
    for (const bool twoForms : {false, true}) {
        Env opened;
        RecordView another(opened.doc.MainFormRecord());
        if (twoForms) opened.doc.AddView(another);
        ASSERT_EQ(Load(opened.doc, two), CVtrDoc::LoadStatus::Loaded);
        ASSERT_NE(opened.doc.currentGroup(), nullptr);
        EXPECT_EQ(opened.doc.currentGroup()->name, "Gruppe2");
        EXPECT_FALSE(opened.doc.MainForm()->e6);
        EXPECT_EQ(Store(opened.doc), twoForms ? two : one);
        if (twoForms) opened.doc.RemoveView(another);
    }
}

TEST(DocumentFormat, UnknownVersionsShowTheMessageAndChangeNothing) {
    Env env;
    MoreViews views(env.doc);
    DesignAccess::Board(env.doc).epsilonR = 3.3;
    const Bytes good = Store(env.doc);
    Bytes b = good;
    b[0] = 2;
    Env target;
    DesignAccess::Board(target.doc).epsilonR = 7.0;
    const Bytes before = Store(target.doc);
    EXPECT_EQ(Load(target.doc, b), CVtrDoc::LoadStatus::UnknownVersion);
    EXPECT_EQ(target.ui.messageCount("Dateiversion unbekannt!"), 1u);
    EXPECT_EQ(Store(target.doc), before);
    // A graph view of another version keeps its settings; the file opens.
    b = good;
    b[b.size() - 44 - 5] = 7;  // the graph record's version
    Env opened;
    MoreViews openedViews(opened.doc);
    dynamic_cast<GraphViewRecord*>(openedViews.graph.Record())->stepCount = 42;
    EXPECT_EQ(Load(opened.doc, b), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(opened.ui.messageCount("Dateiversion unbekannt!"), 1u);
    EXPECT_EQ(dynamic_cast<GraphViewRecord*>(openedViews.graph.Record())->stepCount, 42);
    EXPECT_DOUBLE_EQ(opened.doc.board().epsilonR, 3.3);
}

// What a file holds computes with the board of the document that read it:
// the groups on the planes, the optimiser's and the filter's group and the
// solved plane all follow a later change of that board's stack-up.
TEST(DocumentFormat, WhatWasReadComputesWithTheBoardOfTheReadingDocument) {
    test::RichEnv env("Gruppe2");
    Env back(true);
    ASSERT_EQ(Load(back.doc, Store(env.doc)), CVtrDoc::LoadStatus::Loaded);

    CCircuitBoard& board = DesignAccess::Board(back.doc);
    board.viaSpacing = 0.0012, board.mountingDepth = 0.0004, board.viasPerSide = 3, board.epsilonR = 3.3;
    std::vector<const CCGroup*> groups{&back.doc.optimisationGroup(), &back.doc.filter().group};
    for (const auto& g : back.doc.plane()->capacitorGroups) groups.push_back(g.get());
    ASSERT_EQ(groups.size(), 4u);
    for (const CCGroup* g : groups) {
        SCOPED_TRACE(g->name);
        EXPECT_EQ(g->stackup(), &board);
        CCGroup onBoard(&board), onWritten(&env.doc.board());
        onBoard.Assign(*g), onWritten.Assign(*g);
        for (double f : {2e6, 9e7, 6e8}) {
            ASSERT_NE(onBoard.GroupAdmittance(f, 1), onWritten.GroupAdmittance(f, 1)) << f;
            EXPECT_EQ(g->GroupAdmittance(f, 1), onBoard.GroupAdmittance(f, 1)) << f;
        }
    }

    // The solve meshes the plane for the board's dielectric.
    ASSERT_TRUE(back.doc.analyse());
    const CAnalysisDomain& d = back.doc.analysisDomain();
    EXPECT_EQ(back.doc.plane()->mesh.cellSize, PlaneMesh::CellSizeFor(3.3, d.stopFrequency, d.resolution));
    EXPECT_NE(back.doc.plane()->mesh.cellSize, PlaneMesh::CellSizeFor(4.5, d.stopFrequency, d.resolution));
}

TEST(DocumentFormat, GoldenFilesAreWrittenAndReadBackByteForByte) {
    Env plain;
    CheckGolden("default.vnt", Store(plain.doc));
    test::RichEnv env("Gruppe2");
    MoreViews views(env.doc);
    CheckGolden("rich.vnt", Store(env.doc));
    Env back(true);
    MoreViews backViews(back.doc);
    const CVtrDoc::OpenResult r = back.doc.OpenFile(kGolden / "rich.vnt");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(Store(back.doc), Store(env.doc));
    // Values land in their own fields (a swap would still round-trip), and
    // what was read is linked and usable.
    const CVtrDoc& d = back.doc;
    EXPECT_EQ((std::vector<double>{d.board().epsilonR, double(d.analysisDomain().frequencySteps),
                                   double(d.layerEditorOpen()), double(d.parasiticsAutomatic()),
                                   double(d.filter().useGroup)}),
              (std::vector<double>{4.5, 3, 1, 0, 0}));
    const CLayer& vcc = *d.board().currentLayer;
    EXPECT_EQ(vcc.stackup(), &d.board());
    ASSERT_EQ(vcc.capacitorGroups.size(), 2u);
    for (const auto& g : vcc.capacitorGroups) {
        EXPECT_EQ(g->stackup(), &d.board());
        for (int i = 0; i < g->ElementCount(); ++i) EXPECT_EQ(g->Capacitor(i).group, g.get());
    }
    ASSERT_EQ(back.doc.currentGroup(), vcc.capacitorGroups[1].get());
    EXPECT_DOUBLE_EQ(back.doc.currentGroup()->Capacitor(10).capacitance, 1e-7);
    EXPECT_TRUE(d.optimisationGroup().stackup() == &d.board() && d.filter().group.stackup() == &d.board());
    ASSERT_EQ(vcc.mesh.nodePorts.size(), 5u);
    EXPECT_EQ(vcc.mesh.nodePorts[0]->node, nullptr) << "ports find their nodes at the next mesh build";
    EXPECT_EQ(vcc.results.resultMaps[1](1, 1), (std::complex<double>(1.2, -0.01)));
    EXPECT_EQ(vcc.results.resultMaps[0](1, 2), kNoMetal);
    EXPECT_EQ(vcc.results.resultLabels, (std::vector<std::string>{"100MHz", "Maximum"}));
    // The database already holds the choke: its own set (with points) is used.
    ASSERT_EQ(d.filter().candidates.size(), 1u);
    EXPECT_EQ(d.filter().candidates[0], back.db.Find("L-Test"));
    EXPECT_EQ(back.db.Count(), 1);
    // A choke the database lacks is added without points.
    Env bare;
    MoreViews bareViews(bare.doc);
    ASSERT_TRUE(bare.doc.OpenFile(kGolden / "rich.vnt").ok());
    ASSERT_EQ(bare.db.Count(), 1);
    ASSERT_EQ(bare.doc.filter().SelectedChoke(), &bare.db.Set(0));
    EXPECT_EQ(bare.db.Set(0).maker, "Würth");
    EXPECT_TRUE(bare.db.Set(0).points.empty());
    EXPECT_EQ(Store(bare.doc), Store(env.doc));
}

}  // namespace
}  // namespace vantor
