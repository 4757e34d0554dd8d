// vantor-cli new and info, as a script uses them.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "RunCli.h"

namespace {

using vantor::test::CliRun;
using vantor::test::ReadAll;
using DocumentCli = vantor::test::CliFolder;

TEST_F(DocumentCli, NewWritesAnOptimisedDefaultDesignThatInfoReads) {
    ASSERT_EQ(Cli("new a.vnt").exitCode, 0);
    EXPECT_GE(Info("a.vnt")["optimisation"]["elements"].size(), 2u) << "a new design opens optimised";
    EXPECT_NE(Cli("info a.vnt").out.find("Aktive Lage: Vcc"), std::string::npos);
}

// A file that cannot be read stops the script with its message, prints no
// defaults in place of the design and is never written.
TEST_F(DocumentCli, UnreadableDocumentsStopTheScript) {
    ASSERT_EQ(Cli("new a.vnt").exitCode, 0);
    const std::string bytes = ReadAll(dir / "a.vnt");
    std::ofstream(dir / "cut.vnt", std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::ofstream(dir / "v2.vnt", std::ios::binary) << char(2) << bytes.substr(1);
    std::ofstream(dir / "bad.vnt", std::ios::binary) << "not a design";
    // clang-format off
    const struct { std::string args, file, message; } cases[] = {
        {"info --json cut.vnt", "cut.vnt", "Dateiende"}, {"info --json v2.vnt", "v2.vnt", "Dateiversion unbekannt!"},
        {"info --json fehlt.vnt", "fehlt.vnt", "kann nicht geöffnet werden"},
        {"new fehlt/b.vnt", "fehlt/b.vnt", "kann nicht gespeichert werden"},
        {"group new bad.vnt", "bad.vnt", ""}, {"filter bad.vnt --transfer", "bad.vnt", ""},
    };
    // clang-format on
    for (const auto& c : cases) ExpectRefused(c.file, c.args, 1, c.message);
}

// A 40 GB file (sparse: it takes no disk) is refused from its first bytes,
// neither read nor held; each run may use 4 GB at most.
TEST_F(DocumentCli, AHugeFileIsRefusedFromItsFirstBytes) {
    ASSERT_EQ(vantor::test::RunShell("truncate -s 40G huge.vnt", dir.string()).exitCode, 0);
    for (const char* args : {"info --json huge.vnt", "group new huge.vnt"}) {
        const CliRun r = vantor::test::RunShell(std::string("ulimit -v 4194304; $CLI ") + args, dir.string());
        EXPECT_EQ(r.exitCode, 1) << args;
        EXPECT_NE(r.err.find("Dateiversion unbekannt!"), std::string::npos) << args << "\n" << r.err;
        EXPECT_EQ(std::filesystem::file_size(dir / "huge.vnt"), std::uintmax_t{40} << 30) << args;
    }
}

}  // namespace
