#pragma once
// The layout dialog "Layout-Parameter eingeben" as the core sees it. An
// implementation recomputes the hidden frequency with UpdateMaxFrequency()
// as the texts change.

#include "FieldDialog.h"
#include "LayoutFields.h"

namespace vantor {

using LayoutDialog = FieldDialog<LayoutFields>;

}  // namespace vantor
