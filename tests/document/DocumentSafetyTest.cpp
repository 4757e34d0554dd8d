// Damaged files (and the fuzzer's corpus) fail with a message and leave the
// document as it was; saving replaces a file completely or not at all, never
// a file it must not, and parallel writers wait for each other.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <thread>

#include "DesignAccess.h"
#include "DocumentFixtures.h"
#include "DocumentFile.h"
#include "HeapCounter.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Env;
using test::Find;
using test::Store;

// A rich document as the main form alone writes it.
Bytes RichFile() {
    test::RichEnv env("Gruppe1");
    return Store(env.doc);
}

// Loads bytes into a document with a main form; returns the error text, or
// "" when the load succeeded. Checks that a failed load changed nothing.
std::string LoadError(const Bytes& bytes) {
    Env env(true);
    DesignAccess::MainForm(env.doc)->currentGroupName = "unverändert";
    DesignAccess::Board(env.doc).epsilonR = 9.9;
    const Bytes before = Store(env.doc);
    try {
        test::Load(env.doc, bytes);
        return "";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(Store(env.doc), before) << "a failed load changed the document";
        return e.what();
    }
}

// A folder of its own for one test.
struct Scratch {
    explicit Scratch(const std::string& name)
        : dir(fs::path(::testing::TempDir()) / ("vantor_" + name + "_" + std::to_string(getpid()))) {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Scratch() { fs::remove_all(dir); }
    fs::path dir;
};

void WriteFile(const fs::path& p, const Bytes& b) {
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::ssize(b));
}

