#pragma once
// The target band of a capacitor group: the optimiser keeps |Z| between its
// limit lines, Zmin and Zmax, straight over linear frequency from 0 Hz to
// fo. Curves are checked against it, and the plots shade it.

#include <string>
#include <vector>

#include "CGraphTrace.h"

namespace vantor {

class CCGroup;
class CVtrDoc;

struct TargetBand {
    double fo = 0.0;                    // Hz, where the band ends
    double zminFu = 0.0, zmaxFu = 0.0;  // Ohm at 0 Hz
    double zminFo = 0.0, zmaxFo = 0.0;  // Ohm at fo

    /// Whether the group set targets: fo above 0 and an upper line above 0.
    bool HasTargets() const { return fo > 0.0 && (zmaxFu > 0.0 || zmaxFo > 0.0); }
    /// Lower and upper limit at f, Hz, Ohm: the group's limit lines.
    double Lower(double f) const { return (zminFo - zminFu) * f / fo + zminFu; }
    double Upper(double f) const { return (zmaxFo - zmaxFu) * f / fo + zmaxFu; }
};

/// The band of a group's targets.
TargetBand GroupTargetBand(const CCGroup& group);

/// The group whose band the plots show: the current group, else the group
/// the optimiser fills (the one every placed group was copied from).
const CCGroup& BandGroup(const CVtrDoc& doc);

/// A frequency range, Hz, in which a curve rises above the band.
struct BandExcursion {
    std::string trace;
    double from = 0.0, to = 0.0;
};

/// The ranges at or below fo in which the trace lies above the upper line,
/// in frequency order: what a reviewer looks for (a curve below Zmin is
/// lower impedance than asked for). A range spans its first to its last
/// trusted point (flag set) above the line; untrusted points in between
/// neither end nor start one.
std::vector<BandExcursion> BandExcursions(const CGraphTrace& trace, const TargetBand& band);

/// "Probe1 über Zmax von 512MHz bis 780MHz"; a range of one point says
/// "bei 512MHz".
std::string ExcursionText(const BandExcursion& excursion);

}  // namespace vantor
