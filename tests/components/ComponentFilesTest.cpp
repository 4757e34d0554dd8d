// The "S2P" and "FLP" readers on small files written here: what is read,
// what is refused and with which message.

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <string>
#include <vector>

#include "CSParameterDB.h"
#include "ComponentFiles.h"
#include "RecordingInteraction.h"
#include "TestFiles.h"

namespace vantor {
namespace {

struct ReadResult {
    CSParameterDB db;
    RecordingInteraction ui;
    int added = 0;
    std::string path;
    const CSParaSet* set() const { return db.Count() > 0 ? &db.Set(0) : nullptr; }
};

enum class Kind { S2p, Flp };

void Read(ReadResult& r, const std::string& content, Kind kind, const std::string& fileName) {
    test::ScratchFolder folder;
    const auto p = folder.write(fileName, content);
    r.path = p.string();
    r.added = kind == Kind::S2p ? ReadS2pFile(p, r.db, r.ui) : ReadFlpFile(p, r.db, r.ui);
}

const std::string kRiLine = "1 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8\n";

void ExpectNear(Complex actual, Complex expected, double tol, const std::string& what) {
    EXPECT_NEAR(actual.real(), expected.real(), tol) << what;
    EXPECT_NEAR(actual.imag(), expected.imag(), tol) << what;
}

// --- option line -----------------------------------------------------------

struct OptionCase {
    const char* optionLine;
    double multiplier;
    int formatCode;
};

class S2pOptionLine : public ::testing::TestWithParam<OptionCase> {};

TEST_P(S2pOptionLine, GivesMultiplierAndFormat) {
    const OptionCase& c = GetParam();
    ReadResult r;
    Read(r, std::string(c.optionLine) + "\n" + kRiLine + "2 0 0 1 0 1 0 0 0\n", Kind::S2p, "part.s2p");
    ASSERT_EQ(r.added, 1) << c.optionLine;
    EXPECT_TRUE(r.ui.messages().empty());
    const CSParaSet& s = *r.set();
    EXPECT_EQ(s.formatCode, c.formatCode);
    EXPECT_EQ(s.refImpedance, 50.0);
    ASSERT_EQ(s.pointCount, 2);
    EXPECT_DOUBLE_EQ(s.points[0].freq, c.multiplier);
    EXPECT_DOUBLE_EQ(s.fMin, c.multiplier);
    EXPECT_DOUBLE_EQ(s.fMax, 2 * c.multiplier);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, S2pOptionLine,
    ::testing::Values(OptionCase{"# MHz S RI R 50", 1e6, 5}, OptionCase{"# Hz S MA R 50", 1.0, 3},
                      OptionCase{"# GHz S DB R 50", 1e9, 4}, OptionCase{"# kHz S RI R 50", 1e3, 5},
                      // the unit without regard to case; ParseValue alone reads "1.0KHZ" as 1
                      OptionCase{"# KHZ S RI R 50", 1e3, 5}, OptionCase{"# HZ S ri R 50", 1.0, 5},
                      OptionCase{"# MHZ s Db r 50", 1e6, 4}, OptionCase{"# ghz S MA R 50", 1e9, 3},
                      // indented, tab-separated, runs of blanks, no blank after "#"
                      OptionCase{"   # MHz S RI R 50", 1e6, 5}, OptionCase{"#\tHz\tS\tRI\tR\t50", 1.0, 5},
                      OptionCase{"# MHz     S    MA   R     50   ", 1e6, 3}, OptionCase{"#MHz S RI R 50", 1e6, 5},
                      // Touchstone defaults: no reference means 50 Ohm; a bare "#" is GHz S MA R 50
                      OptionCase{"# MHz S RI", 1e6, 5}, OptionCase{"#", 1e9, 3}, OptionCase{"# R 50.0 Hz", 1.0, 3}));

struct RefusedOption {
    const char* optionLine;
    bool reference;  // else the format is refused
};

class S2pRefusedOption : public ::testing::TestWithParam<RefusedOption> {};

TEST_P(S2pRefusedOption, RejectsTheFileWithItsMessage) {
    const RefusedOption& c = GetParam();
    ReadResult r;
    Read(r, std::string(c.optionLine) + "\n" + kRiLine, Kind::S2p, "part.s2p");
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.db.Count(), 0);
    const std::string expected = c.reference ? MessageS2pReference(r.path) : MessageFormatUnsupported(r.path);
    EXPECT_EQ(r.ui.messages(), std::vector<std::string>{expected}) << c.optionLine;
}

INSTANTIATE_TEST_SUITE_P(Variants, S2pRefusedOption,
                         ::testing::Values(RefusedOption{"# MHz S RI R 75", true}, RefusedOption{"# MHz S RI R", true},
                                           RefusedOption{"# MHz Z RI R 50", false},
                                           RefusedOption{"# MHz Y MA R 50", false},
                                           RefusedOption{"# MHz S XY R 50", false},
                                           RefusedOption{"# THz S RI R 50", false}));

TEST(S2pReader, MessagesNameTheFileExactly) {
    EXPECT_EQ(MessageFormatUnsupported("a.s2p"), "S-Parameter-Datei a.s2p:\nFormat nicht unterstützt!");
    EXPECT_EQ(MessageS2pReference("a.s2p"), "S-Parameter-Datei a.s2p:\nReferenzimpedanz muß 50 Ohm sein!");
    EXPECT_EQ(MessageFlpReference("L1", "b.flp"), "S-Parameter-Daten\nL1 in Datei b.flp\nReferenzimpedanz muß 50 Ohm sein!");
    EXPECT_EQ(MessageUnexpectedEnd("b.flp"), "S-Parameter-Datei b.flp:\nUnerwartetes Dateiende!");
    EXPECT_EQ(MessageCannotOpen("c.s2p", 2), "Datei c.s2p kann nicht geöffnet werden, Fehler = 2\n");
}

// --- pair conversion ---------------------------------------------------------

TEST(S2pReader, ConvertsEachFormatToRealAndImaginary) {
    struct Case {
        const char* format;
        const char* pair;
        Complex expected;
    };
    const Case cases[] = {
        {"DB", "-6.0206 90", {0.0, 0.5}},           // the handbook case: -6 dB is a half
        {"DB", "0 180", {-1.0, 0.0}},
        {"DB", "-20 -90", {0.0, -0.1}},
        {"MA", "2 90", {0.0, 2.0}},
        {"MA", "0.5 -45", {0.5 / std::sqrt(2.0), -0.5 / std::sqrt(2.0)}},
        {"MA", "1 360", {1.0, 0.0}},
        {"RI", "-0.25 0.75", {-0.25, 0.75}},
    };
    for (const Case& c : cases) {
        ReadResult r;
        const std::string line = std::string("10 ") + c.pair + " " + c.pair + " 0 0 " + c.pair + "\n";
        Read(r, std::string("# MHz S ") + c.format + " R 50\n" + line, Kind::S2p, "x.s2p");
        ASSERT_EQ(r.added, 1) << c.format << " " << c.pair;
        const CSParameter& p = r.set()->points[0];
        EXPECT_DOUBLE_EQ(p.freq, 10e6);
        // The angle goes through the program's own pi (3.141592654).
        ExpectNear(p.s11, c.expected, 2e-5, std::string(c.format) + " S11 " + c.pair);
        ExpectNear(p.s21, c.expected, 2e-5, "S21");
        // "0 0" is 1 in dB/angle, 0 otherwise
        ExpectNear(p.s12, std::string(c.format) == "DB" ? Complex(1.0, 0.0) : Complex(0.0, 0.0), 1e-12, "S12");
        ExpectNear(p.s22, c.expected, 2e-5, "S22");
    }
}

TEST(S2pReader, KeepsTheParameterOrderOfTheLine) {
    ReadResult r;
    Read(r, "# Hz S RI R 50\n" + kRiLine, Kind::S2p, "x.s2p");
    ASSERT_EQ(r.added, 1);
    const CSParameter& p = r.set()->points[0];
    EXPECT_EQ(p.s11, Complex(0.1, 0.2));
    EXPECT_EQ(p.s21, Complex(0.3, 0.4));
    EXPECT_EQ(p.s12, Complex(0.5, 0.6));
    EXPECT_EQ(p.s22, Complex(0.7, 0.8));
}

// --- header keys ---------------------------------------------------------------

TEST(S2pReader, ReadsTheEightHeaderKeysInTheirLines) {
    const std::string text =
        "! PART_NUMBER: PL-4R7-1210 \n"
        "! NOM_L= 4.7uH\n"
        "!\tIMAX=2.5A\t\t\n"
        "! MAKE: Nordwerk Magnetics\n"
        "! DIM: 1210\n"
        "! SRF: 48 MHz\n"
        "! model data generated by the project\n"
        "! DATASHEET: datasheets/pl.pdf\n"
        "! PART_NUMBER: ignored, a ninth line is a plain comment\n"
        "# Hz S RI R 50\n" +
        kRiLine;
    ReadResult r;
    Read(r, text, Kind::S2p, "PL-4R7.v2.s2p");
    ASSERT_EQ(r.added, 1);
    const CSParaSet& s = *r.set();
    EXPECT_EQ(s.name, "PL-4R7");  // up to the first "."
    EXPECT_EQ(s.partNumber, "PL-4R7-1210");
    EXPECT_DOUBLE_EQ(s.nominalL, 4.7e-6);
    EXPECT_DOUBLE_EQ(s.maxCurrent, 2.5);
    EXPECT_EQ(s.maker, "Nordwerk Magnetics");
    EXPECT_EQ(s.dimensions, "1210");
    EXPECT_EQ(s.srf, "48 MHz");
    EXPECT_EQ(s.comment, "model data generated by the project");
    EXPECT_EQ(s.datasheet, "datasheets/pl.pdf");
}

TEST(S2pReader, AKeyCountsOnlyInItsOwnLine) {
    // Line 2 lacks "NOM_L=", line 3 carries "IMAX=" where "MAKE:" belongs.
    const std::string text =
        "! PART_NUMBER: A\n"
        "! inductance 10uH\n"
        "! NOM_L=1uH\n"
        "! IMAX=3A\n"
        "# Hz S RI R 50\n" +
        kRiLine;
    ReadResult r;
    Read(r, text, Kind::S2p, "a.s2p");
    ASSERT_EQ(r.added, 1);
    EXPECT_EQ(r.set()->nominalL, 0.0);
    EXPECT_EQ(r.set()->maxCurrent, 0.0);
    EXPECT_EQ(r.set()->maker, "");
}

TEST(S2pReader, NamesTheSetAfterTheFile) {
    EXPECT_EQ(SetNameFromFileName("dir/sub/L10.s2p"), "L10");
    EXPECT_EQ(SetNameFromFileName("NOEXT"), "NOEXT");
    EXPECT_EQ(SetNameFromFileName("RS_ZVR_1.20_beta_f.s2p"), "RS_ZVR_1");
}

// --- data lines --------------------------------------------------------------------

TEST(S2pReader, ToleratesLineEndsBlanksAndComments) {
    const std::string text =
        "! header\r\n"
        "\r\n"
        "  # MHz S RI R 50  \r\n"
        "\r\n"
        "! columns\r\n"
        "\t1\t0.1\t0.2 0.3   0.4 0.5 0.6 0.7 0.8\t\r\n"
        "   \t \r\n"
        "2 1 0 1 0 1 0 1 0 ! a trailing comment\r\n"
        "3 1 0 1 0 1 0 1 0";  // no line end at the end of the file
    ReadResult r;
    Read(r, text, Kind::S2p, "a.s2p");
    ASSERT_EQ(r.added, 1);
    EXPECT_TRUE(r.ui.messages().empty());
    const CSParaSet& s = *r.set();
    ASSERT_EQ(s.pointCount, 3);
    EXPECT_EQ(s.points[0].s11, Complex(0.1, 0.2));
    EXPECT_EQ(s.points[0].s22, Complex(0.7, 0.8));
    EXPECT_DOUBLE_EQ(s.points[2].freq, 3e6);
    EXPECT_DOUBLE_EQ(s.fMax, 3e6);
}

TEST(S2pReader, AcceptsSiPrefixesInNumbers) {
    ReadResult r;
    Read(r, "# Hz S RI R 50\n10MHz 500u 0 1 0 1 0 0 0\n", Kind::S2p, "a.s2p");
    ASSERT_EQ(r.added, 1);
    EXPECT_DOUBLE_EQ(r.set()->points[0].freq, 1e7);
    EXPECT_DOUBLE_EQ(r.set()->points[0].s11.real(), 5e-4);
}

TEST(S2pReader, AFrequencyNotAboveThePreviousEndsTheData) {
    // Touchstone puts the noise parameters (five columns) after the
    // S-parameters, starting again at a low frequency.
    const std::string text =
        "# MHz S MA R 50\n"
        "400 0.5 -99 15 120 0.03 52 0.6 -42\n"
        "500 0.5 -114 13 112 0.04 50 0.5 -46\n"
        "\n! noise\n"
        "400 0.6 0.45 -120 0.17\n"
        "500 0.7 0.40 -110 0.16\n";
    ReadResult r;
    Read(r, text, Kind::S2p, "amp.s2p");
    ASSERT_EQ(r.added, 1);
    EXPECT_TRUE(r.ui.messages().empty());
    EXPECT_EQ(r.set()->pointCount, 2);
    EXPECT_DOUBLE_EQ(r.set()->fMax, 500e6);
}

TEST(S2pReader, RejectsDamagedDataLinesNamingFileAndLine) {
    struct Case {
        const char* line;
        const char* why;
    };
    const Case cases[] = {
        {"3 1 0 1 0 1 0 1\n", "eight numbers"},
        {"3\n", "a lone frequency"},
        {"3 1 0 1 0 1 0 1 x\n", "a word"},
        {"3 1 0 1 0 1 nan 1 0\n", "not a number"},
        {"3 1 0 1 0 1 1e999 1 0\n", "overflow"},
        {"abc 1 0 1 0 1 0 1 0\n", "a word as frequency"},
    };
    for (const Case& c : cases) {
        ReadResult r;
        Read(r, std::string("! h\n# MHz S RI R 50\n1 1 0 1 0 1 0 1 0\n2 1 0 1 0 1 0 1 0\n") + c.line, Kind::S2p,
             "bad.s2p");
        EXPECT_EQ(r.added, 0) << c.why;
        EXPECT_EQ(r.db.Count(), 0) << c.why;  // no half-read set
        EXPECT_EQ(r.ui.messages(), std::vector<std::string>{MessageBadDataLine(r.path, 5)}) << c.why;
    }
}

TEST(S2pReader, TokensAfterTheNinthNumberAreIgnored) {
    for (const char* extra : {" 7", " 7 8 9", " word"}) {
        ReadResult r;
        Read(r, std::string("! h\n# MHz S RI R 50\n1 1 0 1 0 1 0 1 0\n2 0.5 0.25 1 0 1 0 0.5 0.25") + extra + "\n",
             Kind::S2p, "extra.s2p");
        ASSERT_EQ(r.added, 1) << extra;
        EXPECT_TRUE(r.ui.messages().empty()) << extra;
        ASSERT_EQ(r.set()->pointCount, 2) << extra;
        // The second point reads as it would without the extra tokens.
        ReadResult plain;
        Read(plain, "! h\n# MHz S RI R 50\n1 1 0 1 0 1 0 1 0\n2 0.5 0.25 1 0 1 0 0.5 0.25\n", Kind::S2p, "plain.s2p");
        EXPECT_EQ(r.set()->points[1].s11, plain.set()->points[1].s11) << extra;
        EXPECT_EQ(r.set()->points[1].s22, plain.set()->points[1].s22) << extra;
    }
}

TEST(S2pReader, AFileWithoutOptionLineIsRefused) {
    for (const char* text : {"", "! only comments\n", "1 1 0 1 0 1 0 1 0\n"}) {
        ReadResult r;
        Read(r, text, Kind::S2p, "none.s2p");
        EXPECT_EQ(r.added, 0);
        EXPECT_EQ(r.ui.messages(), std::vector<std::string>{MessageFormatUnsupported(r.path)}) << text;
    }
}

TEST(S2pReader, AMissingFileGivesTheOpenMessage) {
    CSParameterDB db;
    RecordingInteraction ui;
    EXPECT_EQ(ReadS2pFile("/nonexistent/folder/x.s2p", db, ui), 0);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{MessageCannotOpen("/nonexistent/folder/x.s2p", ENOENT)});
}

