#include "CFilter.h"

#include <cctype>
#include <cmath>
#include <string>

namespace vantor {

namespace {

constexpr double kZ0 = 50.0;  // Ohm, source, load and data reference

// Case-blind ordering as the choke proposal uses it.
int CompareNoCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

double ChokeAttenuation(const CSParameter& point, Complex groupY) {
    const Complex s11 = point.s11, s21 = point.s21, s22 = point.s22;
    // Measured data of a reciprocal part are made exactly reciprocal.
    const Complex s12 = std::abs(s21 - point.s12) < kReciprocityTolerance ? s21 : point.s12;

    // Chain parameters times 2 S21 (kept multiplied so that S21 = 0, a
    // perfect block, needs no division).
    const Complex a = (1.0 + s11) * (1.0 - s22) + s12 * s21;
    const Complex b = kZ0 * ((1.0 + s11) * (1.0 + s22) - s12 * s21);
    const Complex c = ((1.0 - s11) * (1.0 - s22) - s12 * s21) / kZ0;
    const Complex d = (1.0 - s11) * (1.0 + s22) + s12 * s21;

    // The shunt group behind the choke: [A B; C D] * [1 0; Y 1].
    const Complex a2 = a + b * groupY;
    const Complex c2 = c + d * groupY;

    // Load voltage over half the source voltage, both ends at 50 Ohm.
    const Complex den = kZ0 * a2 + b + kZ0 * kZ0 * c2 + kZ0 * d;
    const Complex h = 2.0 * (kZ0 + kZ0) * s21 / den;
    const double db = 10.0 * std::log10(std::norm(h));
    // Undefined (0/0) claims no attenuation; gain is limited to 0 dB.
    if (std::isnan(db) || db > 0.0) return 0.0;
    return db;
}

Complex CFilter::ShuntAdmittance(double f) const {
    if (useGroup == 0) return 1.0 / Complex(kNoGroupImpedance, 0.0);
    if (f <= 0.0) return {0.0, 0.0};  // capacitors are open at DC
    return group.GroupAdmittance(f, 1);
}

double CFilter::Attenuation(const CSParameter& point) const {
    return ChokeAttenuation(point, ShuntAdmittance(point.freq));
}

bool CFilter::MeetsAttenuation(const CSParaSet& set) const {
    for (const CSParameter& p : set.points) {
        if (p.freq < fLower || p.freq > fUpper) continue;
        if (-Attenuation(p) < minAttenuation) return false;
    }
    return true;
}

int CFilter::SearchChokes(const CSParameterDB& db) {
    candidates.clear();
    for (const auto& s : db.Sets()) {
        const CSParaSet& set = *s;
        if (set.maxCurrent != 0.0 && set.maxCurrent < maxSupplyCurrent) continue;
        if (set.fMax < fUpper || set.fMin > fLower) continue;
        if (!MeetsAttenuation(set)) continue;
        candidates.push_back(&set);
    }

    selected = 0;
    std::string first = "ZZZZZZZZZZZZZZZZZZ";
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (CompareNoCase(candidates[i]->name, first) < 0) {
            first = candidates[i]->name;
            selected = static_cast<std::int32_t>(i);
        }
    }
    return static_cast<int>(candidates.size());
}

const CSParaSet* CFilter::SelectedChoke() const {
    if (selected < 0 || static_cast<std::size_t>(selected) >= candidates.size()) return nullptr;
    return candidates[static_cast<std::size_t>(selected)];
}

const CSParameter* CFilter::NearestPoint(double f) const {
    const CSParaSet* set = SelectedChoke();
    if (set == nullptr || set->points.empty()) return nullptr;
    const CSParameter* best = nullptr;
    double bestDistance = 0.0;
    for (const CSParameter& p : set->points) {
        if (p.freq == f) return &p;
        const double d = std::fabs(p.freq - f);
        if (best != nullptr && !(d < bestDistance)) return best;
        best = &p;
        bestDistance = d;
    }
    return &set->points.back();
}

int CFilter::AttenuationTrace(std::vector<FilterTracePoint>& trace) const {
    const CSParaSet* set = SelectedChoke();
    if (set == nullptr) return 0;
    int n = 0;
    for (const CSParameter& p : set->points) {
        if (p.freq < fLower || p.freq > fUpper) continue;
        trace.push_back(FilterTracePoint{1, p.freq, 0.0});
        ++n;
    }
    return n;
}

}  // namespace vantor
