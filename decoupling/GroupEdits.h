#pragma once
// The group's target edit and the capacitor shape edit over abstract
// dialogs; the desktop dialogs, the command-line tool and tests implement
// them.

#include "CCGroup.h"
#include "CapacitorFields.h"
#include "FieldDialog.h"
#include "TargetFields.h"

namespace vantor {

struct BoardStackup;

/// The optimisation-target dialog.
using TargetDialog = FieldDialog<TargetFields>;
/// The capacitor-properties dialog "Kondensator - Eigenschaften eingeben".
using CapacitorDialog = FieldDialog<CapacitorFields>;

/// Shows the target dialog for the group with maxFrequency (Hz) as the
/// highest Fo; on OK the group takes fo and the four limits. True on OK.
bool EditTargets(CCGroup& group, TargetDialog& dialog, double maxFrequency);

/// ESL the dialog shows for a shape with automatic parasitics, H: the
/// mounted inductance on the board, or lser without a board or for the
/// user-defined package.
double ShapeEsl(const CCapShape& shape, const BoardStackup* board);

/// Edits a shape: on OK the chosen entry of the application's package table
/// takes the typed Rloss and Lser, and the shape takes over that entry
/// (keeping its owner). True on OK; on cancel the shape is untouched.
bool EditShape(CCapShape& shape, CapacitorDialog& dialog, const BoardStackup* board);

}  // namespace vantor