TEST(S2pReader, AnOverlongLineIsRefusedNotBuffered) {
    ReadResult r;
    Read(r, "# Hz S RI R 50\n" + std::string(LineReader::kMaxLineLength + 10, '1'), Kind::S2p, "long.s2p");
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.ui.messages(), std::vector<std::string>{MessageLineTooLong(r.path, 2)});
}

TEST(S2pReader, ReportsProgressUpToTheFileLength) {
    std::string text = "# Hz S RI R 50\n";
    for (int i = 1; i <= 20000; ++i) text += std::to_string(i) + " 1 0 1 0 1 0 1 0\n";
    ReadResult r;
    Read(r, text, Kind::S2p, "big.s2p");
    ASSERT_EQ(r.added, 1);
    EXPECT_EQ(r.set()->pointCount, 20000);
    int range = -1, last = -1, values = 0;
    for (const auto& e : r.ui.events()) {
        if (e.kind == RecordingInteraction::Kind::ProgressRange) range = e.value;
        if (e.kind == RecordingInteraction::Kind::ProgressValue) {
            EXPECT_GE(e.value, last);  // never runs backwards
            last = e.value;
            ++values;
        }
    }
    EXPECT_EQ(range, static_cast<int>(text.size()));
    EXPECT_EQ(last, static_cast<int>(text.size()));
    EXPECT_GT(values, 1);          // more than one block
    EXPECT_LT(values, 1000);       // but reported per block, not per line
}

