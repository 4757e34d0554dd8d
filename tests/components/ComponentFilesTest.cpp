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

void Read(ReadResult& r, const std::string& content, Kind kind = Kind::S2p, const std::string& fileName = "x.s2p") {
    test::ScratchFolder folder;
    const auto p = folder.write(fileName, content);
    r.path = p.string();
    r.added = kind == Kind::S2p ? ReadS2pFile(p, r.db, r.ui) : ReadFlpFile(p, r.db, r.ui);
}

const std::string kRiLine = "1 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8\n";

double Off(Complex actual, Complex expected) { return std::abs(actual - expected); }

// The text keys of a set.
std::vector<std::string> Texts(const CSParaSet& s) {
    return {s.partNumber, s.maker, s.dimensions, s.srf, s.comment, s.datasheet};
}

// The one message a refused file gives.
enum class Why { Format, Reference, FlpReference, End, Data, Order, Count, TooLong };

std::string Expected(Why why, const std::string& path, int line) {
    switch (why) {
        case Why::Format: return MessageFormatUnsupported(path);
        case Why::Reference: return MessageS2pReference(path);
        case Why::FlpReference: return MessageFlpReference("A", path);
        case Why::End: return MessageUnexpectedEnd(path);
        case Why::Data: return MessageBadDataLine(path, line);
        case Why::Order: return MessageFrequencyOrder(path, line);
        case Why::Count: return MessageBadPointCount(path, line);
        case Why::TooLong: return MessageLineTooLong(path, line);
    }
    return {};
}

TEST(ComponentFiles, MessagesNameTheFileExactly) {
    EXPECT_EQ(MessageFormatUnsupported("a.s2p"), "S-Parameter-Datei a.s2p:\nFormat nicht unterstützt!");
    EXPECT_EQ(MessageS2pReference("a.s2p"), "S-Parameter-Datei a.s2p:\nReferenzimpedanz muß 50 Ohm sein!");
    EXPECT_EQ(MessageFlpReference("L1", "b.flp"), "S-Parameter-Daten\nL1 in Datei b.flp\nReferenzimpedanz muß 50 Ohm sein!");
    EXPECT_EQ(MessageUnexpectedEnd("b.flp"), "S-Parameter-Datei b.flp:\nUnerwartetes Dateiende!");
    EXPECT_EQ(MessageCannotOpen("c.s2p", 2), "Datei c.s2p kann nicht geöffnet werden, Fehler = 2\n");
}

TEST(S2pReader, OptionLinesGiveMultiplierAndFormat) {
    const std::tuple<const char*, double, int> cases[] = {
        {"# MHz S RI R 50", 1e6, 5}, {"# Hz S MA R 50", 1.0, 3}, {"# GHz S DB R 50", 1e9, 4}, {"# kHz S RI R 50", 1e3, 5},
        // the unit without regard to case; ParseValue alone reads "1.0KHZ" as 1
        {"# KHZ S RI R 50", 1e3, 5}, {"# HZ S ri R 50", 1.0, 5}, {"# MHZ s Db r 50", 1e6, 4},
        // indented, tab-separated, runs of blanks, no blank after "#"
        {"   # MHz S RI R 50", 1e6, 5}, {"#\tHz\tS\tRI\tR\t50", 1.0, 5}, {"# MHz     S    MA   R     50   ", 1e6, 3},
        {"#MHz S RI R 50", 1e6, 5},
        // Touchstone defaults: no reference means 50 Ohm; a bare "#" is GHz S MA R 50
        {"# MHz S RI", 1e6, 5}, {"#", 1e9, 3}, {"# R 50.0 Hz", 1.0, 3}};
    for (const auto& [option, multiplier, format] : cases) {
        ReadResult r;
        Read(r, std::string(option) + "\n" + kRiLine + "2 0 0 1 0 1 0 0 0\n");
        ASSERT_EQ(r.added, 1) << option;
        EXPECT_TRUE(r.ui.messages().empty());
        EXPECT_EQ(r.set()->formatCode, format) << option;
        EXPECT_EQ(r.set()->pointCount, 2);
        EXPECT_DOUBLE_EQ(r.set()->fMin, multiplier) << option;
        EXPECT_DOUBLE_EQ(r.set()->fMax, 2 * multiplier) << option;
    }
}

