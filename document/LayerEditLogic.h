#pragma once
// What the layer editor decides under the mouse: which object a point hits
// and how a dragged cut-out moves. Coordinates in metres on the plane.

#include <string>

namespace vantor {

class CCGroup;
class CCutOut;
class CLayer;
class CProbe;

/// Half the edge of a group's square in the editor, m.
inline constexpr double kGroupHalfEdge = 2.5e-3;

/// True when (x, y) lies on a group's square (borders included).
bool GroupCovers(const CCGroup& group, double x, double y);
/// The first group of the plane whose square covers (x, y), or none.
const CCGroup* HitGroup(const CLayer& plane, double x, double y);

/// The object under the mouse: probes first, then groups in list order,
/// then cut-outs (whatever their inactive flag). At most one is set.
struct PlaneHit {
    const CProbe* probe = nullptr;
    const CCGroup* group = nullptr;
    const CCutOut* cutOut = nullptr;
    bool any() const { return probe != nullptr || group != nullptr || cutOut != nullptr; }
    /// Name of the hit object, empty for none.
    std::string Name() const;
};
PlaneHit HitTest(const CLayer& plane, double x, double y);

/// Moves a cut-out by (dx, dy): all four edges shift by the same amount.
void DragCutOut(CCutOut& cutOut, double dx, double dy);

}  // namespace vantor
