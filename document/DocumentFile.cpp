#include "DocumentFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "SystemError.h"

namespace vantor {

namespace {

namespace fs = std::filesystem;

std::string CannotSave(const fs::path& path, int err) {
    return "Die Datei " + path.string() + " kann nicht gespeichert werden: " + SystemErrorText(err) +
           ". Die bisherige Datei bleibt unverändert.";
}

std::string NotRegular(const fs::path& path) { return "Die Datei " + path.string() + " ist keine gewöhnliche Datei."; }

FileStamp Stamp(const struct stat& st) {
    FileStamp s;
    s.exists = true;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::int64_t>(st.st_size);
    s.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

fs::path FolderOf(const fs::path& path) { return path.has_parent_path() ? path.parent_path() : fs::path("."); }

// The file a chain of links ends at (which need not exist yet), so that a
// save replaces that file and leaves the link a link.
bool FollowLinks(fs::path path, fs::path& target, std::string& error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = path;
            return true;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size()) {
            error = CannotSave(path, n < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        const fs::path next(link);
        path = next.is_absolute() ? next : FolderOf(path) / next;
    }
    error = CannotSave(path, ELOOP);
    return false;
}

// FNV-1a: short, stable across runs and builds.
std::uint32_t NameHash(const std::string& name) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : name) h = (h ^ c) * 16777619u;
    return h;
}

// A temporary file of ours that no writer holds (its writer died: the lock
// went with it) is removed. A writer locks its temporary file from creation
// to rename, so a live save is never touched.
void RemoveStaleTemporaries(const fs::path& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const int dfd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        const int fd = ::openat(dfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dfd, name.c_str(), 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Syncs the folder so that the rename itself survives a power cut.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Moves the finished temporary file to the target without replacing one
// that appeared meanwhile.
int RenameNoReplace(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without the flag: a hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) != 0) return errno;
    ::unlink(from.c_str());
    return 0;
}

}  // namespace

FileStamp StampOf(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return Stamp(st);
}

bool SameFile(const fs::path& a, const fs::path& b) {
    const FileStamp sa = StampOf(a), sb = StampOf(b);
    return sa.exists && sb.exists && sa.device == sb.device && sa.inode == sb.inode;
}

std::string TemporaryPrefix(const fs::path& target) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", NameHash(target.filename().string()));
    return std::string(".~vnt") + hex;
}

namespace {

// Why the file behind target (old, when it exists) must not be replaced by
// a save to path; empty when it may.
std::string Refusal(const fs::path& path, bool exists, const struct stat& old, const SaveOptions& options) {
    if (!exists) return {};
    if (!S_ISREG(old.st_mode)) return NotRegular(path) + " Sie wird nicht ersetzt.";
    if (!options.replace) return "Die Datei " + path.string() + " besteht bereits. Sie wird nicht ersetzt.";
    // The rename would bypass the file's own permission; an editor does not
    // replace a file its owner made read-only, and neither do we.
    if ((old.st_mode & S_IWUSR) == 0)
        return "Die Datei " + path.string() + " ist schreibgeschützt. Sie wird nicht ersetzt.";
    return {};
}

}  // namespace

bool CheckSaveTarget(const fs::path& path, std::string& error, const SaveOptions& options) {
    fs::path target;
    if (!FollowLinks(path, target, error)) return false;
    struct stat old {};
    error = Refusal(path, ::lstat(target.c_str(), &old) == 0, old, options);
    return error.empty();
}

