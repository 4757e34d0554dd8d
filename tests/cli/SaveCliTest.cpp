// vantor-cli never loses a design: not to special files, links or its own
// report, not to parallel runs; a full disk keeps the old report. (The
// save itself, with full disks, kills and read-only files, is tested with
// the document.)

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "RunCli.h"

namespace {

namespace fs = std::filesystem;
using vantor::test::CliRun;
using vantor::test::ReadAll;

class SaveCli : public vantor::test::CliFolder {
protected:
    void SetUp() override {
        CliFolder::SetUp();
        ASSERT_EQ(Cli("new d.vnt").exitCode, 0);
        design = ReadAll(dir / "d.vnt");
    }
    // A shell line ($CLI is vantor-cli); stdout and stderr together.
    CliRun Sh(const std::string& line) {
        CliRun r = vantor::test::RunShell(line, dir.string());
        return {r.exitCode, r.out + r.err, {}};
    }
    long Temporaries() const {
        return std::count_if(fs::directory_iterator(dir), {},
                             [](auto& e) { return e.path().filename().string().rfind(".~vnt", 0) == 0; });
    }
    std::string design;
};

TEST_F(SaveCli, SpecialFilesLinksAndTheDesignItselfAreNeverOverwritten) {
    ASSERT_EQ(::mkfifo((dir / "p.vnt").c_str(), 0644), 0);
    fs::create_symlink("d.vnt", dir / "verweis.vnt");
    fs::create_symlink("d.vnt", dir / "verweis.pdf");
    ::alarm(120);  // a FIFO that blocks would hang the run: end it instead
    const std::vector<std::pair<std::string, const char*>> refused = {
        {"new d.vnt", "besteht bereits"},
        {"new verweis.vnt", "besteht bereits"},
#ifdef VANTOR_HAVE_REPORT
        {"report d.vnt -o d.vnt", "selbst"},
        {"report d.vnt -o verweis.pdf", "selbst"},
        {"report verweis.vnt -o ./d.vnt", "selbst"},
        {"report d.vnt -o p.vnt", "keine gewöhnliche Datei"},
#endif
    };
    for (const auto& [args, message] : refused) ExpectRefused("d.vnt", args, 1, message);
    ::alarm(0);
    EXPECT_TRUE(fs::is_fifo(dir / "p.vnt"));

    // --force is the explicit answer that replaces a design.
    ASSERT_EQ(Cli("new d.vnt --force").exitCode, 0);
    EXPECT_EQ(Info("d.vnt")["groups"].size(), 0u);
    EXPECT_EQ(Temporaries(), 0);
}

TEST_F(SaveCli, ParallelRunsOnOneDesignLoseNothing) {
    // 20 new groups and 30 new probes at once; every run waits its turn.
    std::string line = "export VANTOR_LOCK_WAIT=300; fails=0; pids=''; ";
    for (int i = 1; i <= 50; ++i)
        line += (i <= 20 ? "$CLI group new d.vnt"
                         : "$CLI probe add d.vnt S" + std::to_string(i) + " " + std::to_string(i) + "mm 5mm") +
                " >/dev/null & pids=\"$pids $!\"; ";
    const CliRun r = Sh(line + "for p in $pids; do wait $p || fails=$((fails+1)); done; echo fails=$fails");
    EXPECT_NE(r.out.find("fails=0"), std::string::npos) << r.out;
    const auto j = Info("d.vnt");
    EXPECT_EQ(j["groups"].size(), 20u);
    EXPECT_EQ(j["probes"].size(), 32u) << "the two default probes and 30 new ones";
    EXPECT_EQ(Temporaries(), 0);

    // A run that cannot get its turn in time says so and changes nothing.
    const std::string before = ReadAll(dir / "d.vnt");
    const CliRun busy = Sh(
        "flock d.vnt sleep 3 & sleep 0.5; VANTOR_LOCK_WAIT=0.2 $CLI group new d.vnt; echo exit=$?; wait");
    if (busy.out.find("flock: ") != std::string::npos) GTEST_SKIP() << "no flock tool: " << busy.out;
    EXPECT_NE(busy.out.find("von einem anderen Lauf geändert"), std::string::npos) << busy.out;
    EXPECT_NE(busy.out.find("exit=1"), std::string::npos) << busy.out;
    EXPECT_EQ(ReadAll(dir / "d.vnt"), before);
}

// The system's reason for a refused save is German, for the design and the
// report alike (the reasons themselves are the document's tests).
TEST_F(SaveCli, ARefusedSaveSaysWhyInGerman) {
#ifdef VANTOR_HAVE_REPORT
    const CliRun report = Sh("$CLI report d.vnt -o d.vnt/r.pdf");
    EXPECT_EQ(report.exitCode, 1);
    EXPECT_NE(report.out.find("kann nicht gespeichert werden: ein Teil des Pfads ist kein Ordner."), std::string::npos)
        << report.out;
    EXPECT_EQ(ReadAll(dir / "d.vnt"), design);
#endif

    // A read-only folder: a read-only mount refuses root too; a folder of
    // mode 0555 refuses everyone else.
    fs::create_directories(dir / "nurlesen");
    CliRun ro = Sh("unshare -rm sh -c \"mount --bind -o ro nurlesen nurlesen && exec '$CLI' new nurlesen/b.vnt\"");
    std::string reason = "das Dateisystem ist schreibgeschützt";
    if (ro.out.find("kann nicht gespeichert werden") == std::string::npos) {
        if (::geteuid() == 0)
            GTEST_SKIP() << "no read-only mount without privileges, and root writes anywhere: " << ro.out;
        fs::permissions(dir / "nurlesen", fs::perms(0555));
        ro = Sh("$CLI new nurlesen/b.vnt");
        fs::permissions(dir / "nurlesen", fs::perms(0755));
        reason = "keine Berechtigung";
    }
    EXPECT_EQ(ro.exitCode, 1) << ro.out;
    EXPECT_NE(ro.out.find("kann nicht gespeichert werden: " + reason + "."), std::string::npos) << ro.out;
    EXPECT_FALSE(fs::exists(dir / "nurlesen" / "b.vnt"));
}

// A full disk or a kill during the design's save is tested with the
// document; the report is written by the tool alone.
TEST_F(SaveCli, AFullDiskDuringTheReportKeepsTheOldReport) {
#ifndef VANTOR_HAVE_REPORT
    GTEST_SKIP() << "built without Qt (VANTOR_BUILD_REPORT=OFF)";
#else
    // A file size limit is a full disk that needs no mount (SIGXFSZ ignored).
    ASSERT_EQ(Cli("report d.vnt -o r.pdf").exitCode, 0);
    const std::string pdf = ReadAll(dir / "r.pdf");
    ASSERT_GT(pdf.size(), 2048u);
    const CliRun full = Sh("(trap '' XFSZ; ulimit -f 2; exec $CLI report d.vnt -o r.pdf)");
    EXPECT_EQ(full.exitCode, 1) << full.out;
    EXPECT_NE(full.out.find("kann nicht gespeichert werden: die Datei ist zu groß."), std::string::npos) << full.out;
    EXPECT_EQ(ReadAll(dir / "r.pdf"), pdf);
    EXPECT_EQ(Temporaries(), 0);
#endif
}

}  // namespace
