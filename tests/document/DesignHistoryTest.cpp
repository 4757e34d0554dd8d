// Undo and redo of document commands: the saved file's bytes come back
// exactly, solver results move between plane and history without copies,
// the step limit and the modified flag, and a failed restore changes nothing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "DesignAccess.h"
#include "DesignHistory.h"
#include "DocumentFixtures.h"

namespace vantor {
namespace {

using test::Bytes;
using test::Env;
using test::Store;

// Saves doc to path and reads the file back.
Bytes SavedBytes(CVtrDoc& doc, const std::filesystem::path& path) {
    std::string error;
    EXPECT_TRUE(doc.SaveFile(path, error)) << error;
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// One command as the program runs it, between the history's Begin and
// Commit; true when it succeeded and made a step.
bool Command(DesignHistory& history, const char* label, const std::function<bool()>& command) {
    history.Begin(label);
    const bool done = command();
    return history.Commit() && done;
}

bool NewGroup(DesignHistory& h, CVtrDoc& doc) {
    return Command(h, "Neue Gruppe", [&] { return doc.newGroup(); });
}

bool SetFilter(DesignHistory& h, CVtrDoc& doc, const std::string& fo) {
    return Command(h, "Filter", [&] { return doc.setFilterRequirements(fo, "10M", "35", "0.1"), true; });
}

TEST(DesignHistory, GroupCommandsUndoToTheSavedFileAndRedoToTheirResult) {
    Env e;
    e.doc.OnNewDocument();
    test::MoreViews views(e.doc);
    DesignHistory history(e.doc);
    const std::filesystem::path file = ::testing::TempDir() + "vantor-history.vnt";
    const Bytes saved = SavedBytes(e.doc, file);
    history.MarkSaved();

    ASSERT_TRUE(NewGroup(history, e.doc));
    ASSERT_TRUE(Command(history, "Werte", [&] {
        return e.doc.setGroupValues({"1n", "2n2", "4n7", "10n", "22n", "47n", "100n", "220n", "470n", "1u"}), true;
    }));
    EXPECT_FALSE(Command(history, "Nichts", [] { return true; })) << "a command that changed nothing is no step";
    const Bytes after = Store(e.doc);

    EXPECT_EQ(history.UndoLabel(), "Werte");
    ASSERT_TRUE(history.Undo() && history.Undo() && !history.CanUndo());
    EXPECT_FALSE(e.doc.IsModified()) << "back at the saved state";
    EXPECT_TRUE(e.doc.MainForm()->currentGroupName.empty());
    EXPECT_EQ(SavedBytes(e.doc, file), saved);
    std::filesystem::remove(file);

    EXPECT_EQ(history.RedoLabel(), "Neue Gruppe");
    ASSERT_TRUE(history.Redo() && history.Redo());
    EXPECT_TRUE(e.doc.IsModified());
    EXPECT_EQ(Store(e.doc), after);
    EXPECT_EQ(e.doc.currentGroup()->stackup(), &e.doc.board()) << "links set again";
}

// Undo takes back the current group of every main form, which is the design's.
TEST(DesignHistory, UndoRestoresTheCurrentGroupOfBothMainForms) {
    Env e;
    RecordView second(e.doc.MainFormRecord());
    e.doc.AddView(second);
    DesignHistory history(e.doc);
    ASSERT_TRUE(NewGroup(history, e.doc) && NewGroup(history, e.doc));
    ASSERT_TRUE(Command(history, "Gruppe wählen",
                        [&] { return e.doc.selectGroup(e.doc.plane()->FindGroupByName("Gruppe1")); }));
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(e.doc.MainForm()->currentGroupName, "Gruppe2");
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(e.doc.MainForm()->currentGroupName, "Gruppe1");
    ASSERT_TRUE(history.Redo() && history.Redo());
    EXPECT_EQ(e.doc.currentGroup()->name, "Gruppe1");
    e.doc.RemoveView(second);
}

// Also: a view attached between commands keeps its record through undo.
TEST(DesignHistory, KeepsTheNewestStepsUpToItsLimit) {
    Env e;
    DesignHistory history(e.doc, 25);
    const auto design = [&] {
        CArchive ar;
        e.doc.StoreDesign(ar);
        return ar.Bytes();
    };
    RecordView graph{std::make_unique<GraphViewRecord>()};
    std::vector<Bytes> states{design()};
    for (int k = 1; k <= 30; ++k) {
        if (k == 20) {
            e.doc.AddView(graph);
            dynamic_cast<GraphViewRecord&>(*graph.Record()).stepCount = 77;
        }
        ASSERT_TRUE(SetFilter(history, e.doc, std::to_string(100 + k) + "M"));
        states.push_back(design());
    }
    EXPECT_EQ(history.StepCount(), 25u);
    for (int k = 29; k >= 5; --k) {
        ASSERT_TRUE(history.Undo());
        ASSERT_EQ(design(), states[static_cast<std::size_t>(k)]) << k;
    }
    EXPECT_FALSE(history.Undo());
    EXPECT_EQ(dynamic_cast<GraphViewRecord&>(*graph.Record()).stepCount, 77);
    EXPECT_TRUE(e.doc.IsModified()) << "the saved state was dropped with the oldest steps";
    ASSERT_TRUE(history.Redo());
    ASSERT_TRUE(SetFilter(history, e.doc, "1G"));
    EXPECT_FALSE(history.CanRedo()) << "a new command drops what could be redone";
    e.doc.RemoveView(graph);
}

// A record that cannot be read back: stands for a snapshot the load refuses.
struct RefusingRecord : LayerEditorRecord {
    std::unique_ptr<ViewRecord> Clone() const override { return std::make_unique<RefusingRecord>(*this); }
    bool Read(CArchive&, Interaction&) override { throw ArchiveError("verweigert"); }
};

// A small plane solved at two frequencies.
struct SolvedDesign : Env {
    SolvedDesign() {
        DesignAccess::AnalysisDomain(doc).frequencySteps = 2, DesignAccess::AnalysisDomain(doc).stopFrequency = 1e9;
        DesignAccess::AnalysisDomain(doc).resolution = 4.0;
    }
    bool Analyse(DesignHistory& history) {
        return Command(history, "Analyse", [&] {
            const std::unique_ptr<SolveJob> job = doc.startAnalysis();
            return job != nullptr && (job->start(), doc.finishAnalysis(*job));
        });
    }
};

// Analysis, a group and KillMax, undone and redone: the results before each
// solve come back, the very same objects, and the snapshots stay small.
TEST(DesignHistory, SolvesAreUndoneByMovingTheirResults) {
    SolvedDesign e;
    DesignHistory history(e.doc);
    const auto maps = [&] { return e.doc.plane()->results.resultMaps.data(); };
    const auto nodes = [&] { return e.doc.plane()->mesh.gridNodes.data(); };

    ASSERT_TRUE(e.Analyse(history));
    const auto* firstMaps = maps();
    const auto* firstNodes = nodes();
    ASSERT_TRUE(NewGroup(history, e.doc));
    ASSERT_TRUE(Command(history, "KillMax", [&] { return e.doc.killMax(); }));
    const auto* killMaps = maps();
    const Bytes solved = Store(e.doc);
    ASSERT_NE(killMaps, firstMaps);

    const CLayer& plane = *e.doc.plane();
    const std::size_t resultBytes = plane.results.resultMaps.size() * plane.mesh.gridNodes.size() * 16;
    EXPECT_LT(history.SnapshotBytes() * 4, resultBytes) << "six snapshots against one set of results";

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(maps(), firstMaps);
    EXPECT_EQ(e.doc.plane()->capacitorGroups.size(), 1u);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(maps(), firstMaps) << "undoing a command without a solve keeps the results";
    EXPECT_EQ(nodes(), firstNodes);
    ASSERT_TRUE(history.Undo());
    EXPECT_TRUE(!e.doc.plane()->HasResults() && e.doc.plane()->mesh.gridNodes.empty());

    ASSERT_TRUE(history.Redo() && history.Redo() && history.Redo());
    EXPECT_EQ(maps(), killMaps);
    EXPECT_EQ(Store(e.doc), solved);

    // A restore the load refuses leaves everything as it was.
    RecordView refusing{std::make_unique<RefusingRecord>()};
    e.doc.AddView(refusing);
    const Bytes before = Store(e.doc);
    EXPECT_FALSE(history.Undo());
    EXPECT_EQ(Store(e.doc), before);
    EXPECT_TRUE(maps() == killMaps && history.UndoLabel() == "KillMax");
    e.doc.RemoveView(refusing);
}

// Over the byte bound the oldest kept results go first; their steps stay
// and restore the design with the plane unsolved, redo brings back what
// they solved. Snapshots alone over the bound drop the oldest steps.
TEST(DesignHistory, StaysWithinItsByteBoundDroppingTheOldestResultsFirst) {
    // The bytes one analysis step keeps, measured without a bound.
    std::size_t step = 0;
    {
        SolvedDesign e;
        DesignHistory history(e.doc);
        ASSERT_TRUE(e.Analyse(history));
        const std::size_t first = history.HeldBytes();
        ASSERT_TRUE(e.Analyse(history));
        step = history.HeldBytes() - first;
        ASSERT_GT(step, 4 * history.SnapshotBytes()) << "the results are the bulk";
    }
    SolvedDesign e;
    const std::size_t bound = step * 5 / 2;
    DesignHistory history(e.doc, 100, bound);
    std::vector<Bytes> states;  // the design after each step
    for (int k = 0; k < 4; ++k) {
        ASSERT_TRUE(e.Analyse(history));
        EXPECT_LE(history.HeldBytes(), bound) << k;
        ASSERT_TRUE(NewGroup(history, e.doc));
        EXPECT_LE(history.HeldBytes(), bound) << k;
    }
    EXPECT_EQ(history.StepCount(), 8u) << "no step is dropped while results can go";
    const auto* lastMaps = e.doc.plane()->results.resultMaps.data();
    const Bytes solved = Store(e.doc);

    // The newest two analyses kept what they replaced, the older ones not.
    for (int k = 3; k >= 0; --k) {
        ASSERT_TRUE(history.Undo());
        EXPECT_EQ(e.doc.plane()->capacitorGroups.size(), static_cast<std::size_t>(k)) << k;
        const bool dropped = k < 2;
        EXPECT_EQ(history.UndoLabel(), dropped && k > 0 ? "Analyse (ohne die früheren Ergebnisse)" : "Analyse") << k;
        ASSERT_TRUE(history.Undo());
        EXPECT_EQ(e.doc.plane()->capacitorGroups.size(), static_cast<std::size_t>(k)) << "the design is restored";
        EXPECT_EQ(e.doc.plane()->HasResults(), k > 1) << k;
        EXPECT_EQ(e.doc.plane()->mesh.gridNodes.empty(), k <= 1) << k;
    }
    EXPECT_FALSE(history.CanUndo());
    while (history.CanRedo()) ASSERT_TRUE(history.Redo());
    EXPECT_EQ(e.doc.plane()->results.resultMaps.data(), lastMaps);
    EXPECT_EQ(Store(e.doc), solved);

    // Snapshots alone: a bound of three steps keeps the newest three.
    Env small;
    std::size_t one = 0;
    {
        DesignHistory unbounded(small.doc);
        ASSERT_TRUE(SetFilter(unbounded, small.doc, "101M"));
        one = unbounded.HeldBytes();
    }
    DesignHistory bounded(small.doc, 100, one * 3 + one / 2);
    for (int k = 0; k < 6; ++k) {
        ASSERT_TRUE(SetFilter(bounded, small.doc, std::to_string(200 + k) + "M"));
        EXPECT_LE(bounded.HeldBytes(), one * 3 + one / 2);
    }
    EXPECT_EQ(bounded.StepCount(), 3u);
}

}  // namespace
}  // namespace vantor
