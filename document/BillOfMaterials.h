#pragma once
// The parts to order for a design: one row per distinct capacitor over the
// groups placed on the plane, counted per group and in total, and the
// chosen choke of the filter.

#include <string>
#include <vector>

namespace vantor {

class CVtrDoc;

struct CapacitorPart {
    double capacitance = 0.0;   // F
    std::string package;        // "1005(0402)"
    std::string dielectric;     // "X7R-Keramik"
    double esl = 0.0;           // H, mounted, as the impedance model uses it
    double esr = 0.0;           // Ohm, as used at the series resonance
    std::vector<int> perGroup;  // count in each group of BillOfMaterials::groups
    int total = 0;
};

struct ChokePart {
    std::string maker, type, package;
};

struct BillOfMaterials {
    std::vector<std::string> groups;        // the placed groups, in plane order
    std::vector<CapacitorPart> capacitors;  // ascending capacitance
    bool hasChoke = false;
    ChokePart choke;
    bool empty() const { return capacitors.empty() && !hasChoke; }
};

/// The parts of doc's placed groups (their plane-capacitance entry left
/// out) and its chosen choke. Capacitors are the same part when they read
/// the same in the list: value and ESL as printed, the package name and the
/// loss law.
BillOfMaterials MakeBillOfMaterials(const CVtrDoc& doc);

/// A package name split at its first blank: "1005(0402)" and "X7R-Keramik".
void SplitPackageName(const std::string& name, std::string& package, std::string& dielectric);

}  // namespace vantor
