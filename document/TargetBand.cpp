#include "TargetBand.h"

#include "CCGroup.h"
#include "CVtrDoc.h"
#include "Values.h"

namespace vantor {

TargetBand GroupTargetBand(const CCGroup& group) {
    TargetBand band;
    band.fo = group.fo;
    band.zminFu = group.zminFu;
    band.zmaxFu = group.zmaxFu;
    band.zminFo = group.zminFo;
    band.zmaxFo = group.zmaxFo;
    return band;
}

const CCGroup& BandGroup(const CVtrDoc& doc) {
    const CCGroup* group = doc.currentGroup();
    return group != nullptr ? *group : doc.optimisationGroup;
}

std::vector<BandExcursion> BandExcursions(const CGraphTrace& trace, const TargetBand& band) {
    std::vector<BandExcursion> found;
    if (!band.HasTargets()) return found;
    // side: +1 above, -1 below, 0 inside (or not judged)
    int open = 0;
    for (const CTracePoint& p : trace.points) {
        int side = 0;
        if (p.flag != 0 && p.x <= band.fo) side = p.y > band.Upper(p.x) ? 1 : p.y < band.Lower(p.x) ? -1 : 0;
        if (side != 0 && side == open) {
            found.back().to = p.x;
        } else if (side != 0) {
            found.push_back({trace.name, side > 0, p.x, p.x});
        }
        open = side;
    }
    return found;
}

std::string ExcursionText(const BandExcursion& e) {
    const std::string what = e.trace + (e.above ? " über Zmax " : " unter Zmin ");
    if (e.from == e.to) return what + "bei " + FormatValue(e.from, "Hz");
    return what + "von " + FormatValue(e.from, "Hz") + " bis " + FormatValue(e.to, "Hz");
}

}  // namespace vantor