TEST(S2pReader, ConvertsEachFormatToRealAndImaginary) {
    const std::tuple<const char*, const char*, Complex> cases[] = {
        {"DB", "-6.0206 90", {0.0, 0.5}},  // the handbook case: -6 dB is a half
        {"DB", "0 180", {-1.0, 0.0}},  {"DB", "-20 -90", {0.0, -0.1}}, {"MA", "2 90", {0.0, 2.0}},
        {"MA", "0.5 -45", {0.5 / std::sqrt(2.0), -0.5 / std::sqrt(2.0)}}, {"MA", "1 360", {1.0, 0.0}},
        {"RI", "-0.25 0.75", {-0.25, 0.75}}};
    for (const auto& [format, pair, expected] : cases) {
        ReadResult r;
        const std::string line = std::string("10 ") + pair + " " + pair + " 0 0 " + pair + "\n";
        Read(r, std::string("# MHz S ") + format + " R 50\n" + line);
        ASSERT_EQ(r.added, 1) << format << " " << pair;
        const CSParameter& p = r.set()->points[0];
        EXPECT_DOUBLE_EQ(p.freq, 10e6);
        // The angle goes through the program's own pi (3.141592654).
        EXPECT_LT(Off(p.s11, expected), 2e-5) << std::string(format) + " S11 " + pair;
        EXPECT_LT(Off(p.s21, expected), 2e-5) << "S21";
        EXPECT_LT(Off(p.s12, std::string(format) == "DB" ? Complex(1.0, 0.0) : Complex(0.0, 0.0)), 1e-12) << "S12 of 0 0";
        EXPECT_LT(Off(p.s22, expected), 2e-5) << "S22";
    }
}

TEST(S2pReader, ReadsTheEightHeaderKeysInTheirLines) {
    ReadResult r;
    Read(r,
         "! PART_NUMBER: PL-4R7-1210 \n! NOM_L= 4.7uH\n!\tIMAX=2.5A\t\t\n! MAKE: Nordwerk Magnetics\n! DIM: 1210\n"
         "! SRF: 48 MHz\n! model data generated by the project\n! DATASHEET: datasheets/pl.pdf\n"
         "! PART_NUMBER: ignored, a ninth line is a plain comment\n# Hz S RI R 50\n" + kRiLine,
         Kind::S2p, "PL-4R7.v2.s2p");
    ASSERT_EQ(r.added, 1);
    const CSParaSet& s = *r.set();
    EXPECT_EQ(s.name, "PL-4R7");  // up to the first "."
    EXPECT_DOUBLE_EQ(s.nominalL, 4.7e-6);
    EXPECT_DOUBLE_EQ(s.maxCurrent, 2.5);
    EXPECT_EQ(Texts(s), (std::vector<std::string>{"PL-4R7-1210", "Nordwerk Magnetics", "1210", "48 MHz",
                                                  "model data generated by the project", "datasheets/pl.pdf"}));
    // A key counts only in its own line: line 2 lacks "NOM_L=", line 3 has "IMAX=" where "MAKE:" belongs.
    ReadResult shifted;
    Read(shifted, "! PART_NUMBER: A\n! inductance 10uH\n! NOM_L=1uH\n! IMAX=3A\n# Hz S RI R 50\n" + kRiLine);
    ASSERT_EQ(shifted.added, 1);
    EXPECT_EQ(shifted.set()->nominalL + shifted.set()->maxCurrent, 0.0);
    EXPECT_EQ(shifted.set()->maker, "");
}

TEST(S2pReader, ToleratesLineEndsBlanksCommentsAndPrefixes) {
    ReadResult r;
    Read(r,
         "! header\r\n\r\n  # Hz S RI R 50  \r\n\r\n! columns\r\n\t1e6\t0.1\t0.2 0.3   0.4 0.5 0.6 0.7 0.8\t\r\n   \t \r\n"
         "2e6 1 0 1 0 1 0 1 0 ! a trailing comment\r\n"
         "3e6 1 0 1 0 1 0 1 0 7 word\r\n"  // tokens after the ninth number are ignored
         "4MHz 500u 0 1 0 1 0 1 0");     // SI prefixes; no line end at the end of the file
    ASSERT_EQ(r.added, 1);
    EXPECT_TRUE(r.ui.messages().empty());
    const CSParaSet& s = *r.set();
    ASSERT_EQ(s.pointCount, 4);
    const CSParameter& p = s.points[0];  // the parameter order of the line
    EXPECT_EQ((std::vector<Complex>{p.s11, p.s21, p.s12, p.s22}),
              (std::vector<Complex>{{0.1, 0.2}, {0.3, 0.4}, {0.5, 0.6}, {0.7, 0.8}}));
    EXPECT_EQ(s.points[2].s22, Complex(1.0, 0.0));
    EXPECT_DOUBLE_EQ(s.points[3].s11.real(), 5e-4);
    EXPECT_DOUBLE_EQ(s.fMax, 4e6);
}

