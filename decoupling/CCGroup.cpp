#include "CCGroup.h"

#include <cmath>

#include "PackageTable.h"
#include "BoardStackup.h"
#include "Values.h"

namespace vantor {

CCGroup::CCGroup(const BoardStackup* board) : defaultPackage(DefaultPackage()), board_(board) {
    defaultPackage.owner = this;
}

CCGroup::CCGroup(const CCGroup& other) : CCGroup(other.board_) { Assign(other); }

CCGroup& CCGroup::operator=(const CCGroup& other) {
    if (this != &other) Assign(other);
    return *this;
}

void CCGroup::Assign(const CCGroup& other) {
    if (this == &other) return;
    elements_.clear();
    defaultPackage = other.defaultPackage;  // keeps our owner
    zmaxFo = other.zmaxFo;
    zminFo = other.zminFo;
    zmaxFu = other.zmaxFu;
    zminFu = other.zminFu;
    fo = other.fo;
    posX = other.posX;
    posY = other.posY;
    name = other.name;
    for (const auto& c : other.elements_) Append(std::make_unique<CCapa>(*c));
}

CCapa& CCGroup::Append(std::unique_ptr<CCapa> capa) {
    capa->group = this;
    elements_.push_back(std::move(capa));
    return *elements_.back();
}

CCapa& CCGroup::InsertAt(int i, std::unique_ptr<CCapa> capa) {
    capa->group = this;
    auto it = elements_.insert(elements_.begin() + i, std::move(capa));
    return **it;
}

void CCGroup::RemoveCapacitor(int i) { elements_.erase(elements_.begin() + i); }

std::unique_ptr<CCapa> CCGroup::NewCapacitor(double capacitance) const {
    auto c = std::make_unique<CCapa>();
    c->autoParasitics = 1;
    c->shape = defaultPackage;
    c->capacitance = capacitance;
    return c;
}

int CCGroup::InsertCapacitor(int p) {
    const int n = ElementCount();
    if (n >= kMaxElements) return 0;
    if (n <= 1) {
        auto c = NewCapacitor(1e-6);
        if (n == 0)
            Append(std::move(c));
        else
            InsertAt(1, std::move(c));
        return 1;
    }
    // Callers pass 1 <= p < n; keep anything else inside the list.
    if (p < 1) p = 1;
    if (p > n) p = n;
    const double before = p <= 1 ? 0.0 : Capacitor(p - 1).capacitance;
    const double after = p < n ? Capacitor(p).capacitance : Capacitor(n - 1).capacitance;
    InsertAt(p, NewCapacitor(0.5 * (before + after)));
    return 1;
}

void CCGroup::LimitLines(double f, double& zmin, double& zmax) const {
    zmin = (zminFo - zminFu) * f / fo + zminFu;
    zmax = (zmaxFo - zmaxFu) * f / fo + zmaxFu;
}

Complex CCGroup::GroupAdmittance(double f, int withPlaneEntry) const {
    if (f == 0) return {1e61, 0.0};
    const double w = kTwoPi * f;
    const int n = ElementCount();
    if (n == 0) return {0.0, 0.0};
    if (n == 1 && withPlaneEntry == 0) return {1e-61, 0.0};

    double g = 0.0, b = 0.0;
    for (int i = 1; i < n; ++i) {
        const Complex z = CapacitorImpedance(Capacitor(i), f);
        const double r = z.real(), x = z.imag();
        const double d = r * r + x * x;
        g += r / d;
        b += -x / d;
    }
    // Without discrete capacitors the via branch is open: no admittance.
    Complex y(0.0, 0.0);
    if (n > 1) {
        const double lvia = board_ != nullptr ? board_->ViaLoopInductance(n - 1) : 0.0;
        const Complex zc = 1.0 / Complex(g, b);
        y = 1.0 / (zc + Complex(0.0, w * lvia));
    }
    if (withPlaneEntry == 0) return y;

    const Complex z0 = CapacitorImpedance(Capacitor(0), f);
    const double d0 = z0.real() * z0.real() + z0.imag() * z0.imag();
    return y + Complex(z0.real() / d0, -z0.imag() / d0);
}

double CCGroup::GroupImpedanceMagnitude(double f) const { return std::abs(1.0 / GroupAdmittance(f, 1)); }

void CCGroup::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteCount(elements_.size());
        for (const auto& c : elements_) ar.WriteObject(c.get());
    } else {
        std::vector<std::unique_ptr<CCapa>> read;
        const std::size_t n = ar.ReadListCount();
        for (std::size_t i = 0; i < n; ++i) read.push_back(ReadListElement<CCapa>(ar, "CCapa"));
        elements_.clear();
        for (auto& c : read) Append(std::move(c));
    }
    std::int32_t version = 1;
    ar.Int32(version);
    if (version != 1) throw ArchiveError("Unbekannte Version " + std::to_string(version) + " einer Kondensatorgruppe");
    defaultPackage.Serialize(ar);
    ar.Double(fo);
    ar.Double(zminFu);
    ar.Double(zmaxFu);
    ar.Double(zminFo);
    ar.Double(zmaxFo);
    ar.Double(posX);
    ar.Double(posY);
    ar.Text(name);
}

std::unique_ptr<CCapa> CCGroup::PlaneCapacitanceEntry(const BoardStackup& board) {
    auto c = std::make_unique<CCapa>();
    c->autoParasitics = 0;
    c->capacitance = board.epsilonR * kPlanePermittivity * board.length * board.width / board.planeSpacing;
    c->shape.packageType = CCapShape::kPlaneEntryType;
    c->shape.lser = 1e-22;
    c->shape.rloss = 1e-22;
    c->shape.capHigh = 0.0;
    c->shape.capLow = 0.0;
    c->shape.name = "Flächenkapazität";
    return c;
}

}  // namespace vantor
