#include "CSParameterDB.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "ComponentFiles.h"

namespace vantor {

int CSParameterDB::AddSet(std::unique_ptr<CSParaSet> set) {
    if (!set || names_.count(set->name) != 0) return 0;
    names_.insert(set->name);
    sets_.push_back(std::move(set));
    return 1;
}

const CSParaSet* CSParameterDB::Find(const std::string& name) const {
    if (names_.count(name) == 0) return nullptr;
    for (const auto& s : sets_)
        if (s->name == name) return s.get();
    return nullptr;
}

void CSParameterDB::Clear() {
    sets_.clear();
    names_.clear();
}

std::string LoadingPathText(const std::string& path) {
    constexpr std::size_t kShown = 55;
    // Count characters, not bytes, and never cut inside one.
    std::size_t chars = 0;
    for (unsigned char c : path)
        if ((c & 0xC0) != 0x80) ++chars;
    if (chars <= kShown) return path;
    std::size_t skip = chars - kShown;
    std::size_t i = 0;
    for (; i < path.size(); ++i) {
        if ((static_cast<unsigned char>(path[i]) & 0xC0) != 0x80) {
            if (skip == 0) break;
            --skip;
        }
    }
    return path.substr(i);
}

namespace {

bool EndsWithNoCase(const std::string& name, const char* ext) {
    const std::size_t n = std::char_traits<char>::length(ext);
    if (name.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[name.size() - n + i])));
        if (c != ext[i]) return false;
    }
    return true;
}

}  // namespace

void CSParameterDB::ScanFolder(const std::filesystem::path& folder, Interaction& ui, int& total) {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) entries.push_back(*it);
    // A fixed order keeps the result of same-named sets reproducible.
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });

    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] == '!') continue;
        std::error_code typeError;
        // Linked folders are not followed: a link back up would never end.
        if (entry.is_directory(typeError) && !entry.is_symlink(typeError)) {
            ScanFolder(entry.path(), ui, total);
            continue;
        }
        if (!entry.is_regular_file(typeError)) continue;  // a pipe or device would block the reader

        int read = 0;
        if (EndsWithNoCase(name, "FLP")) {
            ui.progress().text(LoadingPathText(entry.path().string()));
            read = ReadFlpFile(entry.path(), *this, ui);
        } else if (EndsWithNoCase(name, "S2P")) {
            ui.progress().text(LoadingPathText(entry.path().string()));
            read = ReadS2pFile(entry.path(), *this, ui);
        } else {
            continue;
        }
        total += read;
        ui.progress().text(LoadingPathText(entry.path().string()) + "\n" + kLoadedSetsLabel + " " +
                           std::to_string(total));
    }
}

int CSParameterDB::LoadDatabase(const std::filesystem::path& folder, Interaction& ui) {
    std::error_code ec;
    // No folder is an empty database: the program starts without one.
    if (!std::filesystem::is_directory(folder, ec)) return 0;
    ProgressScope scope(ui.progress(), kLoadingTitle);
    int total = 0;
    ScanFolder(folder, ui, total);
    return total;
}

}  // namespace vantor
