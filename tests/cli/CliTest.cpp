// Runs vantor-cli as a user would and reads what it prints.

#include <gtest/gtest.h>

#include "RunCli.h"

namespace {

using vantor::test::CliRun;
using vantor::test::kDatabase;
using CliTest = vantor::test::CliFolder;

TEST_F(CliTest, ValueParseAndFormat) {
    EXPECT_EQ(Cli("value parse 100mOhm").out, "0.10000000000000001\n");
    EXPECT_EQ(Cli("value format 25mm m").out, "2.5cm\n");
}

TEST_F(CliTest, OptimiseTheDefaultDesignWithOptions) {
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

    // The optimiser's messages reach the JSON and stderr.
    const CliRun m = Cli(
        "optimise --json --fo 100MHz --spacing 100um --zmin-fu 0.325 --zmax-fu 0.3705 --zmin-fo 1.1 --zmax-fo 1.188");
    ASSERT_EQ(m.exitCode, 0) << m.err;
    EXPECT_EQ(nlohmann::json::parse(m.out)["messages"], nlohmann::json::array({"MAX_OPT überschritten"}));
    EXPECT_NE(m.err.find("MAX_OPT überschritten"), std::string::npos);
}

TEST_F(CliTest, DatabaseFolders) {
    const CliRun missing = Cli("database --database /nonexistent/vantor-db");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Bauteile-Ordner /nonexistent/vantor-db nicht gefunden!"), std::string::npos);
    // Without --database the folder "Database" beside the working folder is
    // read; where there is none, the installed one (the build tree lays one
    // out as an installation does), without a message.
    const CliRun none = Cli("database");
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(none.out.substr(0, none.out.find('\n')), "S-Parameter-Sätze: 20");
    EXPECT_NE(none.out.find("Meldungen: 0\n"), std::string::npos);

    const auto shipped = nlohmann::json::parse(Cli("database --json" + kDatabase).out);
    EXPECT_TRUE(shipped["messages"].empty());
    EXPECT_EQ(shipped["sets"].size(), 20u);
}

TEST_F(CliTest, ChokeSearchAndAttenuationCurve) {
    const CliRun r = Cli("chokes --json" + kDatabase + " --fu 10MHz --fo 300MHz --attenuation 35 --imax 0.1");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    const std::string choke = j["candidates"].at(j["selected"].get<std::size_t>()).get<std::string>();
    // Every point of the chosen choke's curve in the band attenuates at
    // least the required 35 dB: that is what the search selected it for.
    std::string header;
    const auto curve = vantor::test::Csv(Cli("attenuation" + kDatabase + " --choke " + choke).out, header);
    EXPECT_EQ(header, "f_Hz,attenuation_dB");
    EXPECT_GT(curve.size(), 5u);
    for (const auto& p : curve) {
        EXPECT_GE(p.at(0), 1e7);
        EXPECT_LE(p.at(0), 3e8);
        EXPECT_LE(p.at(1), -35.0) << "at " << p[0] << " Hz";
    }
}

}  // namespace
