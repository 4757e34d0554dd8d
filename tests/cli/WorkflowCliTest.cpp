// The design workflows of vantor-cli on real files, as a nightly script
// runs them: one smoke run per command, one refused value per command, the
// shrink question both ways, untouched files after failures, curves, the
// report as a PDF.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
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

class WorkflowCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) / ("vantor_wf_" + std::to_string(getpid()) + "_" +
                                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        doc = (dir / "design.vnt").string();
        ASSERT_EQ(Cli("new " + doc).exitCode, 0);
    }
    void TearDown() override { fs::remove_all(dir); }

    CliRun Cli(const std::string& args) { return vantor::test::RunCli(args, dir.string()); }
    nlohmann::json Info(const std::string& file) {
        const CliRun r = Cli("info --json " + file);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return nlohmann::json::parse(r.out);
    }
    // A refused or cancelled command: its exit code, its message, the file
    // byte for byte as it was.
    void ExpectUnchanged(const std::string& args, int exitCode, const std::string& message) {
        const std::string before = ReadAll(doc);
        const CliRun r = Cli(args);
        EXPECT_EQ(r.exitCode, exitCode) << args << "\n" << r.out << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << args << "\nstderr: " << r.err;
        EXPECT_EQ(ReadAll(doc), before) << args << " changed the file";
    }
    // A small plane and few frequencies keep the field solution quick.
    void SmallAnalysis() {
        ASSERT_EQ(Cli("analysis " + doc + " --stop 300MHz --steps 4 --resolution 3").exitCode, 0);
    }

    fs::path dir;
    std::string doc;
};

const std::string kPositive =
    "Der eingegebene Wert ist ungültig!\n\nDer Wert muß größer Null sein!\nÜberprüfen Sie auch die Einheit!";

// One refused value per command: its message reaches the script, the exit
// code is 2 and the file stays as it was. The checks themselves are tested
// in the core.
TEST_F(WorkflowCli, ARefusedValueKeepsTheFile) {
    ASSERT_EQ(Cli("group new " + doc).exitCode, 0);
    const struct {
        std::string args, message;
    } cases[] = {
        // The width/length exchange makes a zero length a zero width.
        {"layout " + doc + " --length 0", "Breite: " + kPositive},
        {"optimise " + doc + " --fo 3.1GHz", "Fehler: Obere Grenzfrequenz muß <= 3GHz sein!"},
        {"analysis " + doc + " --steps 10000", "Geben Sie eine ganze Zahl zwischen 0 und 9999 ein."},
        {"group values " + doc + " Gruppe1 1uF,0", "C2: Fehler: Kapazitätswert muß größer als Null sein !!!"},
        {"filter " + doc + " --requirements --fu 400MHz", "Fehler: Fo muß größer als Fu sein!"},
        {"package " + doc + " --package NoSuchPackage", "Unbekannte Bauform: NoSuchPackage"},
    };
    for (const auto& c : cases) ExpectUnchanged(c.args, 2, c.message);
}

TEST_F(WorkflowCli, ValuesTheOptionParserRefusesExitTwo) {
    for (const std::string& args : {"group insert " + doc + " Gruppe1 11", "analyse " + doc + " --solver slow",
                                    "impedance " + doc + " --probe Probe1 --steps 1", "info " + doc + " extra",
                                    std::string("no-such-command")}) {
        const std::string before = ReadAll(doc);
        const CliRun r = Cli(args);
        EXPECT_EQ(r.exitCode, 2) << args << "\n" << r.err;
        EXPECT_FALSE(r.err.empty()) << args;
        EXPECT_EQ(ReadAll(doc), before) << args;
    }
    EXPECT_EQ(Cli("--help").exitCode, 0);
}

TEST_F(WorkflowCli, ShrinkQuestionAnsweredBothWays) {
    ASSERT_EQ(Cli("group new " + doc).exitCode, 0);  // at the centre, 49.5mm / 35.5mm
    ExpectUnchanged("layout " + doc + " --length 40mm --width 30mm", 1,
                    "Einige Objekte liegen außerhalb der neuen Dimensionen!\nSollen die Änderungen übernommen und die "
                    "Objekte entsprechend verschoben bzw.\nverkleinert werden?");

    const CliRun yes = Cli("layout " + doc + " --length 40mm --width 30mm --yes");
    ASSERT_EQ(yes.exitCode, 0) << yes.err;
    const auto j = Info(doc);
    EXPECT_DOUBLE_EQ(j["board"]["length"].get<double>(), 0.04);
    EXPECT_DOUBLE_EQ(j["groups"][0]["x"].get<double>(), 0.04) << "moved onto the new border";
}