bool WriteFileAtomically(const fs::path& path, const std::vector<std::uint8_t>& bytes, std::string& error,
                         const SaveOptions& options) {
    fs::path target;
    if (!FollowLinks(path, target, error)) return false;
    struct stat old {};
    const bool replacing = ::lstat(target.c_str(), &old) == 0;
    error = Refusal(path, replacing, old, options);
    if (!error.empty()) return false;
    const fs::path folder = FolderOf(target);
    const std::string prefix = TemporaryPrefix(target);
    RemoveStaleTemporaries(folder, prefix);

    std::string pattern = (folder / (prefix + "XXXXXX")).string();
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        error = CannotSave(path, errno);
        return false;
    }
    // Held until the rename: marks the temporary file as being written.
    ::flock(fd, LOCK_EX | LOCK_NB);
    auto fail = [&](int err, std::string message = {}) {
        ::unlink(pattern.c_str());
        ::close(fd);
        error = message.empty() ? CannotSave(path, err) : std::move(message);
        return false;
    };

    mode_t mode = 0666;
    if (replacing) {
        struct stat mine {};
        if (::fstat(fd, &mine) != 0) return fail(errno);
        if ((mine.st_uid != old.st_uid || mine.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
            return fail(errno, "Die Datei " + path.string() +
                                   " gehört einem anderen Benutzer oder einer anderen Gruppe; beim Speichern ginge "
                                   "das verloren. Sie wird nicht ersetzt.");
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (::fchmod(fd, mode) != 0) return fail(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) return fail(errno);
    const int renamed = options.replace ? (::rename(pattern.c_str(), target.c_str()) == 0 ? 0 : errno)
                                        : RenameNoReplace(pattern, target);
    if (renamed != 0) {
        if (renamed == EEXIST)
            return fail(renamed, "Die Datei " + path.string() + " besteht bereits. Sie wird nicht ersetzt.");
        return fail(renamed);
    }
    SyncFolder(folder);
    ::close(fd);
    return true;
}

DocumentSource::~DocumentSource() {
    if (fd_ >= 0) ::close(fd_);
}

bool DocumentSource::Open(const fs::path& path, std::string& error) {
    // Non-blocking, so that opening a FIFO returns at once and is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = "Die Datei " + path.string() + " kann nicht geöffnet werden: " + SystemErrorText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = NotRegular(path);
        return false;
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    path_ = path;
    stamp_ = vantor::Stamp(st);
    left_ = static_cast<std::uint64_t>(st.st_size);
    return true;
}

void DocumentSource::Read(std::uint8_t* to, std::size_t n) {
    if (fd_ < 0 || n > left_)
        throw FileReadError("Die Datei " + path_.string() + " kann nicht gelesen werden: " + SystemErrorText(EIO));
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(fd_, to + done, n - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0)
            throw FileReadError("Die Datei " + path_.string() +
                                " kann nicht gelesen werden: " + SystemErrorText(got < 0 ? errno : EIO));
        done += static_cast<std::size_t>(got);
    }
    left_ -= n;
}

bool ReadWholeFile(const fs::path& path, std::vector<std::uint8_t>& bytes, std::string& error, FileStamp* stamp) {
    DocumentSource file;
    if (!file.Open(path, error)) return false;
    std::vector<std::uint8_t> read;
    try {
        // In pieces, so that memory follows what is really there.
        while (file.Left() > 0) {
            const std::size_t had = read.size();
            read.resize(had + static_cast<std::size_t>(std::min<std::uint64_t>(file.Left(), 1 << 20)));
            file.Read(read.data() + had, read.size() - had);
        }
    } catch (const FileReadError& e) {
        error = e.what();
        return false;
    }
    bytes = std::move(read);
    if (stamp != nullptr) *stamp = file.Stamp();
    return true;
}

DocumentLock::Outcome DocumentLock::Acquire(const fs::path& path, std::chrono::milliseconds wait, std::string& error) {
    Release();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto pause = std::chrono::milliseconds(2);
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            if (errno == ENOENT) return Outcome::NoFile;
            error = "Die Datei " + path.string() + " kann nicht geöffnet werden: " + SystemErrorText(errno);
            return Outcome::Failed;
        }
        struct stat held {};
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
            // Not a document file: reading or saving refuses it with its reason.
            ::close(fd);
            return Outcome::NoFile;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before us may have renamed a new file over the one we
            // locked; the lock must be on the file the name now stands for.
            struct stat now {};
            if (::stat(path.c_str(), &now) == 0 && now.st_dev == held.st_dev && now.st_ino == held.st_ino) {
                fd_ = fd;
                return Outcome::Locked;
            }
            ::close(fd);
            continue;
        }
        const int err = errno;
        ::close(fd);
        // A file system without locks: nothing to guard with.
        if (err != EWOULDBLOCK && err != EINTR) return Outcome::NoFile;
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "Die Datei " + path.string() +
                    " wird gerade von einem anderen Lauf geändert. Sie bleibt unverändert; bitte später erneut "
                    "versuchen.";
            return Outcome::Busy;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(50));
    }
}

void DocumentLock::Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace vantor
