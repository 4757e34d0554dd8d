#pragma once
// Edits of the objects on the edited plane (CVtrDoc::plane) as the layer
// editor makes them: placing probes, drawing and deleting cut-outs (the
// groups are the document's commands). Shared by the GUI and the
// command-line tool. Each edit that changed something marks the document
// modified and notifies the views once.

#include <array>
#include <string>

#include "FieldCheck.h"

#include "CVtrDoc.h"

namespace vantor {

/// The capacitance slots C1..C10 of the main form, as a refused check names
/// them.
enum class SlotField { C1, C2, C3, C4, C5, C6, C7, C8, C9, C10 };

/// The main form's check of the slot texts C1..C10 of a group of n
/// capacitors: every occupied slot must hold a value above zero.
FieldCheck CheckSlotValues(const std::array<std::string, 10>& slotTexts, int n);

/// Whether a name a person gave is no name: empty, or only white space
/// (including the no-break space).
bool IsBlankName(const std::string& name);

/// "Probe" followed by the smallest n >= 1 no probe of the layer uses.
std::string NextProbeName(const CLayer& layer);
/// A new probe at (x, y), m, clamped into the plane. False when a probe of
/// that name exists or the name is blank.
bool AddProbe(CVtrDoc& doc, const std::string& name, double x, double y);
/// Moves the first probe of that name, clamped into the plane.
bool MoveProbe(CVtrDoc& doc, const std::string& name, double x, double y);
/// Deletes the first probe of that name.
bool DeleteProbe(CVtrDoc& doc, const std::string& name);

/// "Cutout" followed by the smallest n >= 1 no cut-out of the layer uses.
std::string NextCutOutName(const CLayer& layer);
/// A new active cut-out from two corners, m, each clamped into the plane;
/// an empty name takes NextCutOutName. Returns the name, or empty when a
/// cut-out of the given name exists or the name is only white space.
std::string AddCutOut(CVtrDoc& doc, double x1, double y1, double x2, double y2, const std::string& name = {});
/// "&Delete" of the layer editor: deletes the first cut-out of that name.
bool DeleteCutOut(CVtrDoc& doc, const std::string& name);

}  // namespace vantor
