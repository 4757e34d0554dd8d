// The document file: class-record order, text forms, views' records, byte-
// exact round trips and golden files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "DocumentFixtures.h"
#include "PlaneEdits.h"
#include "RecordingInteraction.h"

namespace vantor {
namespace {

using test::Bytes;
using test::Store;

const std::filesystem::path kGolden = std::filesystem::path(VANTOR_SOURCE_DIR) / "tests/document/golden";

struct Env {
    Env() {
        RegisterModelClasses();
        db.AddSet(test::TestChoke());
    }
    RecordingInteraction ui;
    CSParameterDB db;
};

// The class names of all class records, in file order.
std::vector<std::string> ClassRecords(const Bytes& b) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i + 6 < b.size(); ++i) {
        if (b[i] != 0xFF || b[i + 1] != 0xFF || b[i + 2] != 0 || b[i + 3] != 0) continue;
        const std::size_t len = b[i + 4] | (b[i + 5] << 8);
        if (len < 5 || len > 8 || i + 6 + len > b.size()) continue;
        const std::string name(b.begin() + static_cast<long>(i) + 6, b.begin() + static_cast<long>(i + 6 + len));
        if (name[0] == 'C' && std::all_of(name.begin(), name.end(), [](char c) { return std::isalpha(c); }))
            names.push_back(name);
    }
    return names;
}

