#pragma once
// The design behind a document, writable, for the document's own edit
// functions in this folder (each ends in the document's change path: marked
// and notified) and for the set-up of tests. Windows and the command-line
// tool read the document through its const getters and change it only
// through its commands; scripts/check-layers keeps this header out of every
// other folder.

#include "CVtrDoc.h"

namespace vantor {

class DesignAccess {
public:
    /// The shared main-form state; null while no main form is attached.
    static MainFormState* MainForm(CVtrDoc& doc) { return doc.EditedMainForm(); }
};

}  // namespace vantor
