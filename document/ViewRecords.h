#pragma once
// The views of a document as the core sees them: each may hold a persistent
// record that the document writes and reads in attachment order, and each
// redraws from the document when asked.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "CArchive.h"

namespace vantor {

class Interaction;

/// The persistent part of a view.
class ViewRecord {
public:
    virtual ~ViewRecord() = default;
    virtual std::unique_ptr<ViewRecord> Clone() const = 0;
    /// Takes over the values of a record of the same kind.
    virtual void CopyFrom(const ViewRecord& other) = 0;
    virtual void Write(CArchive& ar) const = 0;
    /// Reads the record. False when the person was told the version is
    /// unknown: the record keeps its values and nothing more can be read.
    virtual bool Read(CArchive& ar, Interaction& ui) = 0;
};

/// The main form's stored state; the current group name designates the
/// current placed group for the whole system. The document holds one for
/// the design, and every main form stores it as its record.
class MainFormState : public ViewRecord {
public:
    std::unique_ptr<ViewRecord> Clone() const override { return std::make_unique<MainFormState>(*this); }
    void CopyFrom(const ViewRecord& other) override { *this = dynamic_cast<const MainFormState&>(other); }
    /// Record: version 1, E6 flag (byte), graph flags B, C, A, transfer
    /// state, current group name. Another version is refused.
    void Write(CArchive& ar) const override;
    bool Read(CArchive& ar, Interaction& ui) override;

    bool e6 = true;  // value series: E6, else E12
    std::int32_t graphChoiceA = 1;
    std::int32_t graphChoiceB = 0;
    std::int32_t graphChoiceC = 0;
    std::int32_t transferState = 0;  // 0 nothing transferred, 1 changed since, 2 transferred
    std::string currentGroupName;
};

/// The graph view's stored axis and colours.
class GraphViewRecord : public ViewRecord {
public:
    std::unique_ptr<ViewRecord> Clone() const override { return std::make_unique<GraphViewRecord>(*this); }
    void CopyFrom(const ViewRecord& other) override { *this = dynamic_cast<const GraphViewRecord&>(other); }
    /// Record: version 1, first and last frequency, step, step count, three
    /// colours. Another version shows "Dateiversion unbekannt!".
    void Write(CArchive& ar) const override;
    bool Read(CArchive& ar, Interaction& ui) override;

    double firstFrequency = 0.0;  // Hz
    double lastFrequency = 1e9;   // Hz
    double frequencyStep = 2e6;   // Hz
    std::int32_t stepCount = 500;
    std::array<std::uint32_t, 3> colours{0x00FF0000, 0x00326400, 0x000000FF};  // 0x00BBGGRR
};

/// The layer editor's stored name text.
class LayerEditorRecord : public ViewRecord {
public:
    std::unique_ptr<ViewRecord> Clone() const override { return std::make_unique<LayerEditorRecord>(*this); }
    void CopyFrom(const ViewRecord& other) override { *this = dynamic_cast<const LayerEditorRecord&>(other); }
    /// Record: version 1, the name text. Another version is refused.
    void Write(CArchive& ar) const override;
    bool Read(CArchive& ar, Interaction& ui) override;

    std::string nameText;
};

/// What a command changed, so that a view redraws only what it shows.
/// Bits; a command that changes several things sends them together.
enum class ChangeHint : unsigned {
    None = 0,
    Board = 1u << 0,      // stack-up, plane size, probes and cut-outs
    Groups = 1u << 1,     // the optimisation group and the placed groups: values, positions, the list
    Filter = 1u << 2,     // filter requirements, chokes, the group handed to the filter
    Results = 1u << 3,    // mesh and solver results
    Analysis = 1u << 4,   // analysis frequencies and mesh resolution
    ViewState = 1u << 5,  // the main form's state (current group, transfer state) and the window flags
    Everything = (1u << 6) - 1,
};

constexpr ChangeHint operator|(ChangeHint a, ChangeHint b) {
    return static_cast<ChangeHint>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr ChangeHint operator&(ChangeHint a, ChangeHint b) {
    return static_cast<ChangeHint>(static_cast<unsigned>(a) & static_cast<unsigned>(b));
}
/// True when hint says that any of what changed.
constexpr bool Touches(ChangeHint hint, ChangeHint what) { return (hint & what) != ChangeHint::None; }

/// A view attached to a document.
class DocumentView {
public:
    virtual ~DocumentView() = default;
    /// Redraw what the hint names from the document's current state;
    /// Everything asks for a whole refresh.
    virtual void OnUpdate(ChangeHint hint) { (void)hint; }
    /// The record the document stores for this view; null stores nothing.
    virtual ViewRecord* Record() { return nullptr; }
};

/// A view that is only its record: the main form of the command-line tool,
/// and stand-ins for the desktop views in tests.
class RecordView : public DocumentView {
public:
    explicit RecordView(std::unique_ptr<ViewRecord> record) : owned_(std::move(record)), record_(owned_.get()) {}
    /// A view storing a record another owns (a main form: the document's).
    explicit RecordView(ViewRecord& record) : record_(&record) {}
    void OnUpdate(ChangeHint hint) override {
        ++updates;
        lastHint = hint;
    }
    ViewRecord* Record() override { return record_; }

    int updates = 0;
    ChangeHint lastHint = ChangeHint::None;

private:
    std::unique_ptr<ViewRecord> owned_;
    ViewRecord* record_;
};

}  // namespace vantor
