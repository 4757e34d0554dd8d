// The design workflows of vantor-cli on real files as a nightly script runs them:
// one smoke run and one refused value per command, the questions, the report.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "RunCli.h"

namespace {

using vantor::test::CliRun;
using vantor::test::Csv;
using vantor::test::kDatabase;
using vantor::test::ReadAll;

class WorkflowCli : public vantor::test::CliFolder {
protected:
    void SetUp() override {
        CliFolder::SetUp();
        ASSERT_EQ(Cli("new design.vnt").exitCode, 0);
    }
    void ExpectUnchanged(const std::string& args, int exitCode, const std::string& message) {
        ExpectRefused("design.vnt", args, exitCode, message);
    }
};

const std::string kPositive =
    "Der eingegebene Wert ist ungültig!\n\nDer Wert muß größer Null sein!\nÜberprüfen Sie auch die Einheit!";

// One refused value per command: its message reaches the script, the exit
// code is 2 and the file stays as it was. The checks themselves are tested
// in the core.
TEST_F(WorkflowCli, ARefusedValueKeepsTheFile) {
    ASSERT_EQ(Cli("group new design.vnt").exitCode, 0);
    // clang-format off
    const struct { std::string args, message; } cases[] = {
        // The width/length exchange makes a zero length a zero width.
        {"layout design.vnt --length 0", "Breite: " + kPositive},
        {"optimise design.vnt --fo 3.1GHz", "Fehler: Obere Grenzfrequenz muß <= 3GHz sein!"},
        {"optimise design.vnt --answer maybe", ""},
        {"analysis design.vnt --steps 10000", "Geben Sie eine ganze Zahl zwischen 0 und 9999 ein."},
        {"group values design.vnt Gruppe1 1uF,0", "C2: Fehler: Kapazitätswert muß größer als Null sein !!!"},
        {"filter design.vnt --requirements --fu 400MHz", "Fehler: Fo muß größer als Fu sein!"},
        {"package design.vnt --package NoSuchPackage", "Unbekannte Bauform: NoSuchPackage"},
        // Values the option parser refuses.
        {"group insert design.vnt Gruppe1 11", ""},
        {"analyse design.vnt --solver slow", ""},
        {"impedance design.vnt --probe Probe1 --steps 1", ""},
        {"info design.vnt extra", ""},
        {"no-such-command", ""},
        {"value parse", ""},
        {"chokes --database . --fu 10MHz --fo 300MHz --attenuation 35 --imax 200", "0A < Imax < 100A"},
        // A name given but empty or blank; left out, it is numbered.
        {"probe add design.vnt '' 1mm 1mm", "Der Name einer Sonde darf nicht leer sein"},
        {"probe add design.vnt \"$(printf ' \\t\\302\\240')\" 1mm 1mm", "Der Name einer Sonde darf nicht leer sein"},
        {"cutout add design.vnt 1mm 1mm 2mm 2mm --name ''", "Der Name einer Aussparung darf nicht leer sein"},
        {"cutout add design.vnt 1mm 1mm 2mm 2mm --name '   '", "Der Name einer Aussparung darf nicht leer sein"},
    };
    // clang-format on
    for (const auto& c : cases) ExpectUnchanged(c.args, 2, c.message);
    EXPECT_EQ(Cli("--help").exitCode, 0);
}

TEST_F(WorkflowCli, ShrinkQuestionAnsweredBothWays) {
    ASSERT_EQ(Cli("group new design.vnt").exitCode, 0);  // at the centre, 49.5mm / 35.5mm
    ExpectUnchanged("layout design.vnt --length 40mm --width 30mm", 1, "außerhalb der neuen Dimensionen");
    ASSERT_EQ(Cli("layout design.vnt --length 40mm --width 30mm --yes").exitCode, 0);
    const auto j = Info("design.vnt");
    EXPECT_DOUBLE_EQ(j["board"]["length"].get<double>(), 0.04);
    EXPECT_DOUBLE_EQ(j["groups"][0]["x"].get<double>(), 0.04) << "moved onto the new border";
}

TEST_F(WorkflowCli, TargetsPackageAnalysisAndTheOptimiserQuestion) {
    const std::string before = ReadAll(dir / "design.vnt");
    ASSERT_EQ(Cli("optimise design.vnt --fo 1GHz -o other.vnt").exitCode, 0);
    EXPECT_EQ(ReadAll(dir / "design.vnt"), before) << "-o leaves FILE alone";
    EXPECT_DOUBLE_EQ(Info("other.vnt")["optimisation"]["fo"].get<double>(), 1e9);
    // Targets under which the optimiser's correction crowds two capacitors
    // and asks whether to go on: Cancel by default leaves the file alone.
    const std::string crowded =
        "optimise design.vnt --fo 2GHz --zmin-fu 0.1 --zmax-fu 0.123 --zmin-fo 0.6 --zmax-fo 0.804";
    ExpectUnchanged(crowded, 1, "Optimierung fortsetzen? [Wiederholen/Abbrechen] -> Abbrechen");
    EXPECT_NE(Cli(crowded + " --answer retry").err.find("-> Wiederholen"), std::string::npos);
    ASSERT_EQ(Cli("package design.vnt --package 1").exitCode, 0);
    ASSERT_EQ(Cli("package design.vnt --manual --rloss 50mOhm --lser 1nH").exitCode, 0);
    ASSERT_EQ(Cli("analysis design.vnt --start 2MHz --steps 20").exitCode, 0);
    const auto j = Info("design.vnt");
    for (std::size_t i = 1; i < j["optimisation"]["elements"].size(); ++i)
        EXPECT_EQ(j["optimisation"]["elements"][i]["package_type"], 0) << "the optimiser used the new package";
    EXPECT_EQ(j["analysis"]["steps"], 20);
}

// One run of each group, probe and cut-out command; their rules are tested in the core.
TEST_F(WorkflowCli, GroupProbeAndCutOutCommands) {
    for (const char* args : {"group new design.vnt", "group new design.vnt", "group delete design.vnt Gruppe1",
                             "group select design.vnt Gruppe2"})
        ASSERT_EQ(Cli(args).exitCode, 0) << args;
    EXPECT_EQ(Info("design.vnt")["form"]["current_group"], "Gruppe2");
    auto gruppe2 = [&] { return Info("design.vnt")["groups"][0]; };
    const int n = static_cast<int>(gruppe2()["elements"].size()) - 1;
    ASSERT_EQ(Cli("group values design.vnt Gruppe2 22uF,100nF").exitCode, 0);
    EXPECT_DOUBLE_EQ(gruppe2()["elements"][n]["capacitance"].get<double>(), 22e-6) << "C1 is the last element";
    ASSERT_EQ(Cli("group remove design.vnt Gruppe2 1").exitCode, 0);
    EXPECT_DOUBLE_EQ(gruppe2()["elements"][n - 1]["capacitance"].get<double>(), 100e-9) << "22uF (C1) is gone";
    ASSERT_EQ(Cli("group insert design.vnt Gruppe2 " + std::to_string(n)).exitCode, 0);
    EXPECT_EQ(static_cast<int>(gruppe2()["elements"].size()) - 1, n);
    ASSERT_EQ(Cli("group move design.vnt Gruppe2 20mm 500mm").exitCode, 0);
    EXPECT_DOUBLE_EQ(gruppe2()["y"].get<double>(), 0.071) << "clamped into the plane";

    for (const char* args : {"probe add design.vnt Sonde3 10mm 20mm", "probe move design.vnt Sonde3 30mm 5mm",
                             "probe add design.vnt 1mm 1mm", "probe delete design.vnt Probe3",  // numbered
                             "cutout add design.vnt 1mm 1mm 2mm 2mm", "cutout add design.vnt 10mm 10mm 6mm 6mm",
                             "cutout delete design.vnt Cutout1"})
        ASSERT_EQ(Cli(args).exitCode, 0) << args;
    const auto j = Info("design.vnt");
    EXPECT_EQ(j["probes"].size(), 3u);
    EXPECT_DOUBLE_EQ(j["probes"].back()["x"].get<double>(), 0.03);
    ASSERT_EQ(j["cutouts"].size(), 1u);
    EXPECT_DOUBLE_EQ(j["cutouts"][0]["x1"].get<double>(), 0.006) << "corners ordered";
    ExpectUnchanged("cutout delete design.vnt Cutout9", 1, "Cutout9");
}

TEST_F(WorkflowCli, ControlCharactersInNamesAreShownEscaped) {
    // An escape sequence in a name must not reach the terminal.
    const CliRun added = Cli("probe add design.vnt \"$(printf 'a\\033[2J\\tb')\" 1mm 1mm");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    for (const CliRun& r : {added, Cli("info design.vnt")}) {
        EXPECT_NE((r.out + r.err).find("Sonde a\\x1B[2J\\tb"), std::string::npos) << r.out << r.err;
        EXPECT_EQ((r.out + r.err).find('\033'), std::string::npos);
    }
    EXPECT_EQ(Info("design.vnt")["probes"].back()["name"], "a\033[2J\tb") << "stored as given";
}

TEST_F(WorkflowCli, FilterSearchAndItsCurve) {
    ASSERT_EQ(Cli("group new design.vnt").exitCode, 0);
    const CliRun r = Cli("filter design.vnt --transfer --search" + kDatabase);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_FALSE(Info("design.vnt")["filter"]["candidates"].empty()) << r.out;

    std::string header;
    const auto points = Csv(Cli("attenuation design.vnt" + kDatabase + " --from 10MHz --to 300MHz").out, header);
    ASSERT_FALSE(points.empty());
    EXPECT_GE(points.front()[0], 1e7) << "the measured points inside the band";
    EXPECT_LE(points.back()[0], 3e8);
    // A folder without the chosen choke has no curve to give: a failure, not a bare header.
    ExpectUnchanged("attenuation design.vnt --database .", 1, "ist nicht in der Datenbank!");
}

TEST_F(WorkflowCli, AnalyseCurvesAndKillMax) {
    // The group keeps the optimisation's corner frequency.
    ASSERT_EQ(Cli("optimise design.vnt --fo 500MHz").exitCode, 0);
    ASSERT_EQ(Cli("group new design.vnt").exitCode, 0);
    ExpectUnchanged("killmax design.vnt", 1, "Keine Ergebnisse");
    // A small plane and few frequencies keep the field solution quick.
    ASSERT_EQ(Cli("analysis design.vnt --stop 300MHz --steps 4 --resolution 3").exitCode, 0);
    const CliRun fast = Cli("analyse design.vnt --verbose --threads 2");
    ASSERT_EQ(fast.exitCode, 0) << fast.err;
    EXPECT_NE(fast.err.find("FEM-Solver busy... 100% 300.0MHz\n"), std::string::npos)
        << "the plain progress ends with a summary line at the last frequency";

    // The two solvers' agreement is tested in the core.
    std::string header;
    const auto a = Csv(Cli("impedance design.vnt --probe Probe1 --from 1MHz --to 300MHz --steps 10").out, header);
    ASSERT_EQ(a.size(), 11u) << "steps + 1 points";
    for (const auto& p : a) EXPECT_NEAR(p[1], std::hypot(p[2], p[3]), 1e-9 * p[1]);
    const auto approx = Csv(Cli("approx design.vnt --steps 4").out, header);
    ASSERT_EQ(approx.size(), 5u);
    // The lumped model holds up to fo = 500 MHz.
    for (std::size_t i = 0; i < approx.size(); ++i) EXPECT_EQ(approx[i][2], i < 3 ? 1 : 0) << approx[i][0];

    ASSERT_EQ(Cli("killmax design.vnt").exitCode, 0);
    EXPECT_EQ(Info("design.vnt")["groups"].size(), 2u) << "a new group at the worst point";
}

TEST_F(WorkflowCli, MapOfTheSolvedPlaneAsPng) {
#ifndef VANTOR_HAVE_REPORT
    GTEST_SKIP() << "built without Qt (VANTOR_BUILD_REPORT=OFF)";
#endif
    ExpectUnchanged("map design.vnt -o map.png", 2, "keine Ergebnisse");
    EXPECT_FALSE(std::filesystem::exists(dir / "map.png"));
    ASSERT_EQ(Cli("group new design.vnt").exitCode, 0);
    ASSERT_EQ(Cli("analysis design.vnt --stop 300MHz --steps 2 --resolution 3").exitCode, 0);
    ASSERT_EQ(Cli("analyse design.vnt").exitCode, 0);
    ExpectUnchanged("map design.vnt -o map.png --map 1GHz", 2, "vorhanden: ");
    const CliRun r = Cli("map design.vnt -o map.png --width 640");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // A PNG whose header says 640 pixels wide.
    const std::string png = ReadAll(dir / "map.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    const auto byte = [&](int i) { return static_cast<unsigned char>(png[i]); };
    EXPECT_EQ((byte(16) << 24) | (byte(17) << 16) | (byte(18) << 8) | byte(19), 640);
}

TEST_F(WorkflowCli, ReportPdfReadsBack) {
#ifndef VANTOR_HAVE_REPORT
    GTEST_SKIP() << "built without Qt (VANTOR_BUILD_REPORT=OFF)";
#endif
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils, scripts/install-deps) is not installed";
    for (int i = 0; i < 2; ++i) ASSERT_EQ(Cli("group new design.vnt").exitCode, 0);
    const CliRun r = Cli("report design.vnt -o report.pdf");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(vantor::test::RunShell("pdftotext -layout report.pdf report.txt", dir.string()).exitCode, 0);
    const std::string text = ReadAll(dir / "report.txt");
    for (const char* expected : {"Vantor V.4.01", "design.vnt", "Kondensatorgruppen:", "Gruppe1", "Gruppe2",
                                 "Position: X=5cm,Y=3.5cm", "C1= ", "Layout:", "Länge: 9.9cm"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_LT(text.find("Gruppe1"), text.find("Gruppe2"));
    EXPECT_LT(text.find("Gruppe2"), text.find("Layout:"));
}

}  // namespace
