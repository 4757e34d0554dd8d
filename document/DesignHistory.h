#pragma once
// Undo and redo of the document's commands by snapshots of the model.
//
// A snapshot is the document as its file holds it (the document record and
// the attached views' records) but without the solver plane's mesh and
// results, which would make it large. Those are never copied: a command that
// replaces them (an analysis, KillMax) hands the replaced ones to the
// history through the document, and undo and redo swap them with the
// plane's. A restore goes through the document's all-or-nothing load, so a
// failed undo leaves the document as it was.
//
// The history is bounded by steps and by bytes (snapshots and kept
// solutions). Over the byte bound the kept solutions go first, oldest
// first: such a step stays, but holds an empty solution instead, so undoing
// it restores the design with the plane unsolved (no mesh, no results) and
// its undo label says so; redoing it brings back the solution it made. When
// the snapshots alone exceed the bound, the oldest steps go.
//
// Use: Begin(label) before a command, Commit() after it (Abandon() when the
// command was not carried out). Everything on the document's thread.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "SolveJob.h"

namespace vantor {

class CSParaSet;
class CVtrDoc;
class DocumentView;

class DesignHistory {
public:
    /// Bytes the history may hold by default: 512 MiB.
    static constexpr std::size_t kDefaultByteLimit = std::size_t{512} << 20;

    /// Keeps at most limit steps (at least one) and byteLimit bytes of doc,
    /// which must outlive it; becomes the keeper of the solutions doc's
    /// solves replace.
    explicit DesignHistory(CVtrDoc& doc, std::size_t limit = 100, std::size_t byteLimit = kDefaultByteLimit);
    ~DesignHistory();
    DesignHistory(const DesignHistory&) = delete;
    DesignHistory& operator=(const DesignHistory&) = delete;

    /// Takes the snapshot before a command; a pending one is abandoned.
    void Begin(std::string label);
    /// After the command: pushes a step when the model changed (or a solve
    /// replaced the results), marks the document modified and drops the
    /// steps that could be redone. Returns whether it pushed one.
    bool Commit();
    /// Forgets the pending snapshot.
    void Abandon();

    bool CanUndo() const { return current_ > 0; }
    bool CanRedo() const { return current_ < steps_.size(); }
    /// The label of the step Undo / Redo would take back / do again; empty
    /// when there is none.
    std::string UndoLabel() const;
    std::string RedoLabel() const;
    /// Restores the state before the last step; false (document unchanged)
    /// when there is none or the restore failed.
    bool Undo();
    /// Restores the state after the next step; false as for Undo.
    bool Redo();

    /// The current state is the one on disk (call after each save): undo
    /// and redo clear the document's modified flag there and set it
    /// everywhere else.
    void MarkSaved();
    /// Forgets every step (after open or new); the current state counts as
    /// saved when the document is not modified.
    void Clear();

    std::size_t StepCount() const { return steps_.size(); }
    /// Bytes the snapshots of all steps hold (the size of the history
    /// without the kept meshes and results).
    std::size_t SnapshotBytes() const;
    /// Bytes the history holds: the snapshots and the kept solutions.
    std::size_t HeldBytes() const;

private:
    struct Snapshot {
        struct Record {
            const DocumentView* view;
            std::type_index kind;
            std::vector<std::uint8_t> bytes;
            bool operator==(const Record&) const = default;
        };
        std::vector<std::uint8_t> design;  // without the solver plane's mesh and results
        std::vector<Record> records;
        // Not in the file but shown: the candidate chokes of the last search.
        std::vector<const CSParaSet*> candidates;
        std::int32_t selected = 0;
        bool operator==(const Snapshot&) const = default;
        std::size_t Size() const;
    };
    struct Step {
        std::string label;
        Snapshot before, after;
        // For a step that replaced the solution: the one not in the plane now
        // (the old one while the step is done, the new one while undone).
        std::optional<PlaneSolution> other;
        bool solutionDropped = false;  // other was given up for the byte bound
        std::size_t Bytes() const;
    };
    struct Pending {
        std::string label;
        Snapshot before;
        std::optional<PlaneSolution> replaced;
    };

    Snapshot Capture() const;
    /// Loads s; the restored plane gets other's solution (swapped) when
    /// given, else keeps the current one. target is the step index after.
    bool Restore(const Snapshot& s, std::optional<PlaneSolution>& other, std::size_t target);
    void Keep(PlaneSolution& replaced);
    /// Brings the history within its bounds after a push.
    void Trim();
    void DropOldest();

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    CVtrDoc& doc_;
    std::size_t limit_;
    std::size_t byteLimit_;
    std::deque<Step> steps_;
    std::size_t current_ = 0;  // steps done
    std::size_t saved_ = 0;    // steps done in the state on disk; kNone when gone
    std::optional<Pending> pending_;
};

}  // namespace vantor
