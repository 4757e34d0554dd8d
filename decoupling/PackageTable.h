#pragma once
// The table of the 15 capacitor packages every capacitor takes its package
// from, and the E6/E12 value series offered to the user.

#include <string>
#include <vector>

#include "CCapShape.h"

namespace vantor {

class PackageTable {
public:
    static constexpr int kSize = 15;
    static constexpr int kDefaultType = 9;  // "1005(0402) X7R-Keramik"

    /// Builds the 15 entries in table order.
    PackageTable();

    const CCapShape& operator[](int type) const { return entries_.at(static_cast<std::size_t>(type)); }
    CCapShape& operator[](int type) { return entries_.at(static_cast<std::size_t>(type)); }
    int size() const { return kSize; }
    const std::vector<CCapShape>& entries() const { return entries_; }

    /// Table entry by type index ("9") or by exact name; null if none.
    const CCapShape* Find(const std::string& typeOrName) const;

    /// The application's table, built on first use and kept for the run
    /// (the capacitor dialog may change an entry's rloss and lser).
    static PackageTable& Application();

private:
    std::vector<CCapShape> entries_;
};

/// The application table's default package (type 9).
const CCapShape& DefaultPackage();

/// Capacitor values offered in the slots: E6 (39 values) and E12 (77
/// values) from 10 pF to 22 uF, as texts ("10pF", "1.5nF", "22uF").
const std::vector<std::string>& E6Series();
const std::vector<std::string>& E12Series();

}  // namespace vantor
