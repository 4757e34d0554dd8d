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
    return group != nullptr ? *group : doc.optimisationGroup();
}

std::vector<BandExcursion> BandExcursions(const CGraphTrace& trace, const TargetBand& band) {
    std::vector<BandExcursion> found;
    if (!band.HasTargets()) return found;
    bool open = false;
    for (const CTracePoint& p : trace.points) {
        // An untrusted point (a rough interpolation at a sharp peak) neither
        // starts nor ends a range.
        if (p.flag == 0) continue;
        const bool above = p.x <= band.fo && p.y > band.Upper(p.x);
        if (above && open)
            found.back().to = p.x;
        else if (above)
            found.push_back({trace.name, p.x, p.x});
        open = above;
    }
    return found;
}

std::string ExcursionText(const BandExcursion& e) {
    const std::string what = e.trace + " über Zmax ";
    if (e.from == e.to) return what + "bei " + FormatValue(e.from, "Hz");
    return what + "von " + FormatValue(e.from, "Hz") + " bis " + FormatValue(e.to, "Hz");
}

}  // namespace vantor
