#pragma once
// The layout dialog "Layout-Parameter eingeben" as the core sees it.

#include "LayoutFields.h"

namespace vantor {

class LayoutDialog {
public:
    virtual ~LayoutDialog() = default;
    /// Shows the fields; returns true on OK. An implementation recomputes
    /// the hidden frequency with UpdateMaxFrequency() as the texts change and
    /// returns true only once Check() has passed.
    virtual bool exec(LayoutFields& fields) = 0;
};

}  // namespace vantor