TEST(LineReader, SplitsLinesAcrossBlockBoundaries) {
    // Tiny blocks put every line end at every possible block position.
    const std::string text = "a\r\nbb\n\nccc\r\n\r\nlast";
    for (std::size_t block = 1; block <= 8; ++block) {
        MemorySource src(text.data(), text.size());
        LineReader reader(src, block);
        std::vector<std::string> lines;
        std::string_view line;
        while (reader.Next(line) == LineReader::Status::Line) lines.emplace_back(line);
        EXPECT_EQ(lines, (std::vector<std::string>{"a", "bb", "", "ccc", "", "last"})) << block;
        EXPECT_EQ(reader.BytesRead(), text.size());
    }
}

// --- FLP -------------------------------------------------------------------------------

std::string FlpSet(const std::string& head, int points, const std::string& keys = "") {
    std::string s = head + "\n";
    s += "Power inductor, shielded\n";
    s += keys.empty() ? "NOM_L=10uH\nIMAX=1.5A\nMAKE: Nordwerk\nDIM: 1210\nSRF: 30MHz\nPART_NUMBER: NW-100\nDATASHEET: nw.pdf\n"
                      : keys;
    for (int i = 1; i <= points; ++i) s += std::to_string(i * 1000000) + " 0.5 90 0.5 -90 0.5 -90 0.5 90\n";
    return s;
}

