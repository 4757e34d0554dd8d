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
    // eps0 * er * area / spacing, with the board's permittivity constant.
    EXPECT_NEAR(j["plane_capacitance"].get<double>(), 0.12 * 0.071 * 4.4 * 8.859e-12 / 5e-5, 1e-20);
    const auto& el = j["elements"];
    ASSERT_GE(el.size(), 2u);
    EXPECT_EQ(el[0]["package"], "Flächenkapazität");
    for (std::size_t i = 1; i < el.size(); ++i) {
        EXPECT_EQ(el[i]["package"], "2012(0805) COG-Keramik");
        if (i > 1) {
            EXPECT_LT(el[i - 1]["capacitance"].get<double>(), el[i]["capacitance"].get<double>());
        }
    }
    EXPECT_GE(el.back()["capacitance"].get<double>(), 4e-6);

    const CliRun refused = Cli("optimise --package 15");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("Unbekannte Bauform: 15"), std::string::npos) << refused.err;
    EXPECT_TRUE(refused.out.empty()) << "a refused value prints no result";
}

TEST(CliOptimise, MessagesAndQuestionsNeverWait) {
    // Unreachable targets: the optimiser says so once and keeps its state.
    const CliRun maxOpt = Cli("optimise --json --fo 100MHz --spacing 100um --zmin-fu 0.325 --zmax-fu 0.3705 "
                           "--zmin-fo 1.1 --zmax-fo 1.188");
    ASSERT_EQ(maxOpt.exitCode, 0) << maxOpt.err;
    const auto j = nlohmann::json::parse(maxOpt.out);
    ASSERT_EQ(j["messages"].size(), 1u);
    EXPECT_EQ(j["messages"][0], "MAX_OPT überschritten");
    EXPECT_NE(maxOpt.err.find("MAX_OPT überschritten"), std::string::npos);

    // The Retry/Cancel question is answered by the option, Cancel by default.
    const std::string crowded = "optimise --fo 200MHz --vias 1 --zmin-fu 0.2 --zmax-fu 0.236 --zmin-fo 0.075 "
                                "--zmax-fo 0.08775";
    const CliRun cancelled = Cli(crowded);
    EXPECT_EQ(cancelled.exitCode, 1);
    EXPECT_NE(cancelled.err.find("Optimierung fortsetzen? [Wiederholen/Abbrechen] -> Abbrechen"), std::string::npos)
        << cancelled.err;
    const CliRun retried = Cli(crowded + " --answer retry");
    EXPECT_NE(retried.err.find("-> Wiederholen"), std::string::npos) << retried.err;
    EXPECT_NE(Cli(crowded + " --answer maybe").exitCode, 0);
}

}  // namespace

namespace {

const std::string kDatabase = std::string(VANTOR_SOURCE_DIR) + "/Database";

TEST(CliComponents, DatabaseListsTheShippedChokes) {
    const CliRun r = Cli("database --json --database " + kDatabase);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_TRUE(j["messages"].empty());
    ASSERT_EQ(j["sets"].size(), 20u);
    for (const auto& s : j["sets"]) {
        EXPECT_LE(s["f_min"].get<double>(), 1e5);
        EXPECT_GE(s["f_max"].get<double>(), 1e9);
        EXPECT_GT(s["points"].get<int>(), 10);
        EXPECT_GT(s["max_current"].get<double>(), 0.0);
    }
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
    const std::filesystem::path empty =
        std::filesystem::path(::testing::TempDir()) / ("vantor_no_database_" + std::to_string(getpid()));
    std::filesystem::create_directories(empty);
    const CliRun none = vantor::test::RunCli("database", empty.string());
    std::filesystem::remove_all(empty);
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(none.out, "S-Parameter-Sätze: 0\nMeldungen: 0\n");
    EXPECT_EQ(none.err, "");
}

TEST(CliComponents, ChokeSearchAndAttenuationCurve) {
    const CliRun r =
        Cli("chokes --json --database " + kDatabase + " --fu 10MHz --fo 300MHz --attenuation 35 --imax 0.1");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_FALSE(j["candidates"].empty());
    const int selected = j["selected"].get<int>();
    ASSERT_GE(selected, 0);
    ASSERT_LT(selected, static_cast<int>(j["candidates"].size()));
    const std::string choke = j["candidates"][static_cast<std::size_t>(selected)].get<std::string>();

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

    // Without the capacitor group the choke alone attenuates less.
    const CliRun alone = Cli("attenuation --no-group --database " + kDatabase + " --choke " + choke);
    ASSERT_EQ(alone.exitCode, 0);
    EXPECT_NE(alone.out, curve.out);
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
