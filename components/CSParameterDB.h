#pragma once
// The component database: the measured data sets of all chokes, in the
// order in which they were read. Filled at start-up from the component
// folder; afterwards only a loaded document may add its chosen choke.

#include <filesystem>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "CSParaSet.h"
#include "Interaction.h"

namespace vantor {

inline constexpr const char* kLoadingTitle = "S-Parameter-Daten werden geladen...";
inline constexpr const char* kLoadedSetsLabel = "Bisher gelesene S-Parameter-Sätze:";

class CSParameterDB {
public:
    /// Appends the set and returns 1, or returns 0 and deletes the set when
    /// one of the same name (exact comparison) is already present.
    int AddSet(std::unique_ptr<CSParaSet> set);

    /// The set of exactly this name, or none.
    const CSParaSet* Find(const std::string& name) const;

    /// Scans the folder and its sub-folders (names starting with "!" are
    /// skipped) and reads every "S2P" and "FLP" file. Returns the number of
    /// sets read. A missing folder gives an empty database, silently.
    int LoadDatabase(const std::filesystem::path& folder, Interaction& ui);

    int Count() const { return static_cast<int>(sets_.size()); }
    const CSParaSet& Set(int i) const { return *sets_.at(static_cast<std::size_t>(i)); }
    const std::vector<std::unique_ptr<CSParaSet>>& Sets() const { return sets_; }
    void Clear();

private:
    void ScanFolder(const std::filesystem::path& folder, Interaction& ui, int& total);

    std::vector<std::unique_ptr<CSParaSet>> sets_;
    std::unordered_set<std::string> names_;
};

/// The file line of the loading display: the path, cut to its last 55
/// characters when longer.
std::string LoadingPathText(const std::string& path);

}  // namespace vantor
