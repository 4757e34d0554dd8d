#pragma once
// A capacitor group: element 0 stands for the plane capacitance, then up to
// ten discrete capacitors from the smallest to the largest value, with the
// impedance targets of the optimiser and the lumped ("Approx") model.

#include <memory>
#include <string>
#include <vector>

#include "CCapa.h"
#include "CCapShape.h"
#include "CObject.h"

namespace vantor {

struct BoardStackup;

class CCGroup : public CObject {
public:
    /// Most list elements a group accepts (plane entry + 10 capacitors).
    static constexpr int kMaxElements = 11;

    /// An empty group for the stack-up of that board (none: the group
    /// knows no via or mounting geometry). The board must outlive the group.
    explicit CCGroup(const BoardStackup* board = nullptr);
    ~CCGroup() override = default;
    /// A copy computes like its original: same values, same stack-up.
    CCGroup(const CCGroup& other);
    /// Assign: the values change, the stack-up stays.
    CCGroup& operator=(const CCGroup& other);

    /// Deletes the own capacitors, copies every value and deep-copies the
    /// other group's capacitors. The stack-up is not a value: the group
    /// keeps the one of the place that holds it.
    void Assign(const CCGroup& other);

    /// The stack-up of the board the group belongs to; null when none.
    const BoardStackup* stackup() const { return board_; }
    void DeleteAll() { elements_.clear(); }

    int ElementCount() const { return static_cast<int>(elements_.size()); }
    /// Number of elements minus one (0 for an empty list).
    int CapacitorCount() const { return elements_.empty() ? 0 : ElementCount() - 1; }
    CCapa& Capacitor(int i) { return *elements_.at(static_cast<std::size_t>(i)); }
    const CCapa& Capacitor(int i) const { return *elements_.at(static_cast<std::size_t>(i)); }
    CCapa& Last() { return *elements_.back(); }

    /// Takes ownership and appends; the capacitor's group becomes this one.
    CCapa& Append(std::unique_ptr<CCapa> capa);
    /// Takes ownership and inserts before element i.
    CCapa& InsertAt(int i, std::unique_ptr<CCapa> capa);
    /// Deletes element i.
    void RemoveCapacitor(int i);
    /// Adds a capacitor with the default package at position p (1 uF into a
    /// group of at most one element, else the mean of the neighbours before
    /// element p). Returns 1, or 0 when the group already holds 10.
    int InsertCapacitor(int p);

    /// Lower and upper impedance limits at f, Ohm: straight lines from the
    /// "Fu" values at 0 Hz to the "Fo" values at fo.
    void LimitLines(double f, double& zmin, double& zmax) const;

    /// Admittance of the group at f (Hz), S: the discrete capacitors in
    /// parallel behind one via loop inductance, in parallel with the plane
    /// entry when withPlaneEntry is nonzero.
    Complex GroupAdmittance(double f, int withPlaneEntry) const;
    /// |1 / GroupAdmittance(f, 1)|, Ohm.
    double GroupImpedanceMagnitude(double f) const;

    /// A capacitor standing for the plane pair's own capacitance
    /// ("Flächenkapazität", almost ideal).
    static std::unique_ptr<CCapa> PlaneCapacitanceEntry(const BoardStackup& board);

    const char* ClassName() const override { return "CCGroup"; }
    /// Record: the capacitor list, then version 1, the default package, fo,
    /// the four limits, the position and the name. On reading every
    /// capacitor's group becomes this one.
    void Serialize(CArchive& ar) override;

    /// A new capacitor with automatic parasitics and the default package.
    std::unique_ptr<CCapa> NewCapacitor(double capacitance) const;

    CCapShape defaultPackage;
    double zmaxFo = 1.2;  // Ohm
    double zminFo = 1.0;  // Ohm
    double zmaxFu = 0.9;  // Ohm
    double zminFu = 0.8;  // Ohm
    double fo = 0.0;      // Hz, upper corner frequency of the decoupling
    double posX = 0.0;    // m
    double posY = 0.0;    // m
    std::string name;

private:
    friend class CLayer;  // a plane links the groups it holds to its board

    const BoardStackup* board_ = nullptr;
    std::vector<std::unique_ptr<CCapa>> elements_;
};

}  // namespace vantor
