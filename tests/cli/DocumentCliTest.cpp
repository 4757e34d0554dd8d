// vantor-cli new and info, as a script uses them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "RunCli.h"

namespace {

using CliResult = vantor::test::CliRun;

// Messages and output together, as a script's log shows them.
CliResult Cli(const std::string& args) {
    CliResult r = vantor::test::RunCli(args);
    r.out += r.err;
    return r;
}

class DocumentCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::path(::testing::TempDir()) /
              ("vantor_cli_doc_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string File(const char* name) const { return (dir / name).string(); }
    std::filesystem::path dir;
};

TEST_F(DocumentCli, NewWritesAnOptimisedDefaultDesignThatInfoReads) {
    ASSERT_EQ(Cli("new " + File("a.vnt")).exitCode, 0);
    const CliResult r = Cli("info " + File("a.vnt") + " --json");
    ASSERT_EQ(r.exitCode, 0) << r.out;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["board"]["length"], 0.099);
    EXPECT_EQ(j["board"]["active_layer"], "Vcc");
    EXPECT_EQ(j["optimisation"]["fo"], 3e9);
    ASSERT_GE(j["optimisation"]["elements"].size(), 2u) << "a new design opens optimised";
    EXPECT_EQ(j["probes"].size(), 2u);
    EXPECT_EQ(j["filter"]["f_upper"], 3e8);
    EXPECT_EQ(j["form"]["e6"], 1);

    const CliResult text = Cli("info " + File("a.vnt"));
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("Aktive Lage: Vcc"), std::string::npos) << text.out;
}

TEST_F(DocumentCli, UnreadableDocumentsStopTheScript) {
    ASSERT_EQ(Cli("new " + File("a.vnt")).exitCode, 0);
    std::string bytes;
    {
        std::ifstream in(File("a.vnt"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::ofstream(File("cut.vnt"), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::string v2 = bytes;
    v2[0] = 2;
    std::ofstream(File("v2.vnt"), std::ios::binary) << v2;
    struct Case {
        std::string file;
        const char* message;
    };
    for (const Case& c : {Case{File("cut.vnt"), "Dateiende"}, Case{File("v2.vnt"), "Dateiversion unbekannt!"},
                          Case{File("fehlt.vnt"), "kann nicht geöffnet werden"}}) {
        const CliResult r = Cli("info " + c.file + " --json");
        EXPECT_NE(r.exitCode, 0) << c.file;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("\"board\""), std::string::npos) << "no defaults in place of the design";
    }
    const CliResult r = Cli("new " + (dir / "fehlt" / "b.vnt").string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("kann nicht gespeichert werden"), std::string::npos) << r.out;
}

}  // namespace
