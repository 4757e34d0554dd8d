#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

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
    g.name = "Gruppe1", g.fo = 1e9, g.posX = 0.0495, g.posY = 0.0355, g.zminFu = 0.5;
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
    for (double v : {s.lser, s.capHigh, s.rloss, s.capLow}) PutDouble(expected, v);
    expected.push_back(22);
    for (char c : std::string("1005(0402) X7R-Keramik")) expected.push_back(static_cast<std::uint8_t>(c));
    for (double v : {s.bodyThickness, s.bodyWidth, s.bodyLength}) PutDouble(expected, v);
    EXPECT_EQ(w.Bytes(), expected);
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
    ASSERT_EQ(back.ElementCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(back.Capacitor(i).group, &back);
    EXPECT_EQ(std::tie(back.name, back.fo, back.zminFu, back.posX, back.posY, back.defaultPackage.packageType),
              std::tie(g.name, g.fo, g.zminFu, g.posX, g.posY, g.defaultPackage.packageType));
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
    const auto& back = dynamic_cast<CMStrip&>(*o);
    EXPECT_EQ(std::tie(back.z0, back.h, back.valid), std::tie(s.z0, s.h, s.valid));
}

TEST(Serialize, DamagedGroupRecordsAreRefused) {
    const CCircuitBoard board;
    CArchive w;
    SampleGroup(board).Serialize(w);
    const Bytes good = w.Bytes();
    auto read = [](const Bytes& bytes) -> std::string {  // the error, "" when read
        try {
            CArchive r(bytes);
            CCGroup().Serialize(r);
            return "";
        } catch (const ArchiveError& e) {
            return e.what();
        }
    };
    for (std::size_t cut = 0; cut < good.size(); cut += 7)
        EXPECT_NE(read(Bytes(good.begin(), good.begin() + static_cast<long>(cut))), "") << "cut at " << cut;
    Bytes huge = good;  // a count larger than the file could hold
    huge[0] = 0xFE;
    huge[1] = 0xFF;
    EXPECT_NE(read(huge), "");
    CArchive ew;
    CCGroup().Serialize(ew);
    Bytes v2 = ew.Bytes();  // an unknown group version
    v2[2] = 2;
    EXPECT_NE(read(v2), "");
    // A list element of another class.
    CMStrip strip;
    CArchive mixed;
    mixed.WriteCount(1);
    mixed.WriteObject(&strip);
    const std::string e = read(mixed.Bytes());
    EXPECT_NE(e.find("Klasse \"CMStrip\" an einer Stelle, an der \"CCapa\""), std::string::npos) << e;
}
