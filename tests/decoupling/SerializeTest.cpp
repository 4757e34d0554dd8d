// The group record on its own. The field order of the group and shape
// records is fixed by the document's golden files.

#include <gtest/gtest.h>

#include "CCGroup.h"
#include "DecouplingClasses.h"
#include "CCircuitBoard.h"

using namespace vantor;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Registered {
    Registered() { RegisterDecouplingClasses(); }
} registered;

CCGroup SampleGroup(const CCircuitBoard& board) {
    CCGroup g(&board);
    g.Append(CCGroup::PlaneCapacitanceEntry(board));
    g.Append(g.NewCapacitor(10e-9));
    g.Append(g.NewCapacitor(4.7e-6));
    g.name = "Gruppe1", g.fo = 1e9, g.posX = 0.0495, g.posY = 0.0355, g.zminFu = 0.5;
    return g;
}

}  // namespace

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
    CCGroup nested;
    CArchive mixed;
    mixed.WriteCount(1);
    mixed.WriteObject(&nested);
    const std::string e = read(mixed.Bytes());
    EXPECT_NE(e.find("Klasse \"CCGroup\" an einer Stelle, an der \"CCapa\""), std::string::npos) << e;
}
