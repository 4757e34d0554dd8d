#pragma once
// The capacitor-properties dialog's values with its checks.

#include <string>

#include "CCapShape.h"
#include "FieldCheck.h"

namespace vantor {

struct BoardStackup;

/// The fields of the capacitor-properties dialog.
enum class CapacitorField { Package, Automatic, Rloss, Lser };

struct CapacitorFields {
    int packageType = 0;  // selected table entry
    bool automatic = false;
    std::string rloss;  // "Verlustwiderstand:", Ohm
    std::string lser;   // "Serieninduktivität:", H
    std::string name;   // "Bezeichnung:"

    /// The dialog filled from a shape: Auto on unless the shape is the
    /// user-defined package; with Auto on the inductance is the mounted ESL
    /// on the board.
    static CapacitorFields FromShape(const CCapShape& shape, const BoardStackup* board);
    /// The same with texts that read back exactly.
    static CapacitorFields FromShapeExact(const CCapShape& shape, const BoardStackup* board);

    /// A package chosen from the list (a table index): with Auto on the
    /// fields show its loss resistance, ESL and name.
    void ChoosePackage(int tableIndex, const BoardStackup* board);
    /// Auto switched on shows the chosen package's values; switched off it
    /// selects the user-defined package and keeps the typed values.
    void SetAutomatic(bool on, const BoardStackup* board);

    /// Checks of OK: 0.01 <= Rloss <= 5 Ohm, 0.05 nH <= Lser <= 10 nH.
    FieldCheck Check() const;

    /// The chosen entry of the application's package table takes the typed
    /// Rloss and Lser, and the shape takes over that entry (keeping its
    /// owner). False, shape untouched, for an index outside the table.
    bool ApplyTo(CCapShape& shape) const;
};

}  // namespace vantor
