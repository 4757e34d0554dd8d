#pragma once
// The LC low-pass filter of the supply: a choke from the component database
// in series, the filter's capacitor group to ground, between a 50 Ohm
// source and a 50 Ohm load.

#include <cstdint>
#include <memory>
#include <vector>

#include "CSParaSet.h"
#include "CSParameterDB.h"
#include "CCGroup.h"

namespace vantor {

/// One point of the attenuation curve: x frequency (Hz), y attenuation (dB),
/// flag 1 for a valid point.
struct FilterTracePoint {
    std::int32_t flag = 1;
    double x = 0.0;
    double y = 0.0;
};

/// Shunt impedance standing for "no capacitor group", Ohm.
inline constexpr double kNoGroupImpedance = 1e9;
/// Below this difference S12 counts as equal to S21.
inline constexpr double kReciprocityTolerance = 0.01;

/// Attenuation of the filter circuit (50 Ohm source, the two-port, a shunt
/// admittance groupY in S, 50 Ohm load) relative to the direct connection of
/// source and load, dB, at most 0. Works from the two-port's chain
/// parameters, so a pure series element (whose Z-parameters do not exist)
/// is handled.
double ChokeAttenuation(const CSParameter& point, Complex groupY);

class CFilter : public CObject {
public:
    CFilter() = default;
    /// A filter whose capacitor group belongs to that board's stack-up; the
    /// board must outlive the filter. Copies take the group's stack-up
    /// along, assignment keeps the own one.
    explicit CFilter(const BoardStackup* board) : group(board) {}

    const char* ClassName() const override { return "CFilter"; }
    /// Record: version 1, the group, the chosen choke's set (an empty set
    /// without candidates), load and source impedance, the band, the
    /// current, the attenuation, useGroup. A named choke read from a file
    /// waits in storedChoke until AdoptStoredChoke.
    void Serialize(CArchive& ar) override;
    /// Offers a choke read from a file to the database (which keeps the set
    /// it already holds under that name) and makes the database's set the
    /// only candidate. Does nothing when no named choke was read.
    void AdoptStoredChoke(CSParameterDB& db);

    /// Fills the candidates with every choke of db that meets the current,
    /// the band and the attenuation, in database order, and proposes one.
    /// Returns the number of candidates.
    int SearchChokes(const CSParameterDB& db);

    /// The choke at index selected, or none.
    const CSParaSet* SelectedChoke() const;

    /// Attenuation at the frequency of a data point, dB (negative means
    /// attenuation, never above 0).
    double Attenuation(const CSParameter& point) const;

    /// The point of the chosen choke nearest to f (Hz), or none.
    const CSParameter* NearestPoint(double f) const;

    /// Appends one point (value 0, valid) per data point of the chosen choke
    /// with fLower <= f <= fUpper; returns the number appended.
    int AttenuationTrace(std::vector<FilterTracePoint>& trace) const;

    std::vector<const CSParaSet*> candidates;  // not owned; database order
    std::int32_t selected = 0;
    std::int32_t useGroup = 1;
    double maxSupplyCurrent = 0.0;  // A
    CCGroup group;
    Complex sourceZ{50.0, 0.0};              // Ohm, stored only
    Complex loadZ{50.0, 0.0};                // Ohm, stored only
    double fLower = 0.0;                     // Hz
    double fUpper = 0.0;                     // Hz
    double minAttenuation = 0.0;             // dB
    std::shared_ptr<CSParaSet> storedChoke;  // read, not yet offered to the database

private:
    Complex ShuntAdmittance(double f) const;
    bool MeetsAttenuation(const CSParaSet& set) const;
};

}  // namespace vantor
