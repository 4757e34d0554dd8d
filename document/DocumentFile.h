#pragma once
// Whole-file reading and writing for document files: a save either replaces
// the file completely or leaves the old one untouched.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vantor {

/// Largest document file that is read, bytes.
inline constexpr std::uintmax_t kMaxDocumentFileSize = std::uintmax_t{1} << 30;

/// Writes the bytes to a temporary file in the target's folder, flushes it
/// to the disk and renames it over the target. On failure the target is
/// untouched, the temporary file removed, and error says why (German).
bool WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                         std::string& error);

/// Reads a whole regular file of at most maxBytes; error says why not.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   std::uintmax_t maxBytes = kMaxDocumentFileSize);

}  // namespace vantor