TEST(FlpReader, ReadsEverySetWithItsHeader) {
    const std::string text = FlpSet("L1 1e6 3e6 3 50 1", 3) + "\n" + FlpSet("L2 1e6 2e6 2 50 RI", 2);
    ReadResult r;
    Read(r, text, Kind::Flp, "lib.flp");
    EXPECT_EQ(r.added, 2);
    EXPECT_TRUE(r.ui.messages().empty());
    ASSERT_EQ(r.db.Count(), 2);
    const CSParaSet& a = r.db.Set(0);
    EXPECT_EQ(a.name, "L1");
    EXPECT_EQ(a.description, "Power inductor, shielded");
    EXPECT_EQ(a.formatCode, 0);
    EXPECT_DOUBLE_EQ(a.nominalL, 10e-6);
    EXPECT_DOUBLE_EQ(a.maxCurrent, 1.5);
    EXPECT_EQ(a.maker, "Nordwerk");
    EXPECT_EQ(a.dimensions, "1210");
    EXPECT_EQ(a.srf, "30MHz");
    EXPECT_EQ(a.partNumber, "NW-100");
    EXPECT_EQ(a.datasheet, "nw.pdf");
    EXPECT_EQ(a.pointCount, 3);
    EXPECT_DOUBLE_EQ(a.fMin, 1e6);
    EXPECT_DOUBLE_EQ(a.fMax, 3e6);
    ExpectNear(a.points[0].s11, {0.0, 0.5}, 1e-9, "MA");  // frequencies in Hz, no multiplier
    EXPECT_DOUBLE_EQ(a.points[2].freq, 3e6);
    const CSParaSet& b = r.db.Set(1);
    EXPECT_EQ(b.formatCode, 2);
    EXPECT_EQ(b.points[1].s11, Complex(0.5, 90));
}

