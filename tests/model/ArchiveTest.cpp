#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "CArchive.h"

using namespace vantor;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Point : CObject {
    double x = 0, y = 0;
    const char* ClassName() const override { return "TestPoint"; }
    void Serialize(CArchive& ar) override { ar.Double(x), ar.Double(y); }
};

struct Label : CObject {
    std::string text;
    const char* ClassName() const override { return "TestLabel"; }
    void Serialize(CArchive& ar) override { ar.Text(text); }
};

const bool registered = (ClassRegistry::Register("TestPoint", [] { return std::make_unique<Point>(); }),
                         ClassRegistry::Register("TestLabel", [] { return std::make_unique<Label>(); }), true);

Bytes Head(const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.begin() + long(std::min(n, b.size()))); }

}  // namespace

TEST(Archive, PrimitivesAreLittleEndianAndDoublesKeepEveryBit) {
    CArchive w;
    w.WriteInt32(-2), w.WriteByte(1), w.WriteWord(0x1234), w.WriteDword(0xA1B2C3D4u), w.WriteDouble(1.0);
    w.WriteCount(3), w.WriteCount(0xFFFE), w.WriteCount(0xFFFF);  // from 0xFFFF on a word 0xFFFF and a double word
    EXPECT_EQ(w.Bytes(), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0,    0, 0, 0,
                                0,    0,    0xF0, 0x3F, 3,    0,    0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
    const double doubles[] = {0.0, -0.0, 1e-300, 5e-324, 650088129.0, std::numeric_limits<double>::infinity(), -1e308};
    for (double v : doubles) w.WriteDouble(v);
    CArchive r(w.Bytes());
    EXPECT_EQ(r.ReadInt32(), -2);
    EXPECT_EQ(r.ReadByte(), 1);
    EXPECT_EQ(r.ReadWord(), 0x1234);
    EXPECT_EQ(r.ReadDword(), 0xA1B2C3D4u);
    EXPECT_EQ(r.ReadDouble(), 1.0);
    for (std::size_t count : {3u, 0xFFFEu, 0xFFFFu}) EXPECT_EQ(r.ReadCount(), count);
    for (double v : doubles) {
        const double back = r.ReadDouble();
        EXPECT_EQ(std::pair(std::signbit(back), back), std::pair(std::signbit(v), v));
    }
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Archive, CodePage1252ConversionMarksWhatItCannotHold) {
    EXPECT_EQ(Utf8ToCp1252("µ€ÄÖÜß"), "\xB5\x80\xC4\xD6\xDC\xDF");
    EXPECT_EQ(Utf8ToCp1252("Ω≤✓"), "???");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?") << "a cut-off sequence";
    EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"), "??");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x99\xE9"), "€™é");
    std::string all;  // every byte survives reading and writing again
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

// The length forms of 8-bit texts, and the 16-bit form for texts that
// code page 1252 cannot hold: the leading bytes, then a round trip.
TEST(Archive, TextsInTheirLengthForms) {
    const std::pair<std::string, Bytes> cases[] = {
        {"", {0x00}},
        {"Flächenkapazität", {16, 'F', 'l', 0xE4}},  // ä is one byte
        {std::string(254, 'x'), {0xFE, 'x'}},
        {std::string(255, 'x'), {0xFF, 0xFF, 0x00, 'x'}},
        {std::string(65533, 'x'), {0xFF, 0xFD, 0xFF, 'x'}},
        {std::string(65534, 'x'), {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00, 'x'}},
        {std::string(70000, 'x'), {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00, 'x'}},
        {"Probe€", {6, 'P'}},
        {"\xF0\x9F\x98\x80", {0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 0x00, 0xDE}},  // U+1F600 as a surrogate pair
        {"Ω≤€", {0xFF, 0xFE, 0xFF, 3, 0xA9, 0x03}},
        {std::string(300, 'x').append("Ω"), {0xFF, 0xFE, 0xFF, 0xFF, 0x2D, 0x01, 'x', 0}},
    };
    for (const auto& [text, prefix] : cases) {
        CArchive w;
        w.WriteText(text);
        EXPECT_EQ(Head(w.Bytes(), prefix.size()), prefix) << text.size();
        CArchive r(w.Bytes());
        EXPECT_EQ(r.ReadText(), text);
        EXPECT_EQ(r.Remaining(), 0u) << text.size();
    }
    // Read: 0xFF, 0xFFFE, length 5, "Aä€", a character 1252 cannot hold, a lone surrogate.
    CArchive r(Bytes{0xFF, 0xFE, 0xFF, 0x05, 'A', 0, 0xE4, 0, 0xAC, 0x20, 0xA9, 0x03, 0x00, 0xD8});
    EXPECT_EQ(r.ReadText(), "Aä€Ω?");
}