TEST(S2pReader, RefusesDamagedFilesWithOneMessageAndNoSet) {
    const std::string head = "! h\n# MHz S RI R 50\n1 1 0 1 0 1 0 1 0\n2 1 0 1 0 1 0 1 0\n";
    const std::tuple<std::string, Why, int> cases[] = {
        {"# MHz S RI R 75\n" + kRiLine, Why::Reference, 0}, {"# MHz S RI R\n" + kRiLine, Why::Reference, 0},
        {"# MHz Z RI R 50\n" + kRiLine, Why::Format, 0},    {"# MHz Y MA R 50\n" + kRiLine, Why::Format, 0},
        {"# MHz S XY R 50\n" + kRiLine, Why::Format, 0},    {"# THz S RI R 50\n" + kRiLine, Why::Format, 0},
        {"", Why::Format, 0}, {"! only comments\n", Why::Format, 0}, {kRiLine, Why::Format, 0},
        {head + "3 1 0 1 0 1 0 1\n", Why::Data, 5},  // eight numbers
        {head + "3\n", Why::Data, 5},
        {head + "3 1 0 1 0 1 0 1 x\n", Why::Data, 5},
        {head + "3 1 0 1 0 1 nan 1 0\n", Why::Data, 5},
        {head + "3 1 0 1 0 1 1e999 1 0\n", Why::Data, 5},
        {head + "abc 1 0 1 0 1 0 1 0\n", Why::Data, 5},
        {"# Hz S RI R 50\n" + std::string(LineReader::kMaxLineLength + 10, '1'), Why::TooLong, 2},  // not buffered
    };
    for (const auto& [text, why, line] : cases) {
        ReadResult r;
        Read(r, text);
        EXPECT_EQ(r.added, 0) << text.substr(0, 60);
        EXPECT_EQ(r.db.Count(), 0) << text.substr(0, 60);  // no half-read set
        EXPECT_EQ(r.ui.messages(), std::vector<std::string>{Expected(why, r.path, line)}) << text.substr(0, 60);
    }
    CSParameterDB db;
    RecordingInteraction ui;
    EXPECT_EQ(ReadS2pFile("/nonexistent/folder/x.s2p", db, ui), 0);
    EXPECT_EQ(ui.messages(), std::vector<std::string>{MessageCannotOpen("/nonexistent/folder/x.s2p", ENOENT)});
}