TEST(FlpReader, FormatTokensGiveTheirCodes) {
    const std::pair<const char*, int> cases[] = {{"1", 0}, {"S", 0}, {"s", 0}, {"31", 1},
                                                 {"DB", 1}, {"db", 1}, {"-1", 2}, {"ri", 2}};
    for (const auto& [token, code] : cases) {
        ReadResult r;
        Read(r, FlpSet(std::string("L 1e6 1e6 1 50 ") + token, 1), Kind::Flp, "f.flp");
        ASSERT_EQ(r.added, 1) << token;
        EXPECT_EQ(r.set()->formatCode, code) << token;
    }
    ReadResult db;
    Read(db, FlpSet("L 1e6 1e6 1 50 DB", 1), Kind::Flp, "f.flp");
    ExpectNear(db.set()->points[0].s11, {0.0, std::pow(10.0, 0.5 / 20.0)}, 1e-9, "DB");
}

TEST(FlpReader, AnUnknownFormatEndsTheFileKeepingEarlierSets) {
    const std::string text = FlpSet("A 1e6 1e6 1 50 1", 1) + FlpSet("B 1e6 1e6 1 50 MA", 1) + FlpSet("C 1e6 1e6 1 50 1", 1);
    ReadResult r;
    Read(r, text, Kind::Flp, "f.flp");
    EXPECT_EQ(r.added, 1);
    ASSERT_EQ(r.db.Count(), 1);
    EXPECT_EQ(r.db.Set(0).name, "A");
    EXPECT_EQ(r.ui.messages(), std::vector<std::string>{MessageFormatUnsupported(r.path)});
}