// Runs body in a child process with the resource (RLIMIT_FSIZE: bytes per
// file written, RLIMIT_AS: address space) limited; returns the child's wait
// status.
int InChildWithLimit(int resource, rlim_t limit, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit noCore{0, 0}, small{limit, limit};
        ::setrlimit(RLIMIT_CORE, &noCore), ::setrlimit(resource, &small);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// head, then zeros up to 40 GB: a sparse file, it takes no disk.
fs::path HugeFile(const fs::path& path, const Bytes& head) {
    WriteFile(path, head);
    EXPECT_EQ(::truncate(path.c_str(), off_t{40} << 30), 0) << std::strerror(errno);
    return path;
}

// Opens path into a fresh document with a main form; peak gets the most
// heap the open took.
CVtrDoc::OpenResult OpenMeasured(const fs::path& path, long long& peak) {
    Env env;
    bench::ResetHeapPeak();
    CVtrDoc::OpenResult r = env.doc.OpenFile(path);
    peak = bench::HeapPeakSinceReset();
    return r;
}

void SetInt32(Bytes& b, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// The bytes of file up to the label "100MHz" (after its length byte 6) of
// the first result map: the results header (ny, nx, count) ends them.
Bytes UpToResults(const Bytes& file) { return Bytes(file.begin(), file.begin() + long(Find(file, "\006100MHz"))); }

// A file is read only as far as its records go and nothing is allocated
// for what it merely claims; the memory an open takes follows the design,
// not the file's size.
TEST(HugeDocument, IsReadOnlyAsFarAsItsRecordsGo) {
    Scratch s("huge");
    const Bytes rich = RichFile();
    const Bytes plain = [] {
        Env env;
        return Store(env.doc);
    }();
    // The GND layer's probe count made 2^32 - 1 (word 0xFFFF and a double
    // word); the zeros after it are no probe.
    Bytes manyProbes(plain.begin(), plain.begin() + static_cast<long>(Find(plain, "CProbe") - 8));
    manyProbes.insert(manyProbes.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    // A result header of 2^31 - 1 maps.
    Bytes manyMaps = UpToResults(rich);
    SetInt32(manyMaps, manyMaps.size() - 4, 0x7FFFFFFF);
    using R = CVtrDoc::OpenResult;
    // clang-format off
    struct Case { const char* what; Bytes head; R::Kind kind; const char* message; };
    const Case cases[] = {
        {"zeros", {}, R::UnknownVersion, "Dateiversion unbekannt!"},
        {"garbage", Bytes(4096, 0xA5), R::UnknownVersion, "Dateiversion unbekannt!"},
        {"a design and zeros after it", rich, R::Loaded, ""},
        {"a count of probes", manyProbes, R::Failed, "Nullverweis in einer Liste von CProbe"},
        {"a count of result maps", manyMaps, R::Failed, "Ungültige Ergebnisgröße"},
    };
    // clang-format on
    for (const Case& c : cases) {
        long long peak = 0;
        const R r = OpenMeasured(HugeFile(s.dir / "gross.vnt", c.head), peak);
        EXPECT_EQ(r.kind, c.kind) << c.what << ": " << r.message;
        EXPECT_NE(r.message.find(c.message), std::string::npos) << c.what << ": " << r.message;
        EXPECT_LT(peak, 4 << 20) << c.what;
    }
}

// A record that needs more memory than there is fails the open with the
// message; the program goes on.
TEST(HugeDocument, RunningOutOfMemoryFailsTheOpen) {
    Scratch s("memory");
    // One result map of 20000 x 20000 points: 6.4 GB, which the zeros after
    // it could hold.
    Bytes bigMap = UpToResults(RichFile());
    for (int k : {12, 8}) SetInt32(bigMap, bigMap.size() - static_cast<std::size_t>(k), 20000);
    SetInt32(bigMap, bigMap.size() - 4, 1);
    const fs::path file = HugeFile(s.dir / "gross.vnt", bigMap);
    const int status = InChildWithLimit(RLIMIT_AS, rlim_t{4} << 30, [&] {
        Env env;
        const CVtrDoc::OpenResult r = env.doc.OpenFile(file);
        if (r.kind != CVtrDoc::OpenResult::Failed) return 1;
        return r.message.rfind("Nicht genügend Speicher.", 0) == 0 && !env.doc.plane()->HasResults() ? 0 : 2;
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST(DamagedDocument, EveryTruncationFails) {
    const Bytes full = RichFile();
    ASSERT_EQ(LoadError(full), "");
    for (std::size_t n = 0; n < full.size(); ++n) {
        const std::string e = LoadError(Bytes(full.begin(), full.begin() + static_cast<long>(n)));
        ASSERT_NE(e, "") << "a file cut to " << n << " of " << full.size() << " bytes was accepted";
    }
}

TEST(DamagedDocument, EachDamageIsNamed) {
    const Bytes full = RichFile();
    // Damage the archive itself reports is checked with the archive.
    const std::size_t layer = Find(full, "CLayer"), probe = Find(full, "Probe1"), cutout = Find(full, "CCutOut");
    // The Vcc layer's results header (ny, nx, count) just before its first map's label.
    const std::size_t results = UpToResults(full).size() - 12;
    // clang-format off
    struct Case { const char* what; std::function<void(Bytes&)> damage; const char* message; };
    const std::vector<Case> cases = {
        {"class in the wrong list", [&](Bytes& b) { std::copy_n("CProbe", 6, b.begin() + long(layer)); },
         "\"CProbe\" an einer Stelle, an der \"CLayer\""},
        // The GND layer's probe list count, just before the class record of "Probe1".
        {"count past the end", [&](Bytes& b) { b[probe - 35] = 0xFE, b[probe - 34] = 0xFF; }, "Listenlänge 65534"},
        {"board version", [&](Bytes& b) { b[76] = 2; }, "Version 2 eines Datensatzes CCircuitBoard"},
        {"cut-out version", [&](Bytes& b) { b[cutout + 7] = 5; }, "Version 5 eines Datensatzes CCutOut"},
        {"main form version", [&](Bytes& b) { b[b.size() - 8 - 21] = 3; }, "Hauptformulars"},
        // Result sizes beyond the file are refused before anything is allocated.
        {"rows of a result map", [&](Bytes& b) { SetInt32(b, results, 0x7FFFFFFF); }, "größer als der Rest der Datei"},
        {"negative rows of a result map", [&](Bytes& b) { SetInt32(b, results, -1); }, "Ungültige Ergebnisgröße"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Bytes b = full;
        c.damage(b);
        const std::string e = LoadError(b);
        EXPECT_NE(e.find(c.message), std::string::npos) << c.what << ": " << e;
    }
}

// The save's temporary files present in a folder.
std::vector<std::string> Temporaries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind(".~vnt", 0) == 0) names.push_back(e.path().filename().string());
    return names;
}

// A rich document to save, and a folder of the test's own.
class DocumentSave : public ::testing::Test {
protected:
    Scratch s{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    test::RichEnv d;
    std::string error;
};

// Writes "alt" to p; true when it could.
bool Old(const fs::path& p) { return static_cast<bool>(std::ofstream(p) << "alt"); }

TEST_F(DocumentSave, ReplacesTheFileOrLeavesItUntouched) {
    CVtrDoc& doc = d.doc;
    doc.SetModifiedFlag();
    ASSERT_TRUE(doc.SaveFile(s.dir / "a.vnt", error)) << error;
    EXPECT_FALSE(doc.IsModified());
    Bytes onDisk;
    ASSERT_TRUE(ReadWholeFile(s.dir / "a.vnt", onDisk, error));
    EXPECT_EQ(onDisk, Store(doc));
    EXPECT_FALSE(doc.ChangedOnDisk(s.dir / "a.vnt"));
    // Targets a save must not replace: each is refused before anything is
    // written, stays as it was, and no temporary file is left.
    const char* const special = "keine gewöhnliche Datei";
    using P = const fs::path&;
    // clang-format off
    struct Case { const char* name; std::function<bool(P)> make; bool replace; const char* message; };
    const std::vector<Case> cases = {
        {"fifo.vnt", [](P p) { return ::mkfifo(p.c_str(), 0644) == 0; }, true, special},
        {"null.vnt", [](P p) { return ::mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }, true, special},
        {"folder.vnt", [](P p) { return fs::create_directories(p / "inhalt"); }, true, special},
        {"ro.vnt", [](P p) { return Old(p) && ::chmod(p.c_str(), 0444) == 0; }, true, "schreibgeschützt"},
        {"old.vnt", Old, false, "besteht bereits"},
    };
    // clang-format on
    for (const Case& c : cases) {
        const fs::path p = s.dir / c.name;
        if (!c.make(p)) {
            std::printf("%s cannot be made here (%s); not checked\n", c.name, std::strerror(errno));
            continue;
        }
        struct stat before = {}, after = {};
        ASSERT_EQ(::lstat(p.c_str(), &before), 0);
        doc.SetModifiedFlag();
        EXPECT_FALSE(doc.SaveFile(p, error, SaveOptions{.replace = c.replace})) << c.name;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
        EXPECT_NE(error.find(c.name), std::string::npos) << error;
        EXPECT_TRUE(doc.IsModified());
        ASSERT_EQ(::lstat(p.c_str(), &after), 0);
        EXPECT_EQ(std::pair(after.st_mode, after.st_ino), std::pair(before.st_mode, before.st_ino)) << c.name;
        std::string text;
        EXPECT_TRUE(!S_ISREG(after.st_mode) || (std::ifstream(p) >> text && text == "alt")) << c.name;
    }
    EXPECT_TRUE(Temporaries(s.dir).empty());
    Bytes again;
    ASSERT_TRUE(ReadWholeFile(s.dir / "a.vnt", again, error));
    EXPECT_EQ(again, onDisk);
}

// The system's reason for a refused save reaches the person in German.
TEST_F(DocumentSave, AFolderThatRefusesTheSaveSaysWhyInGerman) {
    std::ofstream(s.dir / "datei") << "alt";
    fs::create_directories(s.dir / "nurlesen");
    const bool root = ::geteuid() == 0;
    if (!root) fs::permissions(s.dir / "nurlesen", fs::perms(0555));
    // clang-format off
    const struct { fs::path path; std::string reason; } cases[] = {
        {s.dir / "fehlt" / "a.vnt", "Datei oder Ordner nicht vorhanden"},
        {s.dir / "datei" / "a.vnt", "ein Teil des Pfads ist kein Ordner"},
        // Root may write into a folder of mode 0555; sysfs refuses even root.
        {root ? fs::path("/sys/a.vnt") : s.dir / "nurlesen" / "a.vnt", "keine Berechtigung"},
    };
    // clang-format on
    for (const auto& c : cases) {
        d.doc.SetModifiedFlag();
        EXPECT_FALSE(d.doc.SaveFile(c.path, error)) << c.path;
        // A container may mount /sys read-only, which has its own German reason.
        const bool readOnlySys = c.path.string().starts_with("/sys/") &&
                                 error.find(": das Dateisystem ist schreibgeschützt.") != std::string::npos;
        if (!readOnlySys) {
            EXPECT_EQ(error, "Die Datei " + c.path.string() + " kann nicht gespeichert werden: " + c.reason +
                                 ". Die bisherige Datei bleibt unverändert.");
        }
        EXPECT_TRUE(d.doc.IsModified());
    }
    fs::permissions(s.dir / "nurlesen", fs::perms(0755));
}

TEST_F(DocumentSave, ThroughALinkTheFileBehindIsReplacedWithItsModeAndOwner) {
    fs::create_directories(s.dir / "echt");
    const fs::path real = s.dir / "echt" / "entwurf.vnt", link = s.dir / "verweis.vnt";
    ASSERT_TRUE(Old(real) && ::chmod(real.c_str(), 0640) == 0);
    // Another owner can only be given and kept by root.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(real.c_str(), 65534, 65534), 0);
    }
    fs::create_symlink("echt/entwurf.vnt", link);
    struct stat before = {}, after = {};
    ASSERT_EQ(::stat(real.c_str(), &before), 0);
    ASSERT_TRUE(d.doc.SaveFile(link, error)) << error;
    EXPECT_EQ(fs::read_symlink(link), "echt/entwurf.vnt");
    Bytes bytes;
    ASSERT_TRUE(ReadWholeFile(real, bytes, error));
    EXPECT_EQ(bytes, Store(d.doc));
    ASSERT_EQ(::stat(real.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(std::pair(after.st_uid, after.st_gid), std::pair(before.st_uid, before.st_gid));
    EXPECT_TRUE(Temporaries(s.dir).empty() && Temporaries(s.dir / "echt").empty());
    // A change by someone else since the last save is seen, also when the
    // file was replaced by one of the same size.
    EXPECT_FALSE(d.doc.ChangedOnDisk(link));
    WriteFile(s.dir / "neu", bytes);
    fs::rename(s.dir / "neu", real);
    EXPECT_TRUE(d.doc.ChangedOnDisk(link));
    CVtrDoc other(d.db, d.ui);
    ASSERT_TRUE(other.OpenFile(link).ok());
    EXPECT_FALSE(other.ChangedOnDisk(link));
}

TEST_F(DocumentSave, AFullDiskOrADeathDuringTheSaveKeepsTheDesign) {
    const fs::path target = s.dir / "entwurf.vnt";
    ASSERT_TRUE(d.doc.SaveFile(target, error)) << error;
    const Bytes good = Store(d.doc);
    ASSERT_GT(good.size(), 4096u);
    DesignAccess::Board(d.doc).epsilonR = 3.3;
    // The disk is full after 4 KiB: the write fails, the save says why.
    int status = InChildWithLimit(RLIMIT_FSIZE, 4096, [&] {
        ::signal(SIGXFSZ, SIG_IGN);
        std::string e;
        if (d.doc.SaveFile(target, e)) return 1;
        return e.find(": die Datei ist zu groß.") != std::string::npos ? 0 : 2;
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    Bytes now;
    ASSERT_TRUE(ReadWholeFile(target, now, error));
    EXPECT_EQ(now, good);
    EXPECT_TRUE(Temporaries(s.dir).empty());
    // Killed (kill -9) in the middle of writing: the design stays, the
    // half-written temporary file stays behind.
    status = InChildWithLimit(RLIMIT_FSIZE, 4096, [&] {
        ::signal(SIGXFSZ, [](int) { ::kill(::getpid(), SIGKILL); });
        std::string e;
        d.doc.SaveFile(target, e);
        return 0;
    });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    ASSERT_TRUE(ReadWholeFile(target, now, error));
    EXPECT_EQ(now, good);
    const std::vector<std::string> stale = Temporaries(s.dir);
    ASSERT_EQ(stale.size(), 1u);
    EXPECT_EQ(stale[0].rfind(TemporaryPrefix(target), 0), 0u);
    EXPECT_LE(stale[0].size(), 20u) << "a 255-character name must still fit";
    // The next save of the design removes it, and only it: not one being
    // written right now (its writer holds its lock), not another design's,
    // not a stranger's file.
    const std::string live = TemporaryPrefix(target) + "LEBT01";
    const std::string kept[] = {live, TemporaryPrefix(s.dir / "anders.vnt") + "ALT001", "notes.pdf.part"};
    for (const std::string& name : kept) std::ofstream(s.dir / name) << "x";
    const int liveFd = ::open((s.dir / live).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(liveFd, LOCK_EX), 0);
    ASSERT_TRUE(d.doc.SaveFile(target, error)) << error;
    ::close(liveFd);
    EXPECT_FALSE(fs::exists(s.dir / stale[0]));
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(s.dir / name)) << name;
    CVtrDoc back(d.db, d.ui);
    ASSERT_TRUE(back.OpenFile(target).ok());
    EXPECT_EQ(back.board().epsilonR, 3.3);
    // The longest name a folder holds can be saved.
    ASSERT_TRUE(d.doc.SaveFile(s.dir / (std::string(251, 'n') + ".vnt"), error)) << error;
}

// Neither opening nor locking a FIFO waits for a writer.
TEST_F(DocumentSave, AFifoIsRefusedWithoutWaiting) {
    const fs::path fifo = s.dir / "p.vnt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ::alarm(20);  // a regression would block for ever: end the run instead
    const CVtrDoc::OpenResult r = d.doc.OpenFile(fifo);
    DocumentLock lock;
    EXPECT_EQ(lock.Acquire(fifo, std::chrono::seconds(1), error), DocumentLock::Outcome::NoFile);
    ::alarm(0);
    EXPECT_NE(r.message.find("keine gewöhnliche Datei"), std::string::npos) << r.message;
}

TEST(DocumentLock, ASecondWriterWaitsForTheFileTheNameStandsFor) {
    Scratch s("lock");
    const fs::path target = s.dir / "entwurf.vnt";
    test::RichEnv d;
    std::string error;
    DocumentLock first;
    EXPECT_EQ(first.Acquire(target, std::chrono::milliseconds(0), error), DocumentLock::Outcome::NoFile);
    ASSERT_TRUE(d.doc.SaveFile(target, error)) << error;
    ASSERT_EQ(first.Acquire(target, std::chrono::milliseconds(0), error), DocumentLock::Outcome::Locked);
    DocumentLock refused;
    EXPECT_EQ(refused.Acquire(target, std::chrono::milliseconds(30), error), DocumentLock::Outcome::Busy);
    EXPECT_NE(error.find("von einem anderen Lauf geändert"), std::string::npos) << error;
    // The holder saves (a new file under the name) and lets go; the waiter
    // must then hold the new file, not the replaced one.
    DocumentLock second;
    DocumentLock::Outcome waited = DocumentLock::Outcome::Failed;
    std::thread waiter([&] {
        std::string e;
        waited = second.Acquire(target, std::chrono::seconds(30), e);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(d.doc.SaveFile(target, error)) << error;
    first.Release();
    waiter.join();
    EXPECT_EQ(waited, DocumentLock::Outcome::Locked);
    EXPECT_EQ(DocumentLock().Acquire(target, std::chrono::milliseconds(0), error), DocumentLock::Outcome::Busy);
}

}  // namespace
}  // namespace vantor