TEST_F(WorkflowCli, TargetsPackageAndAnalysisAreWritten) {
    const std::string out = (dir / "other.vnt").string();
    const std::string before = ReadAll(doc);
    ASSERT_EQ(Cli("optimise " + doc + " --fo 1GHz -o " + out).exitCode, 0);
    EXPECT_EQ(ReadAll(doc), before) << "-o leaves FILE alone";
    EXPECT_DOUBLE_EQ(Info(out)["optimisation"]["fo"].get<double>(), 1e9);

    ASSERT_EQ(Cli("package " + doc + " --package 1").exitCode, 0);
    ASSERT_EQ(Cli("package " + doc + " --manual --rloss 50mOhm --lser 1nH").exitCode, 0);
    const auto j = Info(doc);
    for (std::size_t i = 1; i < j["optimisation"]["elements"].size(); ++i)
        EXPECT_EQ(j["optimisation"]["elements"][i]["package_type"], 0) << "the optimiser used the new package";

    ASSERT_EQ(Cli("analysis " + doc + " --start 2MHz --steps 20").exitCode, 0);
    EXPECT_EQ(Info(doc)["analysis"]["steps"], 20);
}

// One run of each group command; the naming and ordering rules are tested in the core.
TEST_F(WorkflowCli, GroupCommands) {
    for (int i = 0; i < 2; ++i) ASSERT_EQ(Cli("group new " + doc).exitCode, 0);
    ASSERT_EQ(Cli("group delete " + doc + " Gruppe1").exitCode, 0);
    ASSERT_EQ(Cli("group select " + doc + " Gruppe2").exitCode, 0);
    EXPECT_EQ(Info(doc)["form"]["current_group"], "Gruppe2");
    ExpectUnchanged("group select " + doc + " Gruppe9", 1, "Gruppe9");
    auto gruppe2 = [&] { return Info(doc)["groups"][0]; };
    const int n = static_cast<int>(gruppe2()["elements"].size()) - 1;
    ASSERT_GE(n, 2);
    ASSERT_EQ(Cli("group values " + doc + " Gruppe2 22uF,100nF").exitCode, 0);
    EXPECT_DOUBLE_EQ(gruppe2()["elements"][n]["capacitance"].get<double>(), 22e-6) << "C1 is the last element";
    ASSERT_EQ(Cli("group remove " + doc + " Gruppe2 1").exitCode, 0);
    EXPECT_DOUBLE_EQ(gruppe2()["elements"][n - 1]["capacitance"].get<double>(), 100e-9) << "22uF (C1) is gone";
    ASSERT_EQ(Cli("group insert " + doc + " Gruppe2 " + std::to_string(n)).exitCode, 0);
    EXPECT_EQ(static_cast<int>(gruppe2()["elements"].size()) - 1, n);
    ASSERT_EQ(Cli("group move " + doc + " Gruppe2 20mm 500mm").exitCode, 0);
    EXPECT_DOUBLE_EQ(gruppe2()["y"].get<double>(), 0.071) << "clamped into the plane";
}

TEST_F(WorkflowCli, ControlCharactersInNamesAreShownEscaped) {
    // An escape sequence in a name must not reach the terminal.
    const std::string name = "\"$(printf 'a\\033[2J\\tb')\"";
    const CliRun added = Cli("probe add " + doc + " " + name + " 1mm 1mm");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    const CliRun info = Cli("info " + doc);
    for (const CliRun& r : {added, info}) {
        EXPECT_NE((r.out + r.err).find("Sonde a\\x1B[2J\\tb"), std::string::npos) << r.out << r.err;
        EXPECT_EQ((r.out + r.err).find('\033'), std::string::npos);
    }
    EXPECT_EQ(Info(doc)["probes"].back()["name"], "a\033[2J\tb") << "stored as given";
}