TEST(FlpReader, ASetNotAt50OhmIsReadAndDroppedAndTheNextFollows) {
    const std::string text = FlpSet("A 1e6 3e6 3 75 1", 3) + FlpSet("B 1e6 2e6 2 50 1", 2);
    ReadResult r;
    Read(r, text, Kind::Flp, "f.flp");
    EXPECT_EQ(r.added, 1);
    ASSERT_EQ(r.db.Count(), 1);
    EXPECT_EQ(r.db.Set(0).name, "B");
    EXPECT_EQ(r.db.Set(0).pointCount, 2);
    EXPECT_EQ(r.ui.messages(), std::vector<std::string>{MessageFlpReference("A", r.path)});
}

TEST(FlpReader, AFileEndingInsideASetSaysSo) {
    // Declared ten points, nine given; also an end inside the key lines.
    for (const std::string& text : {FlpSet("A 1e6 1e7 10 50 1", 9), std::string("A 1e6 1e7 10 50 1\ndesc\nNOM_L=1u\n")}) {
        ReadResult r;
        Read(r, FlpSet("OK 1e6 1e6 1 50 1", 1) + text, Kind::Flp, "f.flp");
        EXPECT_EQ(r.added, 1);
        EXPECT_EQ(r.db.Count(), 1);
        EXPECT_EQ(r.ui.messages(), std::vector<std::string>{MessageUnexpectedEnd(r.path)});
    }
}

