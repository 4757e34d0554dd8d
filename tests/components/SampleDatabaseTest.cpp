// The component folder shipped with the program: it must load cleanly and
// its model chokes must behave like the parts they stand for.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "CFilter.h"
#include "CSParameterDB.h"
#include "RecordingInteraction.h"

namespace vantor {
namespace {

constexpr double kW = 2.0 * 3.14159265358979323846;

// Series impedance of a series-through measurement near f, Ohm.
Complex SeriesZ(const CSParaSet& s, double f) {
    CFilter filter;
    filter.candidates = {&s};
    const CSParameter& p = *filter.NearestPoint(f);
    return 100.0 * (1.0 - p.s21) / p.s21;
}

TEST(ShippedDatabase, LoadsTwentyModelChokesThatServeTheDefaultFilter) {
    CSParameterDB db;
    RecordingInteraction ui;
    ASSERT_GE(db.LoadDatabase(std::filesystem::path(VANTOR_SOURCE_DIR) / "Database", ui), 20);
    EXPECT_TRUE(ui.messages().empty());
    int inductors = 0, beads = 0, fromFlp = 0;
    for (const auto& s : db.Sets()) {
        SCOPED_TRACE(s->name);
        EXPECT_LE(s->fMin, 1e5);
        EXPECT_GE(s->fMax, 1e9);
        EXPECT_NE((s->comment + s->description).find("Modelldaten"), std::string::npos);
        EXPECT_FALSE(s->maker.empty());
        EXPECT_GT(s->maxCurrent, 0.0);
        if (s->formatCode <= 2) ++fromFlp;
        // Below the self-resonance the data show the nominal inductance.
        EXPECT_NEAR(SeriesZ(*s, 1e6).imag() / (kW * 1e6), s->nominalL, 0.08 * s->nominalL);
        const double z100 = std::abs(SeriesZ(*s, 1e8));
        if (s->maker == "Keldan Ferrit") {
            ++beads;
            EXPECT_TRUE(z100 >= 30.0 * 0.95 && z100 <= 1000.0 * 1.05) << z100;  // beads are sold by |Z| at 100 MHz
        } else {
            ++inductors;
            EXPECT_TRUE(s->nominalL >= 1e-6 * 0.99 && s->nominalL <= 100e-6 * 1.01) << s->nominalL;
            EXPECT_TRUE(s->maxCurrent >= 0.3 && s->maxCurrent <= 10.0) << s->maxCurrent;
        }
    }
    EXPECT_GE(inductors, 10);
    EXPECT_GE(beads, 6);
    EXPECT_GE(fromFlp, 3);
    // The document's defaults: 10 MHz .. 300 MHz, 35 dB, 0.1 A. Without a
    // group no single choke reaches 35 dB over the whole band.
    CFilter filter;
    filter.useGroup = 0, filter.fLower = 1e7, filter.fUpper = 3e8;
    filter.minAttenuation = 35.0, filter.maxSupplyCurrent = 0.1;
    EXPECT_EQ(filter.SearchChokes(db), 0);
    filter.minAttenuation = 6.0;
    EXPECT_GT(filter.SearchChokes(db), 5);
}

}  // namespace
}  // namespace vantor
