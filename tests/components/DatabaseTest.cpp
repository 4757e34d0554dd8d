// The component database: the folder scan, the unique names and what the
// loading display shows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CSParameterDB.h"
#include "RecordingInteraction.h"
#include "TestFiles.h"

namespace vantor {
namespace {

std::string S2p(const std::string& partNumber) {
    return "! PART_NUMBER: " + partNumber + "\n# MHz S RI R 50\n1 0 0 1 0 1 0 0 0\n2 0 0 1 0 1 0 0 0\n";
}

std::string Flp(const std::vector<std::string>& names) {
    std::string s;
    for (const std::string& n : names) s += n + " 1e6 1e6 1 50 RI\nd\n\n\n\n\n\n\n\n1000000 0 0 1 0 1 0 0 0\n";
    return s;
}

std::vector<std::string> Names(const CSParameterDB& db) {
    std::vector<std::string> names;
    for (const auto& s : db.Sets()) names.push_back(s->name);
    return names;
}

TEST(Database, ScansSubFoldersSkippingBangNamesAndForeignFiles) {
    test::ScratchFolder f;
    f.write("A.s2p", S2p("a"));
    f.write("B.S2P", S2p("b"));           // upper-case extension
    f.write("lib.Flp", Flp({"C", "D"}));  // mixed case
    f.write("sub/E.s2p", S2p("e"));
    f.write("sub/deeper/F.s2p", S2p("f"));
    f.write("!old/G.s2p", S2p("g"));  // a "!" folder is not scanned
    f.write("sub/!H.s2p", S2p("h"));  // nor a "!" file read
    f.write("notes.txt", S2p("i"));
    f.write("I.s2p.bak", S2p("i"));
    f.write("x/L1.s2p", S2p("first"));  // the first set of a name wins
    f.write("y/L1.s2p", S2p("second"));
    f.write("z/lib.flp", Flp({"L1", "L2", "l2"}));  // names compare with case
    RecordingInteraction ui;
    CSParameterDB db;
    EXPECT_EQ(db.LoadDatabase(f.path(), ui), 9);
    EXPECT_EQ(Names(db), (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "L1", "L2", "l2"}));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(db.Find("L1")->partNumber, "first");
    EXPECT_EQ(db.Find("l1"), nullptr);
    EXPECT_EQ(db.AddSet(nullptr), 0);

    // A missing folder is an empty database, without a message.
    EXPECT_EQ(CSParameterDB().LoadDatabase("/nonexistent/Database", ui), 0);
    EXPECT_TRUE(ui.messages().empty());
}

TEST(Database, BadFilesAreReportedAndTheScanGoesOnCountingInTheDisplay) {
    test::ScratchFolder f;
    f.write("a/lib.flp", Flp({"A", "B"}));
    f.write("b/C.s2p", S2p("c"));
    f.write("c/bad.s2p", "# MHz S RI R 75\n1 0 0 1 0 1 0 0 0\n");
    f.write("d/D.s2p", S2p("d"));
    RecordingInteraction ui;
    CSParameterDB db;
    EXPECT_EQ(db.LoadDatabase(f.path(), ui), 4);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].find("Referenzimpedanz"), std::string::npos);
    const auto& ev = ui.events();
    ASSERT_GE(ev.size(), 2u);
    EXPECT_EQ(ev.front().kind, RecordingInteraction::Kind::ProgressBegin);
    EXPECT_EQ(ev.front().text, "S-Parameter-Daten werden geladen...");
    EXPECT_EQ(ev.back().kind, RecordingInteraction::Kind::ProgressEnd);
    std::vector<std::string> counts;  // the count runs on across folders
    const std::string label = "Bisher gelesene S-Parameter-Sätze: ";
    for (const auto& e : ev)
        if (e.kind == RecordingInteraction::Kind::ProgressText && e.text.find(label) != std::string::npos)
            counts.push_back(e.text.substr(e.text.find(label) + label.size()));
    EXPECT_EQ(counts, (std::vector<std::string>{"2", "3", "3", "4"}));
}

TEST(Database, TheFileLineKeepsTheLast55Characters) {
    EXPECT_EQ(LoadingPathText("Database/short.s2p"), "Database/short.s2p");
    const std::string exact(55, 'x');
    EXPECT_EQ(LoadingPathText(exact), exact);
    EXPECT_EQ(LoadingPathText("12345" + exact), exact);
    // characters, not bytes: "ä" is two bytes and must not be split
    const std::string umlauts = "Datenbank/" + std::string(30, 'a') + "ääääää" + std::string(19, 'b') + ".s2p";
    // Appended, not added: GCC 12 warns falsely (-Warray-bounds) about the sum.
    EXPECT_EQ(LoadingPathText(umlauts), std::string(30 - 4, 'a').append("ääääää").append(19, 'b').append(".s2p"));
}

}  // namespace
}  // namespace vantor
