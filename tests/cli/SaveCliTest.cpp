// vantor-cli never loses a design: not to special files, links or its own
// report, not to parallel runs, a full disk, a kill or a read-only file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "RunCli.h"

namespace {

namespace fs = std::filesystem;
using vantor::test::CliRun;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> Temporaries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind(".~vnt", 0) == 0) names.push_back(e.path().filename().string());
    return names;
}

// Runs a shell line in which CLI stands for vantor-cli; stdout and stderr
// together.
CliRun Shell(std::string line, const fs::path& folder) {
    for (std::size_t at; (at = line.find("CLI")) != std::string::npos;) line.replace(at, 3, VANTOR_CLI);
    CliRun r;
    std::FILE* p = popen(("cd '" + folder.string() + "' && { " + line + "; } 2>&1 </dev/null").c_str(), "r");
    if (p == nullptr) return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class SaveCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) / ("vantor_save_" + std::to_string(getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        ASSERT_EQ(Cli("new d.vnt").exitCode, 0);
        design = ReadAll(dir / "d.vnt");
    }
    void TearDown() override { fs::remove_all(dir); }
    CliRun Cli(const std::string& args) { return Shell("CLI " + args, dir); }
    nlohmann::json Info(const std::string& file) {
        const CliRun r = vantor::test::RunCli("info --json " + file, dir.string());
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return nlohmann::json::parse(r.out, nullptr, false);
    }
    fs::path dir;
    std::string design;
};

TEST_F(SaveCli, SpecialFilesLinksAndTheDesignItselfAreNeverOverwritten) {
    ASSERT_EQ(::mkfifo((dir / "p.vnt").c_str(), 0644), 0);
    fs::create_symlink("d.vnt", dir / "verweis.vnt");
    fs::create_symlink("d.vnt", dir / "verweis.pdf");
    ::alarm(120);  // a FIFO that blocks would hang the run: end it instead
    struct Case {
        std::string args;
        const char* message;
    };
    const std::vector<Case> refused = {
        {"info p.vnt", "keine gewöhnliche Datei"},
        {"group new p.vnt", "keine gewöhnliche Datei"},
        {"group new d.vnt -o p.vnt", "keine gewöhnliche Datei"},
        {"new d.vnt", "besteht bereits"},
        {"new verweis.vnt", "besteht bereits"},
#ifdef VANTOR_HAVE_REPORT
        {"report d.vnt -o d.vnt", "selbst"},
        {"report d.vnt -o verweis.pdf", "selbst"},
        {"report verweis.vnt -o ./d.vnt", "selbst"},
        {"report d.vnt -o p.vnt", "keine gewöhnliche Datei"},
#endif
    };
    for (const Case& c : refused) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.args << "\n" << r.out;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << c.args << "\n" << r.out;
        EXPECT_EQ(ReadAll(dir / "d.vnt"), design) << c.args;
    }
    ::alarm(0);
    EXPECT_TRUE(fs::is_fifo(dir / "p.vnt"));

    // Through the link the design is changed, and the link stays a link.
    ASSERT_EQ(Cli("group new verweis.vnt").exitCode, 0);
    EXPECT_TRUE(fs::is_symlink(dir / "verweis.vnt"));
    EXPECT_EQ(Info("d.vnt")["groups"].size(), 1u);
    // --force is the explicit answer that replaces a design.
    ASSERT_EQ(Cli("new d.vnt --force").exitCode, 0);
    EXPECT_EQ(Info("d.vnt")["groups"].size(), 0u);
    EXPECT_TRUE(Temporaries(dir).empty());
}

TEST_F(SaveCli, ParallelRunsOnOneDesignLoseNothing) {
    // 20 new groups and 30 new probes at once; every run waits its turn.
    std::string line = "export VANTOR_LOCK_WAIT=300; fails=0; pids=''; ";
    for (int i = 0; i < 20; ++i) line += "CLI group new d.vnt >/dev/null & pids=\"$pids $!\"; ";
    for (int i = 1; i <= 30; ++i)
        line += "CLI probe add d.vnt S" + std::to_string(i) + " " + std::to_string(i) + "mm 5mm >/dev/null & "
                "pids=\"$pids $!\"; ";
    line += "for p in $pids; do wait $p || fails=$((fails+1)); done; echo fails=$fails";
    const CliRun r = Shell(line, dir);
    EXPECT_NE(r.out.find("fails=0"), std::string::npos) << r.out;
    const nlohmann::json j = Info("d.vnt");
    EXPECT_EQ(j["groups"].size(), 20u);
    EXPECT_EQ(j["probes"].size(), 32u) << "the two default probes and 30 new ones";
    EXPECT_TRUE(Temporaries(dir).empty());

    // A run that cannot get its turn in time says so and changes nothing.
    const std::string before = ReadAll(dir / "d.vnt");
    const CliRun busy = Shell("flock d.vnt sleep 3 & sleep 0.5; VANTOR_LOCK_WAIT=0.2 CLI group new d.vnt; "
                              "echo exit=$?; wait",
                              dir);
    if (busy.out.find("flock: ") != std::string::npos) GTEST_SKIP() << "no flock tool: " << busy.out;
    EXPECT_NE(busy.out.find("von einem anderen Lauf geändert"), std::string::npos) << busy.out;
    EXPECT_NE(busy.out.find("exit=1"), std::string::npos) << busy.out;
    EXPECT_EQ(ReadAll(dir / "d.vnt"), before);
}

