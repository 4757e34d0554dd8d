#pragma once
// The design behind a document, writable, for the document's own edit
// functions in this folder (each ends in the document's change path: marked
// and notified), its undo history, and the set-up of tests. Windows and the
// command-line tool read the document through its const getters and change
// it only through its commands; scripts/check-layers keeps this header out
// of every other folder.

#include "CVtrDoc.h"

namespace vantor {

class DesignAccess {
public:
    /// The shared main-form state; null while no main form is attached.
    static MainFormState* MainForm(CVtrDoc& doc) { return doc.EditedMainForm(); }
    static CLayer* Plane(CVtrDoc& doc) { return doc.EditedPlane(); }
    static CCGroup* CurrentGroup(CVtrDoc& doc) { return doc.EditedCurrentGroup(); }
    static CCircuitBoard& Board(CVtrDoc& doc) { return doc.board_; }
    static CFilter& Filter(CVtrDoc& doc) { return doc.filter_; }
    static CCGroup& OptimisationGroup(CVtrDoc& doc) { return doc.optimisationGroup_; }
    static CAnalysisDomain& AnalysisDomain(CVtrDoc& doc) { return doc.analysisDomain_; }
    static std::int32_t& GraphWindowOpen(CVtrDoc& doc) { return doc.graphWindowOpen_; }
    static std::int32_t& LayerEditorOpen(CVtrDoc& doc) { return doc.layerEditorOpen_; }
    static std::int32_t& FilterReceivedGroup(CVtrDoc& doc) { return doc.filterReceivedGroup_; }
    static std::int32_t& ParasiticsAutomatic(CVtrDoc& doc) { return doc.parasiticsAutomatic_; }
};

}  // namespace vantor
