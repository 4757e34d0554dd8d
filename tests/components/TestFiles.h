#pragma once
// Helpers of the component tests: a scratch folder that removes itself, and
// the folder of real sample files.

#include <filesystem>
#include <string>

namespace vantor::test {

class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    /// Writes a file (folders created as needed) and returns its path.
    std::filesystem::path write(const std::string& relative, const std::string& content) const;

private:
    std::filesystem::path path_;
};

/// The real Touchstone samples, or an empty path when they are absent.
std::filesystem::path TouchstoneSamples();

}  // namespace vantor::test
