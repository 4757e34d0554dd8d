#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "CArchive.h"

using namespace vantor;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Two small classes for the object references.
struct Point : CObject {
    double x = 0, y = 0;
    const char* ClassName() const override { return "TestPoint"; }
    void Serialize(CArchive& ar) override {
        ar.Double(x);
        ar.Double(y);
    }
};

struct Label : CObject {
    std::string text;
    const char* ClassName() const override { return "TestLabel"; }
    void Serialize(CArchive& ar) override { ar.Text(text); }
};

struct Registered {
    Registered() {
        ClassRegistry::Register("TestPoint", [] { return std::make_unique<Point>(); });
        ClassRegistry::Register("TestLabel", [] { return std::make_unique<Label>(); });
    }
} registered;

}  // namespace

TEST(Archive, PrimitivesAreLittleEndian) {
    CArchive w;
    w.WriteInt32(-2);
    w.WriteByte(1);
    w.WriteWord(0x1234);
    w.WriteDword(0xA1B2C3D4u);
    w.WriteDouble(1.0);
    EXPECT_EQ(w.Bytes(), (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0, 0, 0, 0, 0, 0,
                                0xF0, 0x3F}));
    CArchive r(w.Bytes());
    EXPECT_EQ(r.ReadInt32(), -2);
    EXPECT_EQ(r.ReadByte(), 1);
    EXPECT_EQ(r.ReadWord(), 0x1234);
    EXPECT_EQ(r.ReadDword(), 0xA1B2C3D4u);
    EXPECT_EQ(r.ReadDouble(), 1.0);
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Archive, DoublesRoundTripBitForBit) {
    CArchive w;
    const double values[] = {0.0, -0.0, 1e-300, 5e-324, 650088129.0, std::numeric_limits<double>::infinity(), -1e308};
    for (double v : values) w.WriteDouble(v);
    CArchive r(w.Bytes());
    for (double v : values) {
        const double back = r.ReadDouble();
        EXPECT_EQ(std::signbit(back), std::signbit(v));
        EXPECT_EQ(back, v);
    }
}

TEST(Archive, TextsAreCodePage1252) {
    CArchive w;
    w.WriteText("Flächenkapazität");
    const Bytes& b = w.Bytes();
    ASSERT_EQ(b.size(), 17u);
    EXPECT_EQ(b[0], 16);
    EXPECT_EQ(b[3], 0xE4) << "ä is one byte";
    EXPECT_EQ(b[15], 0xE4);
    CArchive r(b);
    EXPECT_EQ(r.ReadText(), "Flächenkapazität");
}

