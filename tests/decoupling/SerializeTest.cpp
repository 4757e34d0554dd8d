#include <gtest/gtest.h>

#include <cstring>

#include "CCGroup.h"
#include "CMStrip.h"
#include "DecouplingClasses.h"
#include "PackageTable.h"
#include "CCircuitBoard.h"

using namespace vantor;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Registered {
    Registered() { RegisterDecouplingClasses(); }
} registered;

void PutDouble(Bytes& b, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i) b.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
}

void PutInt(Bytes& b, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

CCGroup SampleGroup(const CCircuitBoard& board) {
    CCGroup g;
    g.board = &board;
    g.Append(CCGroup::PlaneCapacitanceEntry(board));
    g.Append(g.NewCapacitor(10e-9));
    g.Append(g.NewCapacitor(4.7e-6));
    g.name = "Gruppe1";
    g.fo = 1e9;
    g.posX = 0.0495;
    g.posY = 0.0355;
    g.zminFu = 0.5;
    return g;
}

}  // namespace

TEST(Serialize, ShapeRecordFieldOrder) {
    CCapShape s = PackageTable::Application()[9];
    CArchive w;
    s.Serialize(w);
    Bytes expected;
    PutInt(expected, 1);
    PutInt(expected, 9);
    PutDouble(expected, s.lser);
    PutDouble(expected, s.capHigh);
    PutDouble(expected, s.rloss);
    PutDouble(expected, s.capLow);
    expected.push_back(22);
    for (char c : std::string("1005(0402) X7R-Keramik")) expected.push_back(static_cast<std::uint8_t>(c));
    PutDouble(expected, s.bodyThickness);
    PutDouble(expected, s.bodyWidth);
    PutDouble(expected, s.bodyLength);
    EXPECT_EQ(w.Bytes(), expected);
}

TEST(Serialize, GroupRecordStartsWithItsCapacitorList) {
    const CCircuitBoard board;
    CCGroup g = SampleGroup(board);
    CArchive w;
    g.Serialize(w);
    const Bytes& b = w.Bytes();
    // Count 3, then the class record of the first capacitor.
    ASSERT_GT(b.size(), 11u);
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(Bytes(b.begin() + 2, b.begin() + 11), (Bytes{0xFF, 0xFF, 0, 0, 5, 0, 'C', 'C', 'a'}));
    // The plane entry's name in code page 1252.
    const Bytes name{'F', 'l', 0xE4, 'c', 'h', 'e', 'n', 'k', 'a', 'p', 'a', 'z', 'i', 't', 0xE4, 't'};
    EXPECT_NE(std::search(b.begin(), b.end(), name.begin(), name.end()), b.end());
    // The second and third capacitors refer back to class index 1.
    const std::size_t capaRecord = 4 + 4 + 8 + (4 + 4 + 8 * 4 + 1 + 16 + 8 * 3);
    EXPECT_EQ(b[13 + capaRecord], 0x01);
    EXPECT_EQ(b[14 + capaRecord], 0x80);
}

TEST(Serialize, GroupRoundTripIsByteExact) {
    const CCircuitBoard board;
    CCGroup g = SampleGroup(board);
    g.defaultPackage = PackageTable::Application()[4];
    CArchive w;
    g.Serialize(w);

    CArchive r(w.Bytes());
    CCGroup back;
    back.Serialize(r);
    EXPECT_EQ(r.Remaining(), 0u);
    EXPECT_EQ(back.name, "Gruppe1");
    EXPECT_EQ(back.fo, 1e9);
    EXPECT_EQ(back.zminFu, 0.5);
    EXPECT_EQ(back.posX, 0.0495);
    EXPECT_EQ(back.defaultPackage.name, "2012(0805) COG-Keramik");
    ASSERT_EQ(back.ElementCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back.Capacitor(i).group, &back);
        EXPECT_EQ(back.Capacitor(i).capacitance, g.Capacitor(i).capacitance);
        EXPECT_EQ(back.Capacitor(i).autoParasitics, g.Capacitor(i).autoParasitics);
        EXPECT_EQ(back.Capacitor(i).shape.name, g.Capacitor(i).shape.name);
    }
    // Once the board is linked again the group computes the same impedance.
    back.board = &board;
    EXPECT_EQ(back.GroupImpedanceMagnitude(3e8), g.GroupImpedanceMagnitude(3e8));
    CArchive again;
    back.Serialize(again);
    EXPECT_EQ(again.Bytes(), w.Bytes());
}

TEST(Serialize, MicrostripRecord) {
    CMStrip s(1e-3, 1.9e-3, 1e-6, 4.4, 0.1);
    CArchive w;
    w.WriteObject(&s);
    const Bytes& b = w.Bytes();
    ASSERT_EQ(b.size(), 2u + 2 + 2 + 7 + 4 + 1 + 9 * 8);
    EXPECT_EQ(b[6 + 7 + 4], 1) << "valid is one byte after the version";
    CArchive r(b);
    auto o = r.ReadObject();
    auto& back = dynamic_cast<CMStrip&>(*o);
    EXPECT_EQ(back.z0, s.z0);
    EXPECT_EQ(back.h, s.h);
    EXPECT_EQ(back.valid, 1);
}

TEST(Serialize, DamagedGroupRecordsAreRefused) {
    const CCircuitBoard board;
    CCGroup g = SampleGroup(board);
    CArchive w;
    g.Serialize(w);
    const Bytes good = w.Bytes();

    // Every truncation fails cleanly.
    for (std::size_t cut = 0; cut < good.size(); cut += 7) {
        CArchive r(Bytes(good.begin(), good.begin() + static_cast<long>(cut)));
        CCGroup back;
        EXPECT_THROW(back.Serialize(r), ArchiveError) << "cut at " << cut;
    }
    // A count larger than the file could hold.
    Bytes huge = good;
    huge[0] = 0xFE;
    huge[1] = 0xFF;
    {
        CArchive r(huge);
        CCGroup back;
        EXPECT_THROW(back.Serialize(r), ArchiveError);
    }
    // An unknown group version.
    CCGroup empty;
    CArchive ew;
    empty.Serialize(ew);
    Bytes v2 = ew.Bytes();
    v2[2] = 2;
    {
        CArchive r(v2);
        CCGroup back;
        EXPECT_THROW(back.Serialize(r), ArchiveError);
    }
    // A list element of another class.
    CMStrip strip;
    CArchive mixed;
    mixed.WriteCount(1);
    mixed.WriteObject(&strip);
    {
        CArchive r(mixed.Bytes());
        CCGroup back;
        try {
            back.Serialize(r);
            ADD_FAILURE() << "a CMStrip was accepted as a capacitor";
        } catch (const ArchiveError& e) {
            EXPECT_NE(std::string(e.what()).find("Klasse \"CMStrip\" an einer Stelle, an der \"CCapa\""), std::string::npos) << e.what();
        }
    }
}