Bytes ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void CheckGolden(const std::string& name, const Bytes& bytes) {
    const auto path = kGolden / name;
    if (std::getenv("VANTOR_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                   static_cast<std::streamsize>(bytes.size()));
        GTEST_SKIP() << "rewrote " << path;
    }
    const Bytes golden = ReadFile(path);
    ASSERT_FALSE(golden.empty()) << path << " missing; VANTOR_UPDATE_GOLDEN=1 writes it";
    EXPECT_EQ(bytes.size(), golden.size());
    const auto diff = std::mismatch(bytes.begin(), bytes.end(), golden.begin(), golden.end());
    EXPECT_TRUE(diff.first == bytes.end() && diff.second == golden.end())
        << name << " differs from the golden file at byte " << (diff.first - bytes.begin());
}

std::size_t Find(const Bytes& hay, const Bytes& needle, std::size_t from = 0) {
    auto it = std::search(hay.begin() + static_cast<long>(from), hay.end(), needle.begin(), needle.end());
    return it == hay.end() ? std::string::npos : static_cast<std::size_t>(it - hay.begin());
}

Bytes Ascii(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(DocumentFormat, ClassRecordsOfANewDefaultDocument) {
    Env env;
    {
        CVtrDoc doc(env.db, env.ui);
        doc.OnNewDocument();
        const Bytes b = Store(doc);
        EXPECT_EQ(ClassRecords(b), (std::vector<std::string>{"CLayer", "CProbe", "CCapa"}));
        // "Probe2" refers back to class 3 ("CProbe"), the "Vcc" layer to class 1.
        const std::size_t probe1 = Find(b, Ascii("Probe1"));
        ASSERT_NE(probe1, std::string::npos);
        EXPECT_EQ(b[probe1 + 6], 0x03);
        EXPECT_EQ(b[probe1 + 7], 0x80);
        EXPECT_NE(Find(b, Bytes{0x01, 0x80}, probe1), std::string::npos);
        ASSERT_GE(doc.optimisationGroup.ElementCount(), 2) << "a new document opens optimised";
    }
    {
        // A placed group is written with the board, before the optimisation group.
        CVtrDoc doc(env.db, env.ui);
        RecordView form(std::make_unique<MainFormState>());
        doc.AddView(form);
        doc.OnNewDocument();
        ASSERT_NE(doc.newGroup(), nullptr);
        EXPECT_EQ(ClassRecords(Store(doc)), (std::vector<std::string>{"CLayer", "CProbe", "CCGroup", "CCapa"}));
    }
}

TEST(DocumentFormat, ActiveLayerIsFoundByNameOrIsTheLastLayer) {
    Env env;
    struct Case {
        const char* stored;
        const char* active;
    };
    for (const Case c : {Case{"GND", "GND"}, Case{"Vcc", "Vcc"}, Case{"Abc", "Vcc"}, Case{"", "Vcc"}}) {
        CVtrDoc doc(env.db, env.ui);
        CLayer stranger(nullptr, 0.0, 0.0, c.stored);
        doc.board.currentLayer = std::string(c.stored) == "GND" ? doc.board.layers.front().get() : &stranger;
        const Bytes b = Store(doc);
        CVtrDoc back(env.db, env.ui);
        CArchive ar(b);
        ASSERT_EQ(back.Load(ar), CVtrDoc::LoadStatus::Loaded);
        ASSERT_NE(back.board.currentLayer, nullptr);
        EXPECT_EQ(back.board.currentLayer->name, c.active) << "stored name \"" << c.stored << "\"";
    }
}

TEST(DocumentFormat, ViewRecordsFollowInAttachmentOrderAndExtraOnesAreIgnored) {
    Env env;
    CVtrDoc doc(env.db, env.ui);
    auto formState = std::make_unique<MainFormState>();
    formState->e6 = false;
    formState->transferState = 2;
    formState->currentGroupName = "Gruppe1";
    auto graphState = std::make_unique<GraphViewRecord>();
    graphState->lastFrequency = 2e9;
    graphState->colours[1] = 0x00123456;
    auto editorState = std::make_unique<LayerEditorRecord>();
    editorState->nameText = "Cutout1";
    RecordView form(std::move(formState)), graph(std::move(graphState)), editor(std::move(editorState));
    RecordView recordless(nullptr);
    doc.AddView(form);
    doc.AddView(recordless);
    doc.AddView(graph);
    doc.AddView(editor);
    const Bytes all = Store(doc);
    doc.RemoveView(graph);
    doc.RemoveView(editor);
    const Bytes formOnly = Store(doc);
    // Graph record 4 + 24 + 4 + 12 bytes, editor record 4 + 1 + 7.
    ASSERT_EQ(all.size(), formOnly.size() + 44 + 12);
    EXPECT_TRUE(std::equal(formOnly.begin(), formOnly.end(), all.begin()));

    // Opened with only the main form attached: the rest is ignored.
    CVtrDoc opened(env.db, env.ui);
    RecordView openedForm(std::make_unique<MainFormState>());
    opened.AddView(openedForm);
    CArchive ar(all);
    ASSERT_EQ(opened.Load(ar), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(opened.MainForm()->currentGroupName, "Gruppe1");
    EXPECT_FALSE(opened.MainForm()->e6);
    EXPECT_EQ(opened.MainForm()->transferState, 2);
    EXPECT_EQ(Store(opened), formOnly);

    // With all three attached every record is read back.
    CVtrDoc full(env.db, env.ui);
    RecordView f2(std::make_unique<MainFormState>()), g2(std::make_unique<GraphViewRecord>()),
        e2(std::make_unique<LayerEditorRecord>());
    full.AddView(f2);
    full.AddView(g2);
    full.AddView(e2);
    CArchive ar2(all);
    ASSERT_EQ(full.Load(ar2), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(dynamic_cast<GraphViewRecord*>(g2.Record())->colours[1], 0x00123456u);
    EXPECT_EQ(dynamic_cast<LayerEditorRecord*>(e2.Record())->nameText, "Cutout1");
    EXPECT_EQ(Store(full), all);
}

TEST(DocumentFormat, UnknownVersionsShowTheMessageAndChangeNothing) {
    Env env;
    CVtrDoc doc(env.db, env.ui);
    doc.board.epsilonR = 3.3;
    Bytes b = Store(doc);
    b[0] = 2;
    CVtrDoc target(env.db, env.ui);
    target.board.epsilonR = 7.0;
    const Bytes before = Store(target);
    CArchive ar(b);
    EXPECT_EQ(target.Load(ar), CVtrDoc::LoadStatus::UnknownVersion);
    EXPECT_EQ(env.ui.messageCount("Dateiversion unbekannt!"), 1u);
    EXPECT_EQ(Store(target), before);

    // A graph view of another version keeps its settings; the file opens.
    RecordView form(std::make_unique<MainFormState>()), graph(std::make_unique<GraphViewRecord>());
    doc.AddView(form);
    doc.AddView(graph);
    Bytes g = Store(doc);
    g[g.size() - 44] = 7;
    CVtrDoc opened(env.db, env.ui);
    auto kept = std::make_unique<GraphViewRecord>();
    kept->stepCount = 42;
    RecordView f2(std::make_unique<MainFormState>()), g2(std::move(kept));
    opened.AddView(f2);
    opened.AddView(g2);
    CArchive ar2(g);
    EXPECT_EQ(opened.Load(ar2), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(env.ui.messageCount("Dateiversion unbekannt!"), 2u);
    EXPECT_EQ(dynamic_cast<GraphViewRecord*>(g2.Record())->stepCount, 42);
    EXPECT_DOUBLE_EQ(opened.board.epsilonR, 3.3);
}

TEST(DocumentFormat, RichDocumentRoundTripsByteForByte) {
    Env env;
    CVtrDoc doc(env.db, env.ui);
    RecordView form(std::make_unique<MainFormState>()), graph(std::make_unique<GraphViewRecord>()),
        editor(std::make_unique<LayerEditorRecord>());
    doc.AddView(form);
    doc.AddView(graph);
    doc.AddView(editor);
    doc.MainForm()->currentGroupName = "Gruppe2";
    test::FillRichDocument(doc, env.db);
    const Bytes first = Store(doc);
    EXPECT_EQ(ClassRecords(first),
              (std::vector<std::string>{"CLayer", "CProbe", "CCGroup", "CCapa", "CCutOut", "CNode", "CPort"}));

    CVtrDoc back(env.db, env.ui);
    RecordView f2(std::make_unique<MainFormState>()), g2(std::make_unique<GraphViewRecord>()),
        e2(std::make_unique<LayerEditorRecord>());
    back.AddView(f2);
    back.AddView(g2);
    back.AddView(e2);
    CArchive ar(first);
    ASSERT_EQ(back.Load(ar), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(Store(back), first);

    // What was read is linked and usable.
    const CLayer& vcc = *back.board.currentLayer;
    EXPECT_EQ(vcc.board, &back.board);
    ASSERT_EQ(vcc.capacitorGroups.size(), 2u);
    for (const auto& g : vcc.capacitorGroups) {
        EXPECT_EQ(g->board, &back.board);
        for (int i = 0; i < g->ElementCount(); ++i) EXPECT_EQ(g->Capacitor(i).group, g.get());
    }
    EXPECT_EQ(back.currentGroup(), vcc.capacitorGroups[1].get());
    EXPECT_EQ(back.optimisationGroup.board, &back.board);
    EXPECT_EQ(back.filter.group.board, &back.board);
    ASSERT_EQ(vcc.mesh.nodePorts.size(), 5u);
    EXPECT_EQ(vcc.mesh.nodePorts[0]->node, nullptr) << "ports find their nodes at the next mesh build";
    EXPECT_EQ(vcc.results.resultMaps[1](1, 1), (std::complex<double>(1.2, -0.01)));
    EXPECT_EQ(vcc.results.resultMaps[0](1, 2), kNoMetal);
    EXPECT_EQ(vcc.cutOuts[1]->name, "Cutout2 äöü");
    EXPECT_EQ(vcc.probes.size(), 3u);
    // The database already holds the choke: its own set (with points) is used.
    ASSERT_EQ(back.filter.candidates.size(), 1u);
    EXPECT_EQ(back.filter.candidates[0], env.db.Find("L-Test"));
    EXPECT_EQ(env.db.Count(), 1);
}

TEST(DocumentFormat, NamesOutsideCodePage1252SurviveSavingAndStayApart) {
    Env env;
    CVtrDoc doc(env.db, env.ui);
    const std::size_t before = doc.board.currentLayer->probes.size();
    const std::string names[] = {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81", "Sonde Ω", "Sonde ä"};
    for (const std::string& n : names) ASSERT_TRUE(AddProbe(doc, n, 0.01, 0.01)) << n;
    const Bytes b = Store(doc);
    EXPECT_NE(Find(b, Bytes{7, 'S', 'o', 'n', 'd', 'e', ' ', 0xE4}), std::string::npos) << "1252 where it fits";

    CVtrDoc back(env.db, env.ui);
    CArchive ar(b);
    ASSERT_EQ(back.Load(ar), CVtrDoc::LoadStatus::Loaded);
    for (const std::string& n : names) EXPECT_TRUE(DeleteProbe(back, n)) << n;
    EXPECT_EQ(back.board.currentLayer->probes.size(), before) << "each name found its own probe";
}

TEST(DocumentFormat, AChokeUnknownToTheDatabaseIsAddedWithoutPoints) {
    Env env;
    CVtrDoc doc(env.db, env.ui);
    test::FillRichDocument(doc, env.db);
    const Bytes b = Store(doc);
    RecordingInteraction ui;
    CSParameterDB empty;
    CVtrDoc back(empty, ui);
    CArchive ar(b);
    ASSERT_EQ(back.Load(ar), CVtrDoc::LoadStatus::Loaded);
    ASSERT_EQ(empty.Count(), 1);
    ASSERT_EQ(back.filter.SelectedChoke(), &empty.Set(0));
    EXPECT_EQ(empty.Set(0).maker, "Würth");
    EXPECT_TRUE(empty.Set(0).points.empty());
    EXPECT_EQ(Store(back), b);
}

TEST(DocumentFormat, SolvedDocumentRoundTripsByteForByte) {
    Env env;
    CVtrDoc doc(env.db, env.ui);
    RecordView form(std::make_unique<MainFormState>());
    doc.AddView(form);
    doc.analysisDomain.frequencySteps = 2;
    doc.analysisDomain.stopFrequency = 3e8;
    ASSERT_NE(doc.newGroup(), nullptr);
    doc.board.currentLayer->capacitorGroups[0]->Assign(test::MakeGroup("Gruppe1", 3, 0.03, 0.03));
    ASSERT_TRUE(doc.analyse());
    ASSERT_EQ(doc.board.currentLayer->results.resultMaps.size(), 4u);
    const Bytes first = Store(doc);
    CVtrDoc back(env.db, env.ui);
    RecordView f2(std::make_unique<MainFormState>());
    back.AddView(f2);
    CArchive ar(first);
    ASSERT_EQ(back.Load(ar), CVtrDoc::LoadStatus::Loaded);
    EXPECT_EQ(Store(back), first);
    // The probes read their curves from the loaded maps.
    int valid = 0;
    const auto z = back.board.currentLayer->ImpedanceAt(0.05, 0.035, 1.5e8, valid);
    int validBefore = 0;
    EXPECT_EQ(z, doc.board.currentLayer->ImpedanceAt(0.05, 0.035, 1.5e8, validBefore));
}

TEST(DocumentFormat, GoldenFiles) {
    Env env;
    {
        CVtrDoc doc(env.db, env.ui);
        RecordView form(std::make_unique<MainFormState>());
        doc.AddView(form);
        CheckGolden("default.vnt", Store(doc));
    }
    {
        CVtrDoc doc(env.db, env.ui);
        RecordView form(std::make_unique<MainFormState>()), graph(std::make_unique<GraphViewRecord>()),
            editor(std::make_unique<LayerEditorRecord>());
        doc.AddView(form);
        doc.AddView(graph);
        doc.AddView(editor);
        doc.MainForm()->currentGroupName = "Gruppe2";
        test::FillRichDocument(doc, env.db);
        CheckGolden("rich.vnt", Store(doc));
    }
}

TEST(DocumentFormat, GoldenFilesReadBackToTheirValues) {
    Env env;
    CVtrDoc doc(env.db, env.ui);
    RecordView form(std::make_unique<MainFormState>());
    doc.AddView(form);
    const CVtrDoc::OpenResult r = doc.OpenFile(kGolden / "rich.vnt");
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_DOUBLE_EQ(doc.board.epsilonR, 4.5);
    EXPECT_EQ(doc.analysisDomain.frequencySteps, 3);
    EXPECT_EQ(doc.layerEditorOpen, 1);
    EXPECT_EQ(doc.parasiticsAutomatic, 0);
    EXPECT_EQ(doc.filter.useGroup, 0);
    EXPECT_EQ(doc.MainForm()->currentGroupName, "Gruppe2");
    ASSERT_NE(doc.currentGroup(), nullptr);
    EXPECT_EQ(doc.currentGroup()->CapacitorCount(), 10);
    EXPECT_DOUBLE_EQ(doc.currentGroup()->Capacitor(10).capacitance, 1e-7);
    EXPECT_EQ(doc.optimisationGroup.CapacitorCount(), 3);
    EXPECT_EQ(doc.board.currentLayer->results.resultLabels, (std::vector<std::string>{"100MHz", "Maximum"}));
}

}  // namespace
}  // namespace vantor
