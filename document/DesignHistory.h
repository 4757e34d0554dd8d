#pragma once
// Interim stand-in until the snapshot history lands: whole-document byte snapshots.
#include <string>
#include <vector>
#include "CVtrDoc.h"
namespace vantor {
class DesignHistory {
public:
    explicit DesignHistory(CVtrDoc& doc, std::size_t limit = 100) : doc_(doc), limit_(limit) {}
    void Begin(std::string label) { label_ = std::move(label); before_ = Bytes(); }
    bool Commit() {
        std::vector<std::uint8_t> after = Bytes();
        if (after == before_) return false;
        undo_.push_back({label_, before_});
        if (undo_.size() > limit_) undo_.erase(undo_.begin());
        redo_.clear();
        return true;
    }
    void Abandon() {}
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::string UndoLabel() const { return undo_.empty() ? "" : undo_.back().label; }
    std::string RedoLabel() const { return redo_.empty() ? "" : redo_.back().label; }
    bool Undo() { return Move(undo_, redo_); }
    bool Redo() { return Move(redo_, undo_); }
    void MarkSaved() {}
    void Clear() { undo_.clear(); redo_.clear(); }
private:
    struct Step { std::string label; std::vector<std::uint8_t> bytes; };
    std::vector<std::uint8_t> Bytes() { CArchive ar; doc_.Store(ar); return ar.Bytes(); }
    bool Move(std::vector<Step>& from, std::vector<Step>& to) {
        if (from.empty()) return false;
        Step s = from.back(); from.pop_back();
        to.push_back({s.label, Bytes()});
        CArchive ar(std::move(s.bytes)); doc_.Load(ar); doc_.SetModifiedFlag(true);
        return true;
    }
    CVtrDoc& doc_; std::size_t limit_; std::string label_; std::vector<std::uint8_t> before_;
    std::vector<Step> undo_, redo_;
};
}  // namespace vantor