TEST(Archive, CodePage1252ConversionMarksWhatItCannotHold) {
    EXPECT_EQ(Utf8ToCp1252("µ€ÄÖÜß"), "\xB5\x80\xC4\xD6\xDC\xDF");
    EXPECT_EQ(Utf8ToCp1252("Ω≤✓"), "???");
    EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?") << "a cut-off sequence";
    EXPECT_EQ(Utf8ToCp1252("\xFF\xFE"), "??");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x99\xE9"), "€™é");
    // Every byte survives reading and writing again.
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Archive, TheThreeLengthForms) {
    struct Case { std::size_t length; Bytes prefix; };
    for (const Case& c : {Case{0, {0x00}}, Case{254, {0xFE}}, Case{255, {0xFF, 0xFF, 0x00}},
                          Case{65533, {0xFF, 0xFD, 0xFF}}, Case{65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
                          Case{70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}}}) {
        const std::string text(c.length, 'x');
        CArchive w;
        w.WriteText(text);
        ASSERT_EQ(w.Bytes().size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(Bytes(w.Bytes().begin(), w.Bytes().begin() + static_cast<long>(c.prefix.size())), c.prefix)
            << c.length;
        CArchive r(w.Bytes());
        EXPECT_EQ(r.ReadText(), text);
    }
}

TEST(Archive, SixteenBitTextsAreAcceptedAndConverted) {
    // 0xFF, 0xFFFE, length 4, then "Aä€", a character 1252 cannot hold and
    // a lone surrogate.
    Bytes b{0xFF, 0xFE, 0xFF, 0x05, 'A', 0, 0xE4, 0, 0xAC, 0x20, 0xA9, 0x03, 0x00, 0xD8};
    CArchive r(b);
    EXPECT_EQ(r.ReadText(), "Aä€Ω?");
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Archive, TextsThatCodePage1252CannotHoldAreWrittenInSixteenBits) {
    struct Case {
        std::string text;
        Bytes prefix;  // length form and the first character bytes
    };
    const Case cases[] = {
        {"Probe€", {6, 'P'}},                             // 1252 holds it: one byte a character
        {"\xF0\x9F\x98\x80", {0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 0x00, 0xDE}},  // U+1F600 as a surrogate pair
        {"\xF0\x9F\x98\x81", {0xFF, 0xFE, 0xFF, 2, 0x3D, 0xD8, 0x01, 0xDE}},  // U+1F601, another name
        {"Ω≤€", {0xFF, 0xFE, 0xFF, 3, 0xA9, 0x03}},
        {std::string(300, 'x') + "Ω", {0xFF, 0xFE, 0xFF, 0xFF, 0x2D, 0x01, 'x', 0}},
    };
    for (const Case& c : cases) {
        CArchive w;
        w.WriteText(c.text);
        ASSERT_GE(w.Bytes().size(), c.prefix.size());
        EXPECT_EQ(Bytes(w.Bytes().begin(), w.Bytes().begin() + static_cast<long>(c.prefix.size())), c.prefix)
            << c.text;
        CArchive r(w.Bytes());
        EXPECT_EQ(r.ReadText(), c.text);
        EXPECT_EQ(r.Remaining(), 0u) << c.text;
    }
}

TEST(Archive, CountsBelowAndAboveTheWord) {
    CArchive w;
    w.WriteCount(3);
    w.WriteCount(0xFFFE);
    w.WriteCount(0xFFFF);
    EXPECT_EQ(w.Bytes(), (Bytes{3, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}));
    CArchive r(w.Bytes());
    EXPECT_EQ(r.ReadCount(), 3u);
    EXPECT_EQ(r.ReadCount(), 0xFFFEu);
    EXPECT_EQ(r.ReadCount(), 0xFFFFu);
}

TEST(Archive, ObjectReferencesWithClassRecordsAndBackReferences) {
    Point p1, p2;
    p1.x = 1;
    p2.y = 2;
    Label l;
    l.text = "Probe1";
    CArchive w;
    w.WriteObject(&p1);  // class record: index 1, object 2
    w.WriteObject(&l);   // class record: index 3, object 4
    w.WriteObject(&p2);  // back-reference to class 1, object 5
    w.WriteObject(nullptr);
    const Bytes& b = w.Bytes();
    const Bytes first{0xFF, 0xFF, 0x00, 0x00, 9, 0, 'T', 'e', 's', 't', 'P', 'o', 'i', 'n', 't'};
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 15), first);
    const std::size_t second = 15 + 16;
    EXPECT_EQ(b[second], 0xFF);
    const std::size_t third = second + 6 + 9 + 7;
    EXPECT_EQ(b[third], 0x01);
    EXPECT_EQ(b[third + 1], 0x80) << "class back-reference 0x8000 | 1";
    EXPECT_EQ(b[b.size() - 2], 0);
    EXPECT_EQ(b[b.size() - 1], 0);

    CArchive r(b);
    auto a = r.ReadObject();
    auto c = r.ReadObject();
    auto d = r.ReadObject();
    EXPECT_EQ(r.ReadObject(), nullptr);
    EXPECT_EQ(dynamic_cast<Point&>(*a).x, 1);
    EXPECT_EQ(dynamic_cast<Label&>(*c).text, "Probe1");
    EXPECT_EQ(dynamic_cast<Point&>(*d).y, 2);
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Archive, DamagedInputIsRefusedWithAReason) {
    struct Case { const char* what; Bytes bytes; const char* reason; };
    const Case cases[] = {
        {"unknown class", {0xFF, 0xFF, 0, 0, 3, 0, 'C', 'X', 'Y'}, "Unbekannte Klasse \"CXY\""},
        {"schema 1", {0xFF, 0xFF, 1, 0, 9, 0, 'T', 'e', 's', 't', 'P', 'o', 'i', 'n', 't'}, "Schemanummer 1"},
        {"cut class name", {0xFF, 0xFF, 0, 0, 9, 0, 'T', 'e'}, "Unerwartetes Dateiende"},
        {"cut record", {0xFF, 0xFF, 0, 0, 9, 0, 'T', 'e', 's', 't', 'P', 'o', 'i', 'n', 't', 0, 0}, "Dateiende"},
        {"class reference before its record", {0x05, 0x80}, "Ungültiger Klassenverweis 5"},
        {"object reference", {0x02, 0x00}, "Objektverweis 2"},
        {"long object reference", {0xFF, 0x7F, 0x10, 0, 0, 0}, "Objektverweis 16"},
    };
    for (const Case& c : cases) {
        CArchive r(c.bytes);
        try {
            r.ReadObject();
            ADD_FAILURE() << c.what << " was accepted";
        } catch (const ArchiveError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.what << ": " << e.what();
        }
    }
    // A text longer than the file is refused before anything is allocated.
    CArchive r(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    EXPECT_THROW(r.ReadText(), ArchiveError);
    CArchive wide(Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0});
    EXPECT_THROW(wide.ReadText(), ArchiveError);
    CArchive empty(Bytes{});
    EXPECT_THROW(empty.ReadInt32(), ArchiveError);
}

TEST(Archive, AnObjectReadTwiceIsRefused) {
    Point p;
    CArchive w;
    w.WriteObject(&p);
    Bytes b = w.Bytes();
    b.push_back(0x02);  // the object index of p again
    b.push_back(0x00);
    CArchive r(b);
    EXPECT_NE(r.ReadObject(), nullptr);
    try {
        r.ReadObject();
        ADD_FAILURE() << "a second reference to one object was accepted";
    } catch (const ArchiveError& e) {
        EXPECT_NE(std::string(e.what()).find("mehrfach"), std::string::npos) << e.what();
    }
}
