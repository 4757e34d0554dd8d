#pragma once
// The layout dialog's fields as texts, with the dialog's checks, its
// maximum-frequency rule and the order in which the board takes them over.
// The desktop dialog, the command-line tool and the tests share this code.

#include <string>

#include "CCircuitBoard.h"
#include "FieldCheck.h"

namespace vantor {

/// The fields of the layout dialog, as a refused check names them.
enum class LayoutField {
    Width,
    Length,
    PlaneSpacing,
    MountingDepth,
    MetalThickness,
    Conductivity,
    ViaSpacing,
    ViaDiameter,
    ViasPerSide,
    EpsilonR,
};

struct LayoutFields {
    std::string width;           // "Breite:", m
    std::string length;          // "Länge:", m
    std::string planeSpacing;    // "Abstand Vcc <> GND:", m
    std::string mountingDepth;   // "Abstand Vcc/GND <> SMD:", m
    std::string metalThickness;  // "Metallisierungsdicke:", m
    std::string conductivity;    // "Sigma [MS/m]", plain number
    std::string viaSpacing;      // "Abstand Vcc<>GND-Via:", m
    std::string viaDiameter;     // "Via-Durchmesser:", m
    std::string viasPerSide;     // "n Vias pro Cap und Seite:", integer
    std::string epsilonR;        // "Epsilon r:", plain number
    std::string maxFrequency;    // hidden, Hz

    /// The dialog filled from a board (lengths through FormatValue).
    static LayoutFields FromBoard(const CCircuitBoard& board);
    /// The same with texts that read back exactly (no display rounding), for
    /// callers that change only some fields.
    static LayoutFields FromBoardExact(const CCircuitBoard& board);

    /// Recomputes the hidden maximum-frequency text from width, length,
    /// permittivity and plane spacing (3 GHz at 60 um spacing or less).
    void UpdateMaxFrequency();

    /// Exchanges the width and length texts when the width is the larger:
    /// the length is always the longer side. The dialog does this on OK so
    /// that it shows what the board will take.
    void OrderSides();

    /// The checks of OK, in the dialog's order, on the sides as OrderSides
    /// would leave them. Returns the first failure.
    FieldCheck Check() const;

    /// Writes the checked values into the board in the dialog's order, the
    /// longer side as the length. Call only after Check() passed.
    void ApplyTo(CCircuitBoard& board) const;
};

/// The layout dialog's message for a size that must be above zero.
inline constexpr const char* kMessageNotPositive =
    "Der eingegebene Wert ist ungültig!\n\nDer Wert muß größer Null sein!\nÜberprüfen Sie auch die Einheit!";
/// Its message for a component-side substrate thicker than 5 mm.
inline constexpr const char* kMessageTooThick =
    "Der eingegebene Wert ist ungültig!\n\nDie maximale Substratdicke zwischen dem Vcc-GND-\n"
    "System und der Bestückungslage beträgt 5mm!";

}  // namespace vantor
