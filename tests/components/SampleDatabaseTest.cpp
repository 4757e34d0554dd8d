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

// Series impedance of a series-through measurement, Ohm.
Complex SeriesZ(const CSParameter& p) { return 100.0 * (1.0 - p.s21) / p.s21; }

const CSParameter& Nearest(const CSParaSet& s, double f) {
    CFilter filter;
    filter.candidates = {&s};
    return *filter.NearestPoint(f);
}

TEST(ShippedDatabase, LoadsTwentyModelChokesCoveringTheDefaultBand) {
    const std::filesystem::path dir = std::filesystem::path(VANTOR_SOURCE_DIR) / "Database";
    CSParameterDB db;
    RecordingInteraction ui;
    ASSERT_GE(db.LoadDatabase(dir, ui), 20);
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
        const Complex z = SeriesZ(Nearest(*s, 1e6));
        EXPECT_NEAR(z.imag() / (kW * 1e6), s->nominalL, 0.08 * s->nominalL);
        const double z100 = std::abs(SeriesZ(Nearest(*s, 1e8)));
        if (s->maker == "Keldan Ferrit") {
            ++beads;
            EXPECT_GE(z100, 30.0 * 0.95);  // beads are sold by |Z| at 100 MHz
            EXPECT_LE(z100, 1000.0 * 1.05);
        } else {
            ++inductors;
            EXPECT_GE(s->nominalL, 1e-6 * 0.99);
            EXPECT_LE(s->nominalL, 100e-6 * 1.01);
            EXPECT_GE(s->maxCurrent, 0.3);
            EXPECT_LE(s->maxCurrent, 10.0);
        }
    }
    EXPECT_GE(inductors, 10);
    EXPECT_GE(beads, 6);
    EXPECT_GE(fromFlp, 3);
}

TEST(ShippedDatabase, OffersChokesForTheDefaultFilter) {
    // The document's defaults: 10 MHz .. 300 MHz, 35 dB, 0.1 A. Without a
    // group no single choke reaches 35 dB over the whole band.
    CSParameterDB db;
    RecordingInteraction ui;
    db.LoadDatabase(std::filesystem::path(VANTOR_SOURCE_DIR) / "Database", ui);
    CFilter filter;
    filter.fLower = 1e7;
    filter.fUpper = 3e8;
    filter.minAttenuation = 35.0;
    filter.maxSupplyCurrent = 0.1;
    filter.useGroup = 0;
    EXPECT_EQ(filter.SearchChokes(db), 0);
    filter.minAttenuation = 6.0;
    EXPECT_GT(filter.SearchChokes(db), 5);
}

}  // namespace
}  // namespace vantor
