#pragma once
// Helpers of the component tests: a scratch folder that removes itself, and
// the folder of real sample files.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace vantor::test {

class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("vantor-components-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    /// Writes a file (folders created as needed) and returns its path.
    std::filesystem::path write(const std::string& relative, const std::string& content) const {
        const std::filesystem::path p = path_ / relative;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }

private:
    std::filesystem::path path_;
};

/// The real Touchstone samples, or an empty path when they are absent.
inline std::filesystem::path TouchstoneSamples() {
    const std::filesystem::path p = std::filesystem::path(VANTOR_SAMPLES_DIR) / "touchstone";
    std::error_code ec;
    return std::filesystem::is_directory(p, ec) ? p : std::filesystem::path();
}

}  // namespace vantor::test
