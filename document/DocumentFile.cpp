#include "DocumentFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

namespace {

std::string Reason(int err) { return std::strerror(err); }

// Syncs the folder so that the rename itself survives a power cut.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                         std::string& error) {
    const std::filesystem::path folder = path.parent_path();
    std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = "Die Datei " + path.string() + " kann nicht gespeichert werden: " + Reason(errno);
        return false;
    }
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(pattern.c_str());
        error = "Die Datei " + path.string() + " kann nicht gespeichert werden: " + Reason(err) +
                ". Die bisherige Datei bleibt unverändert.";
        return false;
    };
    // Keep the mode of the file being replaced; a new file gets the usual one.
    struct stat old {};
    mode_t mode = 0666;
    if (::stat(path.c_str(), &old) == 0) {
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
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(pattern.c_str());
        error = "Die Datei " + path.string() + " kann nicht gespeichert werden: " + Reason(err) +
                ". Die bisherige Datei bleibt unverändert.";
        return false;
    }
    if (::rename(pattern.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(pattern.c_str());
        error = "Die Datei " + path.string() + " kann nicht gespeichert werden: " + Reason(err) +
                ". Die bisherige Datei bleibt unverändert.";
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) {
        error = "Die Datei " + path.string() + " kann nicht geöffnet werden: " + Reason(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = "Die Datei " + path.string() + " ist keine gewöhnliche Datei.";
        return false;
    }
    std::vector<std::uint8_t> read(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < read.size()) {
        const ssize_t n = ::read(fd, read.data() + done, read.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            error = "Die Datei " + path.string() + " kann nicht gelesen werden: " + Reason(err);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes = std::move(read);
    return true;
}

}  // namespace vantor