TEST(S2pReader, ReportsProgressUpToTheFileLength) {
    std::string text = "# Hz S RI R 50\n";
    for (int i = 1; i <= 20000; ++i) text += std::to_string(i) + " 1 0 1 0 1 0 1 0\n";
    ReadResult r;
    Read(r, text);
    ASSERT_EQ(r.added, 1);
    EXPECT_EQ(r.set()->pointCount, 20000);
    int range = -1, last = -1, values = 0;
    for (const auto& e : r.ui.events()) {
        if (e.kind == RecordingInteraction::Kind::ProgressRange) range = e.value;
        if (e.kind != RecordingInteraction::Kind::ProgressValue) continue;
        EXPECT_GE(e.value, last);  // never runs backwards
        last = e.value, ++values;
    }
    EXPECT_EQ(range, static_cast<int>(text.size()));
    EXPECT_EQ(last, static_cast<int>(text.size()));
    EXPECT_GT(values, 1);     // more than one block
    EXPECT_LT(values, 1000);  // but reported per block, not per line
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

std::string FlpSet(const std::string& head, int points) {
    std::string s = head + "\nPower inductor, shielded\n"
                           "NOM_L=10uH\nIMAX=1.5A\nMAKE: Nordwerk\nDIM: 1210\nSRF: 30MHz\nPART_NUMBER: NW-100\nDATASHEET: nw.pdf\n";
    for (int i = 1; i <= points; ++i) s += std::to_string(i * 1000000) + " 0.5 90 0.5 -90 0.5 -90 0.5 90\n";
    return s;
}

TEST(FlpReader, ReadsEverySetWithItsHeader) {
    ReadResult r;
    Read(r, FlpSet("L1 1e6 3e6 3 50 1", 3) + "\n" + FlpSet("L2 1e6 2e6 2 50 RI", 2) + FlpSet("E 0 0 0 50 1", 0),
         Kind::Flp, "lib.flp");
    EXPECT_EQ(r.added, 3);
    EXPECT_TRUE(r.ui.messages().empty());
    ASSERT_EQ(r.db.Count(), 3);
    const CSParaSet& a = r.db.Set(0);
    EXPECT_EQ(a.name + "|" + a.description, "L1|Power inductor, shielded");
    EXPECT_DOUBLE_EQ(a.nominalL, 10e-6);
    EXPECT_DOUBLE_EQ(a.maxCurrent, 1.5);
    EXPECT_EQ(Texts(a), (std::vector<std::string>{"NW-100", "Nordwerk", "1210", "30MHz", "", "nw.pdf"}));
    EXPECT_EQ(a.pointCount, 3);
    EXPECT_DOUBLE_EQ(a.fMin, 1e6);
    EXPECT_DOUBLE_EQ(a.fMax, 3e6);
    EXPECT_LT(Off(a.points[0].s11, Complex(0.0, 0.5)), 1e-9) << "MA";  // frequencies in Hz, no multiplier
    EXPECT_EQ(r.db.Set(1).points[1].s11, Complex(0.5, 90));
    EXPECT_EQ(r.db.Set(2).pointCount, 0);  // a set of no points ends after its keys
}

TEST(FlpReader, FormatTokensGiveTheirCodes) {
    const std::pair<const char*, int> cases[] = {{"1", 0}, {"S", 0}, {"s", 0}, {"31", 1},
                                                 {"DB", 1}, {"db", 1}, {"-1", 2}, {"ri", 2}};
    for (const auto& [token, code] : cases) {
        ReadResult r;
        Read(r, FlpSet(std::string("L 1e6 1e6 1 50 ") + token, 1), Kind::Flp, "f.flp");
        ASSERT_EQ(r.added, 1) << token;
        EXPECT_EQ(r.set()->formatCode, code) << token;
        const Complex db(0.0, std::pow(10.0, 0.5 / 20.0));  // 0.5 dB at 90 degrees
        if (code == 1) { EXPECT_LT(Off(r.set()->points[0].s11, db), 1e-9); }
    }
}

TEST(FlpReader, KeepsEmptyLinesInPlaceAndToleratesBlanks) {
    // An empty description and missing keys must not shift the lines.
    ReadResult r;
    Read(r,
         "  X\t1e6  2e6\t2 50\tRI  \r\n\r\n\nIMAX=2A\nMAKE: M\n\nSRF: \nPART_NUMBER: P\nDATASHEET: d\n"
         "\t1000000\t0.1\t0 0.9 0\t0.9 0 0.1 0\t\r\n\n   2000000   0.2 0 0.8 0 0.8 0 0.2 0   \r\n",
         Kind::Flp, "f.flp");
    ASSERT_EQ(r.added, 1);
    const CSParaSet& s = *r.set();
    EXPECT_EQ(s.name + "|" + s.description, "X|");
    EXPECT_EQ(s.nominalL, 0.0);
    EXPECT_DOUBLE_EQ(s.maxCurrent, 2.0);
    EXPECT_EQ(Texts(s), (std::vector<std::string>{"P", "M", "", "", "", "d"}));
    EXPECT_EQ(s.pointCount, 2);
}

TEST(FlpReader, RefusesDamagedSetsKeepingTheGoodOnes) {
    const std::string ok = FlpSet("OK 1e6 1e6 1 50 1", 1), keys = "d\n\n\n\n\n\n\n\n";
    const std::tuple<std::string, std::vector<std::string>, Why, int> cases[] = {
        {"A 1e6 1e6 -1 50 1\n" + keys, {}, Why::Count, 1},
        {"A 1e6 1e6 2.5 50 1\n" + keys, {}, Why::Count, 1},
        {"A 1e6 1e6 many 50 1\n" + keys, {}, Why::Count, 1},
        {"A 1e6 1e6 1e12 50 1\n" + keys, {}, Why::Count, 1},
        {"A 1e6 1e6 2 50 1\n" + keys + "1 0 0 0 0 0 0 0\n", {}, Why::Data, 10},
        {"A 1e6 1e6 2 50 1\n" + keys + "2 0 0 0 0 0 0 0 0\n1 0 0 0 0 0 0 0 0\n", {}, Why::Order, 11},
        {"A 1e6 1e6\n", {}, Why::Format, 0},
        {FlpSet("A 1e6 2e6 2000000000 50 1", 3), {}, Why::End, 0},  // nothing allocated ahead
        // An unknown format ends the file, keeping earlier sets.
        {ok + FlpSet("B 1e6 1e6 1 50 MA", 1) + ok, {"OK"}, Why::Format, 0},
        // A set not at 50 Ohm is read and dropped, and the next follows.
        {FlpSet("A 1e6 3e6 3 75 1", 3) + ok, {"OK"}, Why::FlpReference, 0},
        // The file ends inside the points or inside the key lines.
        {ok + FlpSet("A 1e6 1e7 10 50 1", 9), {"OK"}, Why::End, 0},
        {ok + "A 1e6 1e7 10 50 1\ndesc\nNOM_L=1u\n", {"OK"}, Why::End, 0},
    };
    for (const auto& [text, kept, why, line] : cases) {
        ReadResult r;
        Read(r, text, Kind::Flp, "f.flp");
        std::vector<std::string> names;
        for (const auto& s : r.db.Sets()) names.push_back(s->name);
        EXPECT_EQ(names, kept) << text;
        EXPECT_EQ(r.added, static_cast<int>(kept.size()));
        EXPECT_EQ(r.ui.messages(), std::vector<std::string>{Expected(why, r.path, line)}) << text;
    }
}

}  // namespace
}  // namespace vantor
