#include "BillOfMaterials.h"

#include <algorithm>
#include <cmath>

#include "CLayer.h"
#include "CVtrDoc.h"
#include "Values.h"

namespace vantor {

void SplitPackageName(const std::string& name, std::string& package, std::string& dielectric) {
    const std::size_t blank = name.find(' ');
    package = name.substr(0, blank);
    dielectric = blank == std::string::npos ? std::string() : name.substr(blank + 1);
}

namespace {

// ESR of the automatic law depends on frequency: the value at the part's
// series resonance is the one that sets its impedance minimum.
double EsrAsUsed(const CCapa& c, double esl) {
    const double f = esl > 0.0 && c.capacitance > 0.0 ? 1.0 / (kTwoPi * std::sqrt(esl * c.capacitance)) : 0.0;
    return EffectiveEsr(c, f);
}

}  // namespace

BillOfMaterials MakeBillOfMaterials(const CVtrDoc& doc) {
    BillOfMaterials bom;
    if (const CLayer* plane = doc.plane()) {
        const std::size_t groups = plane->capacitorGroups.size();
        std::vector<std::string> keys;  // one per part, in bom.capacitors' order
        for (std::size_t g = 0; g < groups; ++g) {
            const CCGroup& group = *plane->capacitorGroups[g];
            bom.groups.push_back(group.name);
            for (int i = 1; i < group.ElementCount(); ++i) {
                const CCapa& c = group.Capacitor(i);
                CapacitorPart part;
                part.capacitance = c.capacitance;
                SplitPackageName(c.shape.name, part.package, part.dielectric);
                part.esl = EffectiveEsl(c);
                part.esr = EsrAsUsed(c, part.esl);
                // The same part on paper: value and inductance as printed,
                // package, and the same loss law.
                const std::string key = FormatValue(c.capacitance, "F") + "|" + c.shape.name + "|" +
                                        FormatValue(part.esl, "H") + "|" + FormatValue(c.shape.rloss, "") +
                                        (c.autoParasitics != 0 ? "|auto" : "|fest");
                const auto at = std::find(keys.begin(), keys.end(), key);
                auto it = bom.capacitors.begin() + (at - keys.begin());
                if (at == keys.end()) {
                    keys.push_back(key);
                    part.perGroup.assign(groups, 0);
                    it = bom.capacitors.insert(bom.capacitors.end(), part);
                }
                ++it->perGroup[g];
                ++it->total;
            }
        }
    }
    std::stable_sort(bom.capacitors.begin(), bom.capacitors.end(),
                     [](const CapacitorPart& a, const CapacitorPart& b) { return a.capacitance < b.capacitance; });
    if (const CSParaSet* choke = doc.filter().SelectedChoke()) {
        bom.hasChoke = true;
        bom.choke.maker = choke->maker;
        bom.choke.type = choke->partNumber.empty() || choke->partNumber == choke->name
                             ? choke->name
                             : choke->name + " (" + choke->partNumber + ")";
        bom.choke.package = choke->dimensions;
    }
    return bom;
}

}  // namespace vantor
