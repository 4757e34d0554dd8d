#pragma once
// Whole-file reading and writing for document files: a save either replaces
// the file completely or leaves the old one untouched; a run that changes a
// file holds a lock on it from reading to the rename of the save.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "CArchive.h"

namespace vantor {

/// What a file was on disk: tells whether it changed since it was read.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
};

/// The stamp of the file path names (links followed); exists false when
/// there is none.
FileStamp StampOf(const std::filesystem::path& path);

/// Whether a and b name one file (links followed); false when either is
/// missing.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

struct SaveOptions {
    /// False: an existing file is never replaced (a new design over an old one).
    bool replace = true;
};

/// The start of the temporary files a save of target writes beside it:
/// ".~vnt" and eight hex digits of the target's name, so that a name of 255
/// characters can still be saved. Six random characters follow.
std::string TemporaryPrefix(const std::filesystem::path& target);

/// Whether a save to path may replace what is there (see below); false with
/// the reason in error. For a run that would otherwise work long for nothing.
bool CheckSaveTarget(const std::filesystem::path& path, std::string& error, const SaveOptions& options = {});

/// Writes the bytes to a temporary file beside the target, flushes it to the
/// disk and renames it over the target. A link is followed, so the file it
/// points to is replaced and the link stays. Refused: a target that is not a
/// regular file, one its owner made read-only, one whose owner could not be
/// kept. The replaced file's mode and owner are kept. Stale temporary files of
/// the same target (no writer holds them) are removed first. On failure the
/// target is untouched, the temporary file removed, and error says why
/// (German).
bool WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes, std::string& error,
                         const SaveOptions& options = {});

/// A file that could not be read to the size it had when it was opened
/// (it shrank meanwhile, or the disk failed): says so in German.
class FileReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A regular file read front to back, a piece at a time, as the source of a
/// reading archive: a document is read only as far as its records go, so
/// that a huge file that is no design is refused from its first bytes, and
/// memory follows what the records hold, not the file's size. There is no
/// size limit: whatever a save wrote must open again.
class DocumentSource : public ArchiveSource {
public:
    DocumentSource() = default;
    DocumentSource(const DocumentSource&) = delete;
    DocumentSource& operator=(const DocumentSource&) = delete;
    ~DocumentSource() override;

    /// Opens path without ever blocking on a FIFO or a device; false with
    /// the reason (German) in error.
    bool Open(const std::filesystem::path& path, std::string& error);
    /// The stamp of the opened file.
    const FileStamp& Stamp() const { return stamp_; }
    std::uint64_t Left() const override { return left_; }
    /// Throws FileReadError.
    void Read(std::uint8_t* to, std::size_t n) override;

private:
    int fd_ = -1;
    std::filesystem::path path_;
    FileStamp stamp_;
    std::uint64_t left_ = 0;
};

/// Reads a whole regular file as DocumentSource does; error says why not.
/// stamp, when given, gets the stamp of the file read.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   FileStamp* stamp = nullptr);

/// An advisory lock (flock) on a document file, held by a run that changes
/// the file from reading it to the rename of its save. Released when
/// destroyed.
class DocumentLock {
public:
    enum class Outcome { Locked, NoFile, Busy, Failed };

    DocumentLock() = default;
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;
    ~DocumentLock() { Release(); }

    /// Locks the file path names (links followed), waiting at most wait for
    /// another holder. NoFile when there is no such file (nothing to guard);
    /// Busy or Failed with the reason in error.
    Outcome Acquire(const std::filesystem::path& path, std::chrono::milliseconds wait, std::string& error);
    void Release();

private:
    int fd_ = -1;
};

}  // namespace vantor