TEST_F(SaveCli, AFullDiskOrAKillDuringTheSaveKeepsTheDesign) {
    // A file size limit is a full disk that needs no mount: writes past it
    // fail (SIGXFSZ ignored) or kill the writer (SIGXFSZ as is).
    ASSERT_GT(design.size(), 1024u);
    ASSERT_EQ(Cli("group new d.vnt").exitCode, 0);
    const std::string oneGroup = ReadAll(dir / "d.vnt");
    const CliRun died = Shell("(ulimit -f 1; exec CLI group new d.vnt)", dir);
    EXPECT_NE(died.exitCode, 0) << died.out;
    EXPECT_EQ(ReadAll(dir / "d.vnt"), oneGroup);
    EXPECT_EQ(Temporaries(dir).size(), 1u) << "the killed run's temporary file";
    ASSERT_EQ(Cli("group new d.vnt").exitCode, 0);
    EXPECT_EQ(Info("d.vnt")["groups"].size(), 2u);
    EXPECT_TRUE(Temporaries(dir).empty()) << "the next save removes it";
#ifdef VANTOR_HAVE_REPORT
    ASSERT_EQ(Cli("report d.vnt -o r.pdf").exitCode, 0);
    const std::string pdf = ReadAll(dir / "r.pdf");
    ASSERT_EQ(pdf.rfind("%PDF", 0), 0u);
    ASSERT_GT(pdf.size(), 2048u);
    const CliRun full = Shell("(trap '' XFSZ; ulimit -f 2; exec CLI report d.vnt -o r.pdf)", dir);
    EXPECT_EQ(full.exitCode, 1) << full.out;
    EXPECT_NE(full.out.find("kann nicht gespeichert werden"), std::string::npos) << full.out;
    EXPECT_EQ(full.out.find("Bericht geschrieben"), std::string::npos) << full.out;
    EXPECT_EQ(ReadAll(dir / "r.pdf"), pdf);
    EXPECT_TRUE(Temporaries(dir).empty());
#endif
}

TEST_F(SaveCli, AReadOnlyDesignIsNotReplacedForAnOrdinaryUser) {
    // Runs as user nobody when the tests run as root.
    std::string as;
    if (::geteuid() == 0) {
        for (const char* tool : {"setpriv --reuid=65534 --regid=65534 --clear-groups",
                                 "runuser -u nobody --"})
            if (Shell(std::string(tool) + " true", dir).exitCode == 0) {
                as = std::string(tool) + " ";
                break;
            }
        if (as.empty()) GTEST_SKIP() << "neither setpriv nor runuser can drop root here";
        fs::permissions(dir, fs::perms::all);
        for (fs::path p = dir.parent_path(); p != p.root_path(); p = p.parent_path())
            if ((fs::status(p).permissions() & fs::perms::others_exec) == fs::perms::none)
                GTEST_SKIP() << p << " is closed to other users";
        ASSERT_EQ(::chown((dir / "d.vnt").c_str(), 65534, 65534), 0);
    }
    fs::permissions(dir / "d.vnt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const CliRun r = Shell(as + "CLI group new d.vnt", dir);
    EXPECT_EQ(r.exitCode, 1) << r.out;
    EXPECT_NE(r.out.find("schreibgeschützt"), std::string::npos) << r.out;
    EXPECT_EQ(ReadAll(dir / "d.vnt"), design);
    EXPECT_TRUE(Temporaries(dir).empty());
    // Writable again, the same user saves it and it stays theirs.
    fs::permissions(dir / "d.vnt", fs::perms::owner_write, fs::perm_options::add);
    ASSERT_EQ(Shell(as + "CLI group new d.vnt", dir).exitCode, 0);
    EXPECT_EQ(fs::status(dir / "d.vnt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

}  // namespace
