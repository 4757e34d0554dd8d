// Damaged files fail with a message and leave the document as it was;
// saving replaces a file completely or not at all.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>

#include "DocumentFixtures.h"
#include "DocumentFile.h"
#include "RecordingInteraction.h"

namespace vantor {
namespace {

using test::Bytes;
using test::Store;

struct Env {
    Env() {
        RegisterModelClasses();
        db.AddSet(test::TestChoke());
    }
    RecordingInteraction ui;
    CSParameterDB db;
};

// A rich document as the main form alone writes it.
Bytes RichFile(Env& env) {
    CVtrDoc doc(env.db, env.ui);
    RecordView form(std::make_unique<MainFormState>());
    doc.AddView(form);
    doc.MainForm()->currentGroupName = "Gruppe1";
    test::FillRichDocument(doc, env.db);
    return Store(doc);
}

// Loads bytes into a document with a main form; returns the error text, or
// "" when the load succeeded. Checks that a failed load changed nothing.
std::string LoadError(Env& env, const Bytes& bytes) {
    CVtrDoc doc(env.db, env.ui);
    auto state = std::make_unique<MainFormState>();
    state->currentGroupName = "unverändert";
    RecordView form(std::move(state));
    doc.AddView(form);
    doc.board.epsilonR = 9.9;
    const Bytes before = Store(doc);
    try {
        CArchive ar(bytes);
        doc.Load(ar);
        return "";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(Store(doc), before) << "a failed load changed the document";
        return e.what();
    }
}

std::size_t Find(const Bytes& hay, const std::string& s) {
    auto it = std::search(hay.begin(), hay.end(), s.begin(), s.end());
    return it == hay.end() ? std::string::npos : static_cast<std::size_t>(it - hay.begin());
}

TEST(DamagedDocument, EveryTruncationFails) {
    Env env;
    const Bytes full = RichFile(env);
    ASSERT_EQ(LoadError(env, full), "");
    for (std::size_t n = 0; n < full.size(); ++n) {
        const std::string e = LoadError(env, Bytes(full.begin(), full.begin() + static_cast<long>(n)));
        ASSERT_NE(e, "") << "a file cut to " << n << " of " << full.size() << " bytes was accepted";
    }
}

TEST(DamagedDocument, EachDamageIsNamed) {
    Env env;
    const Bytes full = RichFile(env);
    struct Case {
        const char* what;
        std::function<void(Bytes&)> damage;
        const char* message;
    };
    const std::size_t layer = Find(full, "CLayer");
    const std::size_t probe = Find(full, "Probe1");
    const std::size_t cutout = Find(full, "CCutOut");
    const std::vector<Case> cases = {
        {"wrong class name", [&](Bytes& b) { b[layer + 5] = 'X'; }, "Unbekannte Klasse \"CLayeX\""},
        {"wrong schema", [&](Bytes& b) { b[layer - 4] = 1; }, "Unbekannte Schemanummer 1"},
        {"class in the wrong list", [&](Bytes& b) { std::copy_n("CProbe", 6, b.begin() + static_cast<long>(layer)); },
         "\"CProbe\" an einer Stelle, an der \"CLayer\""},
        // The GND layer's probe list count, just before the class record of "Probe1".
        {"count past the end", [&](Bytes& b) { b[probe - 35] = 0xFE; b[probe - 34] = 0xFF; }, "Listenlänge 65534"},
        {"object index that does not exist", [&](Bytes& b) { b[probe + 6] = 0x09; b[probe + 7] = 0x00; },
         "Ungültiger Objektverweis 9"},
        {"class index that does not exist", [&](Bytes& b) { b[probe + 6] = 0x09; }, "Ungültiger Klassenverweis 9"},
        {"text length past the end", [&](Bytes& b) { b[b.size() - 8] = 0xFF; b[b.size() - 7] = 0xF0; b[b.size() - 6] = 0x00; },
         "Unerwartetes Dateiende"},
        {"board version", [&](Bytes& b) { b[76] = 2; }, "Version 2 eines Datensatzes CCircuitBoard"},
        {"cut-out version", [&](Bytes& b) { b[cutout + 7] = 5; }, "Version 5 eines Datensatzes CCutOut"},
        {"main form version", [&](Bytes& b) { b[b.size() - 8 - 21] = 3; }, "Hauptformulars"},
    };
    for (const Case& c : cases) {
        Bytes b = full;
        c.damage(b);
        const std::string e = LoadError(env, b);
        EXPECT_NE(e.find(c.message), std::string::npos) << c.what << ": " << e;
    }
}

TEST(DamagedDocument, ResultSizesBeyondTheFileAreRefusedBeforeAllocating) {
    Env env;
    CVtrDoc doc(env.db, env.ui);
    CLayer& vcc = *doc.board.currentLayer;
    vcc.results.resultMaps.push_back(ComplexMatrix(1, 1, {1.0, 2.0}));
    vcc.results.resultLabels.push_back("1MHz");
    Bytes b = Store(doc);
    // Results header of the Vcc layer: ny, nx, count just before the label "1MHz".
    const std::size_t label = std::search(b.begin(), b.end(), std::begin("\x04" "1MHz"), std::end("\x04" "1MHz") - 1) - b.begin();
    for (std::int32_t v : {0x7FFFFFFF, -1}) {
        Bytes d = b;
        for (int i = 0; i < 4; ++i) d[label - 12 + i] = static_cast<std::uint8_t>(v >> (8 * i));
        const std::string e = LoadError(env, d);
        EXPECT_TRUE(e.find("Ergebnis") != std::string::npos) << e;
    }
}

TEST(DamagedDocument, OpenFileNamesTheFileAndTheFault) {
    Env env;
    const auto dir = std::filesystem::path(::testing::TempDir()) / ("vantor_doc_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    Bytes b = RichFile(env);
    b.resize(b.size() / 2);
    std::ofstream(dir / "halb.vnt", std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    CVtrDoc doc(env.db, env.ui);
    auto r = doc.OpenFile(dir / "halb.vnt");
    EXPECT_EQ(r.kind, CVtrDoc::OpenResult::Failed);
    EXPECT_NE(r.message.find("halb.vnt"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("Dateiende"), std::string::npos) << r.message;
    r = doc.OpenFile(dir / "fehlt.vnt");
    EXPECT_EQ(r.kind, CVtrDoc::OpenResult::Failed);
    EXPECT_NE(r.message.find("kann nicht geöffnet werden"), std::string::npos) << r.message;
    r = doc.OpenFile(dir);
    EXPECT_NE(r.message.find("keine gewöhnliche Datei"), std::string::npos) << r.message;
    std::filesystem::remove_all(dir);
}

TEST(DocumentSave, ReplacesTheFileOrLeavesItUntouched) {
    Env env;
    const auto dir = std::filesystem::path(::testing::TempDir()) / ("vantor_save_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    CVtrDoc doc(env.db, env.ui);
    RecordView form(std::make_unique<MainFormState>());
    doc.AddView(form);
    test::FillRichDocument(doc, env.db);
    doc.SetModifiedFlag();
    std::string error;
    ASSERT_TRUE(doc.SaveFile(dir / "a.vnt", error)) << error;
    EXPECT_FALSE(doc.IsModified());
    Bytes onDisk;
    ASSERT_TRUE(ReadWholeFile(dir / "a.vnt", onDisk, error));
    EXPECT_EQ(onDisk, Store(doc));

    // Saving over a folder fails at the rename: the folder stays, no
    // temporary file is left, the reason is named.
    std::filesystem::create_directories(dir / "b.vnt" / "inhalt");
    doc.SetModifiedFlag();
    EXPECT_FALSE(doc.SaveFile(dir / "b.vnt", error));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_NE(error.find("kann nicht gespeichert werden"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::exists(dir / "b.vnt" / "inhalt"));
    // A folder that does not exist.
    EXPECT_FALSE(doc.SaveFile(dir / "fehlt" / "c.vnt", error));
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2) << "only a.vnt and the folder b.vnt";
    // The earlier file is still complete.
    Bytes again;
    ASSERT_TRUE(ReadWholeFile(dir / "a.vnt", again, error));
    EXPECT_EQ(again, onDisk);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vantor
