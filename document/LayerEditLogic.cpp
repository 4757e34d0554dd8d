#include "LayerEditLogic.h"

#include <cmath>

#include "CCGroup.h"
#include "CLayer.h"

namespace vantor {

bool GroupCovers(const CCGroup& group, double x, double y) {
    return std::fabs(x - group.posX) <= kGroupHalfEdge && std::fabs(y - group.posY) <= kGroupHalfEdge;
}

const CCGroup* HitGroup(const CLayer& plane, double x, double y) {
    for (const auto& g : plane.capacitorGroups)
        if (GroupCovers(*g, x, y)) return g.get();
    return nullptr;
}

std::string PlaneHit::Name() const {
    if (probe != nullptr) return probe->name;
    if (group != nullptr) return group->name;
    if (cutOut != nullptr) return cutOut->name;
    return {};
}

PlaneHit HitTest(const CLayer& plane, double x, double y) {
    PlaneHit hit;
    if ((hit.probe = plane.HitProbe(x, y)) != nullptr) return hit;
    if ((hit.group = HitGroup(plane, x, y)) != nullptr) return hit;
    hit.cutOut = plane.HitCutOut(x, y);
    return hit;
}

void DragCutOut(CCutOut& c, double dx, double dy) {
    c.x1 += dx;
    c.x2 += dx;
    c.y1 += dy;
    c.y2 += dy;
}

}  // namespace vantor
