#include "TestFiles.h"

#include <fstream>
#include <random>

namespace vantor::test {

ScratchFolder::ScratchFolder() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("vantor-components-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path ScratchFolder::write(const std::string& relative, const std::string& content) const {
    const std::filesystem::path p = path_ / relative;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out << content;
    return p;
}

std::filesystem::path TouchstoneSamples() {
    const std::filesystem::path p = std::filesystem::path(VANTOR_SAMPLES_DIR) / "touchstone";
    std::error_code ec;
    return std::filesystem::is_directory(p, ec) ? p : std::filesystem::path();
}

}  // namespace vantor::test
