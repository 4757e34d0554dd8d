// Runs vantor-cli as a user would and reads what it prints.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <nlohmann/json.hpp>
#include <string>

#include "RunCli.h"

namespace {

using vantor::test::CliRun;

CliRun Cli(const std::string& args) { return vantor::test::RunCli(args); }

TEST(CliValue, ParseAndFormat) {
    EXPECT_EQ(Cli("value parse 100mOhm").out, "0.10000000000000001\n");
    EXPECT_EQ(Cli("value format 25mm m").out, "2.5cm\n");
    EXPECT_NE(Cli("value parse").exitCode, 0) << "a missing argument is refused";
}

TEST(CliOptimise, DefaultDesignWithOptions) {
    const CliRun text = Cli("optimise");
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("Ergebnis: Optimierung erfolgreich"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("C1= 4.7uF"), std::string::npos) << "C1 is the largest: " << text.out;

    const CliRun r = Cli("optimise --json --fo 1GHz --package 4 --length 120mm");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["result"], 1);
    EXPECT_EQ(j["fo"], 1e9);
    // eps0 * er * area / spacing: the length option reached the board.
    EXPECT_NEAR(j["plane_capacitance"].get<double>(), 0.12 * 0.071 * 4.4 * 8.859e-12 / 5e-5, 1e-20);
    ASSERT_GE(j["elements"].size(), 2u);
    EXPECT_EQ(j["elements"][1]["package"], "2012(0805) COG-Keramik");

    const CliRun refused = Cli("optimise --package 15");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("Unbekannte Bauform: 15"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty()) << "a refused value prints no result";
}

TEST(CliOptimise, MessagesReachTheJsonAndStderr) {
    const CliRun r = Cli("optimise --json --fo 100MHz --spacing 100um --zmin-fu 0.325 --zmax-fu 0.3705 "
                         "--zmin-fo 1.1 --zmax-fo 1.188");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["messages"], nlohmann::json::array({"MAX_OPT überschritten"}));
    EXPECT_NE(r.err.find("MAX_OPT überschritten"), std::string::npos);
}

const std::string kDatabase = std::string(VANTOR_SOURCE_DIR) + "/Database";

TEST(CliComponents, DatabaseListsTheShippedChokes) {
    const CliRun r = Cli("database --json --database " + kDatabase);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_TRUE(j["messages"].empty());
    EXPECT_EQ(j["sets"].size(), 20u);
}

TEST(CliComponents, DatabaseReadsTheRealSampleFilesAndReportsTheRefusedOnes) {
    const std::string samples = std::string(VANTOR_SAMPLES_DIR) + "/touchstone";
    if (!std::filesystem::is_directory(samples)) GTEST_SKIP() << "sample folder " << samples << " not present";
    const CliRun r = Cli("database --json --database " + samples);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    std::set<std::string> names;
    for (const auto& s : j["sets"]) names.insert(s["name"].get<std::string>());
    for (const char* n : {"BLE18PK100SN1_series", "NFZ32BW621HN10_series", "04AF201", "0603CT_10N"})
        EXPECT_EQ(names.count(n), 1u) << n;
}

TEST(CliComponents, ANamedMissingFolderFailsTheDefaultOneIsEmpty) {
    const CliRun r = Cli("database --database /nonexistent/vantor-db");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Bauteile-Ordner /nonexistent/vantor-db nicht gefunden!"), std::string::npos) << r.err;
    // Without --database the folder "Database" beside the working folder is
    // read; where there is none the database is empty, without a message.
    const auto empty = std::filesystem::path(::testing::TempDir()) / ("vantor_no_db_" + std::to_string(getpid()));
    std::filesystem::create_directories(empty);
    const CliRun none = vantor::test::RunCli("database", empty.string());
    std::filesystem::remove_all(empty);
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(none.out + none.err, "S-Parameter-Sätze: 0\nMeldungen: 0\n");
}

TEST(CliComponents, ChokeSearchAndAttenuationCurve) {
    const CliRun r =
        Cli("chokes --json --database " + kDatabase + " --fu 10MHz --fo 300MHz --attenuation 35 --imax 0.1");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    const std::string choke = j["candidates"].at(j["selected"].get<std::size_t>()).get<std::string>();

    // Every point of the chosen choke's curve in the band attenuates at
    // least the required 35 dB: that is what the search selected it for.
    const CliRun curve = Cli("attenuation --database " + kDatabase + " --choke " + choke);
    ASSERT_EQ(curve.exitCode, 0) << curve.err;
    std::istringstream lines(curve.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "f_Hz,attenuation_dB");
    int rows = 0;
    while (std::getline(lines, line)) {
        const auto comma = line.find(',');
        ASSERT_NE(comma, std::string::npos) << line;
        const double f = std::stod(line.substr(0, comma));
        const double a = std::stod(line.substr(comma + 1));
        EXPECT_GE(f, 1e7);
        EXPECT_LE(f, 3e8);
        EXPECT_LE(a, -35.0) << "at " << f << " Hz";
        ++rows;
    }
    EXPECT_GT(rows, 5);
}

TEST(CliComponents, RefusedRequirementsAndUnknownChoke) {
    const CliRun current = Cli("chokes --database " + kDatabase + " --fu 10MHz --fo 300MHz --attenuation 35 --imax 200");
    EXPECT_EQ(current.exitCode, 2);
    EXPECT_NE(current.err.find("0A < Imax < 100A"), std::string::npos) << current.err;
    EXPECT_TRUE(current.out.empty());
    const CliRun unknown = Cli("attenuation --database " + kDatabase + " --choke NoSuchChoke");
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("Drossel NoSuchChoke ist nicht in der Datenbank!"), std::string::npos);
}

}  // namespace
