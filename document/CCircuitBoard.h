#pragma once
// The physical board: a rectangular Vcc/GND plane pair, its stack-up and the
// via geometry by which every capacitor reaches the planes, and its two
// planes "GND" and "Vcc". All lengths in metres, conductivity in S/m,
// frequencies in Hz.

#include <cstdint>
#include <memory>
#include <vector>

#include "DeepConst.h"
#include "BoardStackup.h"
#include "CObject.h"

namespace vantor {

inline constexpr const char* kMessageNothingToSolve = "Die Platine hat keine Lage, die berechnet werden kann.";

class CLayer;
class Interaction;
template <class Fields>
class FieldDialog;
struct LayoutFields;
using LayoutDialog = FieldDialog<LayoutFields>;

class CCircuitBoard : public CObject, public BoardStackup {
public:
    /// Board with the program's defaults (99 mm x 71 mm, 50 um, er 4.4).
    CCircuitBoard();
    /// Arguments in the order the document passes them; maxFrequency is
    /// overwritten by the computed first-resonance estimate.
    CCircuitBoard(double width, double length, double planeSpacing, double mountingDepth, double maxFrequency,
                  double epsilonR, double viaSpacing, double conductivity, double metalThickness, double tanDelta,
                  double viaDiameter);
    /// A backup of the values: the copy gets one empty plane per plane of
    /// the original (no name, no extents, the two default probes) and no
    /// active plane.
    CCircuitBoard(const CCircuitBoard& other);
    /// Copies the values only; the planes stay as they are.
    CCircuitBoard& operator=(const CCircuitBoard& other);
    ~CCircuitBoard();

    /// Takes the values, the planes and the active plane of other, which
    /// gets this board's planes in exchange. Each board's planes and their
    /// groups then compute with the stack-up of the board that holds them.
    void TakeOver(CCircuitBoard& other);

    const char* ClassName() const override { return "CCircuitBoard"; }
    /// Record: version 1, the stack-up and via values, the layer list and
    /// the active layer's name. Reading replaces the layers, links them and
    /// their groups to this board, and picks the active layer by name (the
    /// last layer when no name matches).
    void Serialize(CArchive& ar) override;

    /// True when a group, a cut-out's far corner or a probe of any plane lies
    /// beyond the new size, m (points on the border are inside).
    bool anyObjectOutside(double newLength, double newWidth) const;
    /// Gives every plane the board's length and width; moves groups and
    /// probes onto the plane and shrinks or deletes cut-outs.
    void resizeLayers();

    /// The plane the field solver works on: the first named "Vcc", else the
    /// last one; null for a board without planes.
    CLayer* SolverLayer();

    /// The layout-parameter workflow; true when the person confirmed and
    /// the values were applied.
    bool editParameters(LayoutDialog& dialog, Interaction& ui);

    OwnedList<CLayer> layers;         // "GND", then "Vcc"
    DeepConst<CLayer*> currentLayer;  // the active plane

private:
    /// The one place that tells planes (and the groups on them) which
    /// stack-up they are on: every plane the board holds gets this one.
    void LinkLayers();
};

}  // namespace vantor
