#include "MainFormLogic.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "DesignAccess.h"
#include "FilterFields.h"
#include "PackageTable.h"
#include "PlaneEdits.h"
#include "Values.h"

namespace vantor {

namespace {

// The transfer state is set before the command runs, so that the views the
// command notifies already draw the new state; a command that fails changed
// nothing and notified nobody, and gets the old state back.
template <class Command>
bool WithTransferState(CVtrDoc& doc, TransferState state, Command command) {
    MainFormState* form = DesignAccess::MainForm(doc);
    const std::int32_t before = form != nullptr ? form->transferState : 0;
    if (form != nullptr) form->transferState = state;
    const bool done = command();
    if (!done && form != nullptr) form->transferState = before;
    return done;
}

}  // namespace

int SlotElement(int n, int k) { return n + 1 - k; }

int InsertPosition(int n, int k) { return k == n ? 1 : std::abs(k - n); }

SlotTexts GroupSlotTexts(const CCGroup* group, bool exact) {
    SlotTexts texts;
    texts.fill(kEmptySlot);
    const int n = group != nullptr ? group->CapacitorCount() : 0;
    for (int k = 1; k <= kSlotCount && k <= n; ++k) {
        const double c = group->Capacitor(SlotElement(n, k)).capacitance;
        texts[static_cast<std::size_t>(k - 1)] = exact ? ExactText(c) : FormatValue(c, "F");
    }
    return texts;
}

const CCGroup* NewGroupFromForm(CVtrDoc& doc) {
    const CCGroup* group = nullptr;
    WithTransferState(doc, kChangedSinceTransfer, [&] { return (group = doc.newGroup()) != nullptr; });
    return group;
}

FieldCheck WriteSlotValues(CVtrDoc& doc, const SlotTexts& slotTexts) {
    const CCGroup* group = doc.currentGroup();
    if (auto e = CheckSlotValues(slotTexts, group != nullptr ? group->CapacitorCount() : 0)) return e;
    // The form checks its filter fields on every validation.
    if (auto e = FilterFields::FromFilter(doc.filter()).Check()) return e;
    WithTransferState(doc, kChangedSinceTransfer, [&] {
        doc.setGroupValues(slotTexts);
        return true;
    });
    return std::nullopt;
}

bool TransferToFilter(CVtrDoc& doc) {
    return WithTransferState(doc, kTransferred, [&] { return doc.transferGroupToFilter(); });
}

bool EditDefaultPackage(CVtrDoc& doc, CapacitorDialog& dialog) {
    return WithTransferState(doc, kNothingTransferred, [&] { return doc.editCapacitorProperties(dialog); });
}

std::string ChokeSearchRefusal(const CVtrDoc& doc) {
    return doc.filterReceivedGroup() ? std::string() : std::string(kMessageTransferFirst);
}

ValueComboList BuildValueComboList(const std::string& slotText, bool e6) {
    ValueComboList list;
    if (slotText == kEmptySlot) return list;
    const double v = ParseValue(slotText);
    // The list runs from the largest value down.
    std::vector<std::string> series = e6 ? E6Series() : E12Series();
    std::stable_sort(series.begin(), series.end(),
                     [](const std::string& a, const std::string& b) { return ParseValue(a) > ParseValue(b); });
    bool placed = false;
    for (const std::string& s : series) {
        const double w = ParseValue(s);
        if (w > v) {
            list.entries.push_back(s);
            continue;
        }
        if (!placed) {
            list.selected = static_cast<int>(list.entries.size());
            list.entries.push_back(w == v ? slotText : slotText + " *");
            placed = true;
        }
        // A series value equal to the slot's is not listed twice.
        if (w < v) list.entries.push_back(s);
    }
    return list;
}

std::string ChokeLabel(const CSParaSet& set) {
    return set.partNumber.empty() ? set.name : set.name + " (" + set.partNumber + ")";
}

ChokeList BuildChokeList(const CFilter& filter) {
    ChokeList list;
    if (filter.candidates.empty()) {
        list.entries.push_back({kNoChokeEntry, -1});
        return list;
    }
    for (std::size_t i = 0; i < filter.candidates.size(); ++i)
        list.entries.push_back({ChokeLabel(*filter.candidates[i]), static_cast<int>(i)});
    std::stable_sort(list.entries.begin(), list.entries.end(),
                     [](const ChokeList::Entry& a, const ChokeList::Entry& b) { return a.text < b.text; });
    for (std::size_t i = 0; i < list.entries.size(); ++i)
        if (list.entries[i].candidate == filter.selected) list.selected = static_cast<int>(i);
    const CSParaSet& chosen =
        *filter.candidates[static_cast<std::size_t>(list.entries[std::size_t(list.selected)].candidate)];
    list.maker = chosen.maker;
    list.type = chosen.description.empty() ? chosen.comment : chosen.description;
    list.package = chosen.dimensions;
    return list;
}

int FindCandidate(const CFilter& filter, const std::string& name) {
    const auto& c = filter.candidates;
    auto it = std::find_if(c.begin(), c.end(), [&](const CSParaSet* set) { return set->name == name; });
    return it == c.end() ? -1 : static_cast<int>(it - c.begin());
}

double ReachedFmax(const CCGroup& g) {
    if (g.CapacitorCount() < 1 || !(g.fo > 0.0) || !std::isfinite(g.fo)) return 0.0;
    auto inside = [&g](double f) {
        double zmin = 0.0, zmax = 0.0;
        g.LimitLines(f, zmin, zmax);
        return g.GroupImpedanceMagnitude(f) <= zmax;
    };
    // 400 points a decade from 1 kHz up to fo find the narrow
    // anti-resonance peaks between neighbouring values. The limit lines end
    // at fo, and so does what the optimiser can reach.
    constexpr double kPerDecade = 400.0;
    constexpr double kStart = 1e3;
    double last = 0.0;
    for (int i = 0;; ++i) {
        const double f = std::min(kStart * std::pow(10.0, i / kPerDecade), g.fo);
        if (inside(f)) {
            last = f;
        } else if (last > 0.0) {
            double lo = last, hi = f;
            while (hi - lo > 1e-9 * lo) {
                const double mid = 0.5 * (lo + hi);
                (inside(mid) ? lo : hi) = mid;
            }
            return lo;
        }
        if (f >= g.fo) return last;
    }
}

std::string FmaxFieldText(double fmax) { return FormatValue(std::min(fmax, 3e9), "Hz"); }

}  // namespace vantor