TEST_F(WorkflowCli, ProbesAndCutOuts) {
    ASSERT_EQ(Cli("probe add " + doc + " Sonde3 10mm 20mm").exitCode, 0);
    ExpectUnchanged("probe add " + doc + " Sonde3 1mm 1mm", 1, "Sonde3");
    ASSERT_EQ(Cli("probe move " + doc + " Sonde3 30mm 5mm").exitCode, 0);
    EXPECT_DOUBLE_EQ(Info(doc)["probes"].back()["x"].get<double>(), 0.03);
    ASSERT_EQ(Cli("probe delete " + doc + " Sonde3").exitCode, 0);
    ASSERT_EQ(Cli("cutout add " + doc + " 10mm 10mm 6mm 6mm").exitCode, 0);
    const auto c = Info(doc)["cutouts"];
    ASSERT_EQ(c.size(), 1u);
    EXPECT_DOUBLE_EQ(c[0]["x1"].get<double>(), 0.006) << "corners ordered";
    ASSERT_EQ(Cli("cutout delete " + doc + " Cutout1").exitCode, 0);
    ExpectUnchanged("cutout delete " + doc + " Cutout1", 1, "Cutout1");
    EXPECT_EQ(Info(doc)["probes"].size(), 2u);
}

std::vector<std::vector<double>> Csv(const std::string& text, std::string& header) {
    std::istringstream in(text);
    std::getline(in, header);
    std::vector<std::vector<double>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<double> row;
        std::stringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, ',')) row.push_back(std::stod(cell));
        rows.push_back(row);
    }
    return rows;
}

TEST_F(WorkflowCli, FilterTransferSearchAndCurve) {
    const std::string db = std::string(VANTOR_SOURCE_DIR) + "/Database";
    ExpectUnchanged("filter " + doc + " --search --database " + db, 1,
                    "Bitte zuerst Daten in die Filterberechnung transferieren!");
    ExpectUnchanged("filter " + doc + " --transfer", 1, "Keine aktuelle Gruppe");
    ASSERT_EQ(Cli("group new " + doc).exitCode, 0);
    const CliRun r = Cli("filter " + doc + " --transfer --search --database " + db);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_FALSE(Info(doc)["filter"]["candidates"].empty()) << r.out;
    ASSERT_EQ(Cli("filter " + doc + " --toggle-group").exitCode, 0);
    EXPECT_EQ(Info(doc)["filter"]["use_group"], 0);

    const CliRun curve = Cli("attenuation " + doc + " --database " + db + " --from 10MHz --to 300MHz");
    ASSERT_EQ(curve.exitCode, 0) << curve.err;
    std::string header;
    const auto points = Csv(curve.out, header);
    EXPECT_EQ(header, "f_Hz,attenuation_dB");
    ASSERT_FALSE(points.empty());
    EXPECT_GE(points.front()[0], 1e7) << "the measured points inside the band";
    EXPECT_LE(points.back()[0], 3e8);

    // A folder without the chosen choke has no curve to give: a failure, not a bare header.
    const fs::path empty = dir / "empty";
    fs::create_directories(empty);
    const std::string chosen = Info(doc)["filter"]["candidates"][0].get<std::string>();
    const CliRun missing = Cli("attenuation " + doc + " --database " + empty.string());
    EXPECT_EQ(missing.exitCode, 1) << missing.out;
    EXPECT_NE(missing.err.find("Drossel " + chosen + " ist nicht in der Datenbank!"), std::string::npos)
        << missing.err;
    EXPECT_EQ(missing.out.find("attenuation_dB"), std::string::npos) << missing.out;
}