TEST(Archive, ObjectReferencesWithClassRecordsAndBackReferences) {
    Point p1, p2;
    Label l;
    p1.x = 1, p2.y = 2, l.text = "Probe1";
    CArchive w;
    for (CObject* o : std::initializer_list<CObject*>{&p1, &l, &p2, nullptr}) w.WriteObject(o);
    // class record: index 1, object 2; class record: index 3, object 4; class back-reference, object 5
    const Bytes& b = w.Bytes();
    EXPECT_EQ(Head(b, 15), (Bytes{0xFF, 0xFF, 0x00, 0x00, 9, 0, 'T', 'e', 's', 't', 'P', 'o', 'i', 'n', 't'}));
    EXPECT_EQ(b[15 + 16], 0xFF);
    EXPECT_EQ(Head(Bytes(b.begin() + 15 + 16 + 6 + 9 + 7, b.end()), 2), (Bytes{0x01, 0x80}));  // 0x8000 | 1
    EXPECT_EQ(Bytes(b.end() - 2, b.end()), (Bytes{0, 0}));

    CArchive r(b);
    const auto a = r.ReadObject(), c = r.ReadObject(), d = r.ReadObject();
    EXPECT_EQ(r.ReadObject(), nullptr);
    EXPECT_EQ(dynamic_cast<Point&>(*a).x, 1);
    EXPECT_EQ(dynamic_cast<Label&>(*c).text, "Probe1");
    EXPECT_EQ(dynamic_cast<Point&>(*d).y, 2);
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Archive, DamagedInputIsRefusedWithAReason) {
    Bytes twice{0xFF, 0xFF, 0, 0, 9, 0, 'T', 'e', 's', 't', 'P', 'o', 'i', 'n', 't'};
    twice.resize(twice.size() + 16);          // a point's two doubles
    twice.insert(twice.end(), {0x02, 0x00});  // the object index of the point again
    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"unknown class", {0xFF, 0xFF, 0, 0, 3, 0, 'C', 'X', 'Y'}, "Unbekannte Klasse \"CXY\""},
        {"schema 1", {0xFF, 0xFF, 1, 0, 9, 0, 'T', 'e', 's', 't', 'P', 'o', 'i', 'n', 't'}, "Schemanummer 1"},
        {"cut class name", {0xFF, 0xFF, 0, 0, 9, 0, 'T', 'e'}, "Unerwartetes Dateiende"},
        {"cut record", {0xFF, 0xFF, 0, 0, 9, 0, 'T', 'e', 's', 't', 'P', 'o', 'i', 'n', 't', 0, 0}, "Dateiende"},
        {"class reference before its record", {0x05, 0x80}, "Ungültiger Klassenverweis 5"},
        {"object reference", {0x02, 0x00}, "Objektverweis 2"},
        {"long object reference", {0xFF, 0x7F, 0x10, 0, 0, 0}, "Objektverweis 16"},
        {"one object read twice", twice, "mehrfach"},
    };
    for (const auto& [what, bytes, reason] : cases) {
        CArchive r(bytes);
        try {
            while (r.Remaining() > 0) r.ReadObject();
            ADD_FAILURE() << what << " was accepted";
        } catch (const ArchiveError& e) {
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << what << ": " << e.what();
        }
    }
    // A text longer than the file is refused before anything is allocated.
    for (const Bytes& b : {Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F},
                           Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}})
        EXPECT_THROW(CArchive(b).ReadText(), ArchiveError);
    EXPECT_THROW(CArchive(Bytes{}).ReadInt32(), ArchiveError);
}

// A file's bytes handed out as a file source does, counting what was taken.
struct PieceSource : ArchiveSource {
    explicit PieceSource(Bytes b) : bytes(std::move(b)) {}
    std::uint64_t Left() const override { return bytes.size() - taken; }
    void Read(std::uint8_t* to, std::size_t n) override {
        ASSERT_LE(n, Left());
        std::copy_n(bytes.begin() + static_cast<long>(taken), n, to);
        taken += n;
    }
    Bytes bytes;
    std::size_t taken = 0;
};

// Read a piece at a time, records across the pieces' borders read as from
// memory, and only as much is taken from the file as the records need.
TEST(Archive, ReadingFromASourceTakesOnlyWhatTheRecordsNeed) {
    const std::string narrow(200000, '\xE4');  // ä, two bytes in UTF-8
    const std::string wide = "Ω" + std::string(70000, 'x') + "€";
    CArchive w;
    w.WriteText(Cp1252ToUtf8(narrow)), w.WriteText(wide);
    for (int i = 0; i < 20000; ++i) w.WriteDouble(i * 0.5);
    w.WriteInt32(-7);
    // A text of 2^31 - 1 characters, which the rest of the file cannot hold.
    w.WriteByte(0xFF), w.WriteWord(0xFFFF), w.WriteDword(0x7FFFFFFF);
    Bytes file = w.Bytes();
    file.resize(file.size() + (1 << 20), 0xA5);  // what follows the records
    PieceSource source(file);
    CArchive r(source);
    EXPECT_EQ(r.Remaining(), file.size());
    EXPECT_EQ(r.ReadText(), Cp1252ToUtf8(narrow));
    EXPECT_EQ(r.ReadText(), wide);
    for (int i = 0; i < 20000; ++i) ASSERT_EQ(r.ReadDouble(), i * 0.5) << i;
    EXPECT_EQ(r.ReadInt32(), -7);
    EXPECT_EQ(r.Remaining(), (1u << 20) + 7);
    EXPECT_THROW(r.ReadText(), ArchiveError);
    EXPECT_LT(source.taken, w.Bytes().size() + 70000) << "the rest of the file stays unread";
}