TEST(FlpReader, KeepsEmptyDescriptionAndKeyLinesInPlace) {
    // An empty description and missing keys must not shift the lines.
    const std::string keys = "\nIMAX=2A\nMAKE: M\n\nSRF: \nPART_NUMBER: P\nDATASHEET: d\n";
    std::string text = "X 1e6 2e6 2 50 RI\r\n\r\n" + keys;
    text += "1000000 0.1 0 0.9 0 0.9 0 0.1 0\r\n2000000 0.2 0 0.8 0 0.8 0 0.2 0\r\n";
    ReadResult r;
    Read(r, text, Kind::Flp, "f.flp");
    ASSERT_EQ(r.added, 1);
    const CSParaSet& s = *r.set();
    EXPECT_EQ(s.description, "");
    EXPECT_EQ(s.nominalL, 0.0);
    EXPECT_DOUBLE_EQ(s.maxCurrent, 2.0);
    EXPECT_EQ(s.maker, "M");
    EXPECT_EQ(s.partNumber, "P");
    EXPECT_EQ(s.pointCount, 2);
}

TEST(FlpReader, ToleratesTabsAndBlankRunsInData) {
    std::string text = "  T\t1e6  2e6\t2 50\tRI  \ndesc\n\n\n\n\n\n\n\n";
    text += "\t1000000\t0.1\t0 0.9 0\t0.9 0 0.1 0\t\n\n   2000000   0.2 0 0.8 0 0.8 0 0.2 0   \n";
    ReadResult r;
    Read(r, text, Kind::Flp, "f.flp");
    ASSERT_EQ(r.added, 1);
    EXPECT_EQ(r.set()->name, "T");
    EXPECT_EQ(r.set()->pointCount, 2);
}

TEST(FlpReader, RejectsDamagedSetsWithAClearMessage) {
    struct Case {
        std::string text;
        int line;
        enum { Count, Data, Order, Format } kind;
    };
    const std::string keys = "d\n\n\n\n\n\n\n\n";
    const Case cases[] = {
        {"A 1e6 1e6 -1 50 1\n" + keys, 1, Case::Count},
        {"A 1e6 1e6 2.5 50 1\n" + keys, 1, Case::Count},
        {"A 1e6 1e6 many 50 1\n" + keys, 1, Case::Count},
        {"A 1e6 1e6 1e12 50 1\n" + keys, 1, Case::Count},
        {"A 1e6 1e6 2 50 1\n" + keys + "1 0 0 0 0 0 0 0\n", 10, Case::Data},
        {"A 1e6 1e6 2 50 1\n" + keys + "2 0 0 0 0 0 0 0 0\n1 0 0 0 0 0 0 0 0\n", 11, Case::Order},
        {"A 1e6 1e6\n", 0, Case::Format},
    };
    for (const Case& c : cases) {
        ReadResult r;
        Read(r, c.text, Kind::Flp, "f.flp");
        EXPECT_EQ(r.added, 0) << c.text;
        std::string expected;
        switch (c.kind) {
            case Case::Count: expected = MessageBadPointCount(r.path, c.line); break;
            case Case::Data: expected = MessageBadDataLine(r.path, c.line); break;
            case Case::Order: expected = MessageFrequencyOrder(r.path, c.line); break;
            case Case::Format: expected = MessageFormatUnsupported(r.path); break;
        }
        EXPECT_EQ(r.ui.messages(), std::vector<std::string>{expected}) << c.text;
    }
}

TEST(FlpReader, AHugeDeclaredCountAllocatesNothingAhead) {
    ReadResult r;
    Read(r, FlpSet("A 1e6 1e6 2000000000 50 1", 3), Kind::Flp, "f.flp");
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.ui.messages(), std::vector<std::string>{MessageUnexpectedEnd(r.path)});
}

TEST(FlpReader, ASetOfZeroPointsEndsAfterItsKeys) {
    ReadResult r;
    Read(r, FlpSet("E 0 0 0 50 1", 0) + FlpSet("F 1e6 1e6 1 50 1", 1), Kind::Flp, "f.flp");
    EXPECT_EQ(r.added, 2);
    EXPECT_EQ(r.db.Set(0).pointCount, 0);
    EXPECT_EQ(r.db.Set(1).name, "F");
}

}  // namespace
}  // namespace vantor