TEST_F(WorkflowCli, AnalyseBothSolversCurvesAndKillMax) {
    // The group keeps the optimisation's corner frequency.
    ASSERT_EQ(Cli("optimise " + doc + " --fo 500MHz").exitCode, 0);
    ASSERT_EQ(Cli("group new " + doc).exitCode, 0);
    ExpectUnchanged("impedance " + doc + " --probe Probe1", 1, "Keine Ergebnisse");
    ExpectUnchanged("killmax " + doc, 1, "Keine Ergebnisse");
    SmallAnalysis();
    const std::string reference = (dir / "reference.vnt").string();
    const CliRun umf = Cli("analyse " + doc + " --solver umfpack -o " + reference);
    ASSERT_EQ(umf.exitCode, 0) << umf.err;
    const CliRun fast = Cli("analyse " + doc + " --verbose --threads 2");
    ASSERT_EQ(fast.exitCode, 0) << fast.err;
    EXPECT_NE(fast.out.find("Gesamt:"), std::string::npos) << "the timing log with --verbose";
    EXPECT_NE(fast.err.find("FEM-Solver busy... 100% 300.0MHz\n"), std::string::npos)
        << "the plain progress ends with a summary line at the last frequency";

    std::string header;
    const std::string axis = " --from 1MHz --to 300MHz --steps 10";
    const auto a = Csv(Cli("impedance " + doc + " --probe Probe1" + axis).out, header);
    EXPECT_EQ(header, "f_Hz,abs_Ohm,re_Ohm,im_Ohm,valid");
    const auto b = Csv(Cli("impedance " + reference + " --probe Probe1" + axis).out, header);
    ASSERT_EQ(a.size(), 11u) << "steps + 1 points";
    ASSERT_EQ(b.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i][1], b[i][1], 1e-9 * b[i][1]) << "the two solvers agree";
        EXPECT_NEAR(a[i][1], std::hypot(a[i][2], a[i][3]), 1e-9 * a[i][1]);
    }
    EXPECT_EQ(Csv(Cli("impedance " + doc + " --at 49.5mm 35.5mm" + axis).out, header).size(), 11u);
    const auto approx = Csv(Cli("approx " + doc + " --steps 4").out, header);
    EXPECT_EQ(header, "f_Hz,abs_Ohm,valid");
    ASSERT_EQ(approx.size(), 5u);
    EXPECT_DOUBLE_EQ(approx.back()[0], 1e9) << "the graph's default axis ends at 1 GHz";
    // The lumped model holds up to fo = 500 MHz.
    const double valid[] = {1, 1, 1, 0, 0};
    for (std::size_t i = 0; i < approx.size(); ++i) EXPECT_EQ(approx[i][2], valid[i]) << approx[i][0];

    const std::size_t groups = Info(doc)["groups"].size();
    const CliRun k = Cli("killmax " + doc);
    ASSERT_EQ(k.exitCode, 0) << k.err;
    EXPECT_EQ(Info(doc)["groups"].size(), groups + 1);
}

TEST_F(WorkflowCli, OptimiserQuestionIsAnsweredByTheOption) {
    // Targets under which the optimiser's correction crowds two capacitors
    // and asks whether to go on: Cancel by default leaves the file alone.
    const std::string crowded =
        "optimise " + doc + " --fo 2GHz --zmin-fu 0.1 --zmax-fu 0.123 --zmin-fo 0.6 --zmax-fo 0.804";
    ExpectUnchanged(crowded, 1, "Optimierung fortsetzen? [Wiederholen/Abbrechen] -> Abbrechen");
    const CliRun retried = Cli(crowded + " --answer retry");
    EXPECT_NE(retried.err.find("-> Wiederholen"), std::string::npos) << retried.err;
    EXPECT_EQ(Cli("optimise " + doc + " --answer maybe").exitCode, 2);
}

TEST_F(WorkflowCli, DamagedFileFailsWithoutWriting) {
    const std::string bad = (dir / "bad.vnt").string();
    std::ofstream(bad, std::ios::binary) << "not a design";
    const std::string before = ReadAll(bad);
    for (const char* cmd : {"group new ", "analyse ", "layout ", "filter --transfer "}) {
        const CliRun r = Cli(std::string(cmd) + bad);
        EXPECT_EQ(r.exitCode, 1) << cmd;
        EXPECT_EQ(ReadAll(bad), before) << cmd;
    }
}

TEST_F(WorkflowCli, ReportPdfReadsBack) {
#ifndef VANTOR_HAVE_REPORT
    GTEST_SKIP() << "built without Qt (VANTOR_BUILD_REPORT=OFF)";
#endif
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils, scripts/install-deps) is not installed";
    ASSERT_EQ(Cli("group new " + doc).exitCode, 0);
    ASSERT_EQ(Cli("group new " + doc).exitCode, 0);
    const std::string pdf = (dir / "report.pdf").string();
    const CliRun r = Cli("report " + doc + " -o " + pdf);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(std::system(("pdftotext -layout " + pdf + " " + pdf + ".txt").c_str()), 0);
    const std::string text = ReadAll(pdf + ".txt");
    for (const char* expected : {"Vantor V.4.01", "design.vnt", "Kondensatorgruppen:", "Gruppe1", "Gruppe2",
                                 "Position: X=5cm,Y=3.5cm", "C1= ", "Layout:", "Länge: 9.9cm"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_LT(text.find("Gruppe1"), text.find("Gruppe2"));
    EXPECT_LT(text.find("Gruppe2"), text.find("Layout:"));
}

}  // namespace
