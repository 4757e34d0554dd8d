#include "PlaneEdits.h"

#include <algorithm>
#include <cmath>

#include "DesignAccess.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor {

namespace {

// Points outside the plane land on its border, as a mouse point does.
void ClampIntoPlane(const CLayer& plane, double& x, double& y) {
    x = std::clamp(x, 0.0, plane.planeLength);
    y = std::clamp(y, 0.0, plane.planeWidth);
}

// A const plane's probe is const.
template <class Layer>
auto FindProbe(Layer& plane, const std::string& name) -> decltype(plane.probes.front().get()) {
    for (auto& p : plane.probes)
        if (p->name == name) return p.get();
    return nullptr;
}

}  // namespace

FieldCheck CheckSlotValues(const std::array<std::string, 10>& slotTexts, int n) {
    for (int k = 1; k <= 10 && k <= n; ++k)
        if (const double c = ParseValue(slotTexts[static_cast<std::size_t>(k - 1)]); !(c > 0.0 && std::isfinite(c)))
            return FieldError{static_cast<SlotField>(k - 1), "C" + std::to_string(k) + ":",
                              "Fehler: Kapazitätswert muß größer als Null sein !!!"};
    return std::nullopt;
}

bool IsBlankName(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == ' ' || (c >= '\t' && c <= '\r')) continue;
        if (c == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) == 0xA0) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

std::string NextProbeName(const CLayer& layer) {
    for (int n = 1;; ++n) {
        std::string name = "Probe" + std::to_string(n);
        if (FindProbe(layer, name) == nullptr) return name;
    }
}

bool AddProbe(CVtrDoc& doc, const std::string& name, double x, double y) {
    CLayer* plane = DesignAccess::Plane(doc);
    if (plane == nullptr || IsBlankName(name) || FindProbe(*plane, name) != nullptr) return false;
    ClampIntoPlane(*plane, x, y);
    plane->probes.push_back(std::make_unique<CProbe>(x, y, name));
    doc.DesignChanged(ChangeHint::Board);
    return true;
}

bool MoveProbe(CVtrDoc& doc, const std::string& name, double x, double y) {
    CLayer* plane = DesignAccess::Plane(doc);
    CProbe* probe = plane != nullptr ? FindProbe(*plane, name) : nullptr;
    if (probe == nullptr) return false;
    ClampIntoPlane(*plane, x, y);
    probe->x = x;
    probe->y = y;
    doc.DesignChanged(ChangeHint::Board);
    return true;
}

bool DeleteProbe(CVtrDoc& doc, const std::string& name) {
    CLayer* plane = DesignAccess::Plane(doc);
    if (plane == nullptr) return false;
    auto& probes = plane->probes;
    auto it = std::find_if(probes.begin(), probes.end(), [&](const auto& p) { return p->name == name; });
    if (it == probes.end()) return false;
    probes.erase(it);
    doc.DesignChanged(ChangeHint::Board);
    return true;
}

std::string NextCutOutName(const CLayer& layer) {
    for (int n = 1;; ++n) {
        std::string name = "Cutout" + std::to_string(n);
        if (!layer.CutOutNameExists(name)) return name;
    }
}

std::string AddCutOut(CVtrDoc& doc, double x1, double y1, double x2, double y2, const std::string& name) {
    CLayer* plane = DesignAccess::Plane(doc);
    if (plane == nullptr || (!name.empty() && IsBlankName(name))) return {};
    const std::string chosen = name.empty() ? NextCutOutName(*plane) : name;
    if (plane->CutOutNameExists(chosen)) return {};
    ClampIntoPlane(*plane, x1, y1);
    ClampIntoPlane(*plane, x2, y2);
    plane->cutOuts.push_back(std::make_unique<CCutOut>(x1, y1, x2, y2, chosen));
    doc.DesignChanged(ChangeHint::Board);
    return chosen;
}

bool DeleteCutOut(CVtrDoc& doc, const std::string& name) {
    CLayer* plane = DesignAccess::Plane(doc);
    if (plane == nullptr || !plane->DeleteCutOutByName(name)) return false;
    doc.DesignChanged(ChangeHint::Board);
    return true;
}

}  // namespace vantor
