#pragma once
// Whole-file reading and writing for document files: a save either replaces
// the file completely or leaves the old one untouched.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vantor {

/// Writes the bytes to a temporary file in the target's folder, flushes it
/// to the disk and renames it over the target. On failure the target is
/// untouched, the temporary file removed, and error says why (German).
bool WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                         std::string& error);

/// Reads a whole regular file; error says why not. There is no size limit:
/// whatever a save wrote must open again, and the archive reader checks
/// every count against the bytes left before it allocates.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace vantor
