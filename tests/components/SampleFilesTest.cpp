// The readers on real Touchstone files that nobody here wrote: each must
// give its set with the right points, and the values must match the file.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "CFilter.h"
#include "CSParameterDB.h"
#include "ComponentFiles.h"
#include "RecordingInteraction.h"
#include "TestFiles.h"

namespace vantor {
namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

enum class Fmt { MA = 3, DB = 4, RI = 5 };  // the reader's format codes

// A data line of the file as written there, converted here on its own.
struct Spot {
    int index;
    double freqHz;
    double v[8];
};

struct Sample {
    const char* file;
    const char* name;
    int points;
    double fMin, fMax;
    Fmt fmt;
    std::vector<Spot> spots;
};

Complex Convert(Fmt fmt, double a, double b) {
    if (fmt == Fmt::RI) return {a, b};
    return std::polar(fmt == Fmt::MA ? a : std::pow(10.0, a / 20.0), b * kDegree);
}

// clang-format off
const std::vector<Sample>& Samples() {
    static const std::vector<Sample> samples = {
        {"BLE18PK100SN1_series.s2p", "BLE18PK100SN1_series", 401, 1e6, 3e9, Fmt::RI,
         {{0, 1e6, {7.07352462758792E-5, 0.0013203006902030958, 0.9999292647537241, -0.0013203006902030958,
                    0.9999292647537241, -0.0013203006902030958, 7.07352462758792E-5, 0.0013203006902030958}},
          {200, 5.4772255750516616E7, {0.02382264637191571, 0.058674407084853324, 0.9761773536280843,
                    -0.058674407084853324, 0.9761773536280843, -0.058674407084853324, 0.02382264637191571,
                    0.058674407084853324}},
          {400, 3e9, {0.31305536792579064, -0.07690125311355722, 0.6869446320742093, 0.07690125311355722,
                    0.6869446320742093, 0.07690125311355722, 0.31305536792579064, -0.07690125311355722}}}},
        {"NFZ32BW621HN10_series.s2p", "NFZ32BW621HN10_series", 401, 1e6, 3e9, Fmt::RI,
         {{0, 1e6, {0.968381771733012, 0.16515859218553905, 0.03161822826698811, -0.16515859218553908,
                    0.03161822826698811, -0.16515859218553908, 0.968381771733012, 0.16515859218553905}},
          {400, 3e9, {0.16897467348178047, -0.3050198812522786, 0.8310253265182197, 0.3050198812522786,
                    0.8310253265182197, 0.3050198812522786, 0.16897467348178047, -0.3050198812522786}}}},
        {"04AF201.s2p", "04AF201", 352, 1e6, 3000e6, Fmt::MA,
         {{0, 1e6, {0.014683657, 67.810888, 0.99454744, -0.78330128, 0.99454744, -0.78330128, 0.014683657, 67.810888}},
          {176, 55.4005136754519e6, {0.51495007, 53.333031, 0.8063222, -30.814912, 0.8063222, -30.814912, 0.51495007,
                    53.333031}},
          {351, 3000e6, {0.94312206, 1.2555323, 0.060728549, -19.894367, 0.060728549, -19.894367, 0.94312206,
                    1.2555323}}}},
        {"0603CT_10N.s2p", "0603CT_10N", 911, 1e6, 8500e6, Fmt::MA,
         {{0, 1e6, {0.00105211085, 36.5974981, 0.999155517, -0.0359696014, 0.999155517, -0.0359696014, 0.00105211085,
                    36.5974981}},
          {455, 92.5177519e6, {0.0579449829, 83.7705952, 0.995380557, -3.31756996, 0.995380557, -3.31756996,
                    0.0579449829, 83.7705952}},
          {910, 8500e6, {0.99581024, -1.93060469, 0.0338831919, 81.9327337, 0.0338831919, 81.9327337, 0.99581024,
                    -1.93060469}}}},
        {"LFCN-2352+_Plus25degC.s2p", "LFCN-2352+_Plus25degC", 2006, 10e6, 50000e6, Fmt::DB,
         {{0, 10e6, {-4.010140E+001, -4.791718E+001, -1.965048E-002, -1.868977E-001, -2.149604E-002, -1.844229E-001,
                    -4.033467E+001, -6.119190E+001}},
          {2005, 50000e6, {-3.713371E+000, -7.676509E+001, -1.007071E+001, 3.853254E+001, -1.008418E+001,
                    3.836919E+001, -6.266775E+000, -6.236731E+001}}}},
        {"RS_ZVR_1.20_beta_f.s2p", "RS_ZVR_1", 1, 1e3, 1e3, Fmt::DB,
         {{0, 1e3, {-0.00001, -100.001, -0.00002, -0.00002, -0.0003, -0.00003, -0.00004, -100.004}}}},
        {"Clarity_example.S2P", "Clarity_example", 40, 50e6, 2e9, Fmt::RI,
         {{20, 1050000000, {0.0440305271353223, -0.0369951201340811, -0.695214919234847, -0.676293995795591,
                    -0.695214919234847, -0.676293995795591, 0.0436598210555606, -0.0372606546177558}}}},
        // 37 S-parameter lines; the noise block after them restarts at 400 MHz.
        {"BFU520_05V0_010mA_NF_SP.s2p", "BFU520_05V0_010mA_NF_SP", 37, 400e6, 2000e6, Fmt::MA,
         {{0, 400e6, {0.54054, -99.54, 15.544, 120.57, 0.038417, 52.70, 0.64309, -42.41}},
          {18, 1100e6, {0.46713, -162.45, 6.9429, 86.28, 0.059669, 49.13, 0.38876, -56.86}},
          {36, 2000e6, {0.46792, 162.95, 3.9265, 63.61, 0.086333, 52.11, 0.34252, -69.29}}}},
    };
    return samples;
}
// clang-format on

TEST(SampleFiles, ReadEachSetWithTheValuesOfTheFile) {
    const std::filesystem::path dir = test::TouchstoneSamples();
    if (dir.empty()) GTEST_SKIP() << "real Touchstone samples not found in " << VANTOR_SAMPLES_DIR << "/touchstone";
    for (const Sample& s : Samples()) {
        SCOPED_TRACE(s.file);
        CSParameterDB db;
        RecordingInteraction ui;
        ASSERT_EQ(ReadS2pFile(dir / s.file, db, ui), 1);
        EXPECT_TRUE(ui.messages().empty()) << ui.messages().front();
        const CSParaSet& set = db.Set(0);
        EXPECT_EQ(set.name, s.name);
        EXPECT_EQ(set.pointCount, s.points);
        ASSERT_EQ(static_cast<int>(set.points.size()), s.points);
        EXPECT_NEAR(set.fMin, s.fMin, s.fMin * 1e-12);
        EXPECT_NEAR(set.fMax, s.fMax, s.fMax * 1e-12);
        EXPECT_EQ(set.formatCode, static_cast<int>(s.fmt));
        for (std::size_t i = 1; i < set.points.size(); ++i) ASSERT_GT(set.points[i].freq, set.points[i - 1].freq);
        for (const Spot& spot : s.spots) {
            const CSParameter& p = set.points.at(static_cast<std::size_t>(spot.index));
            EXPECT_NEAR(p.freq, spot.freqHz, spot.freqHz * 1e-12) << "point " << spot.index;
            const Complex actual[4] = {p.s11, p.s21, p.s12, p.s22};
            for (int k = 0; k < 4; ++k) {
                const Complex expected = Convert(s.fmt, spot.v[2 * k], spot.v[2 * k + 1]);
                // The reader's pi has ten digits: 1e-9 relative covers it.
                EXPECT_NEAR(std::abs(actual[k] - expected), 0.0, 1e-9 * std::max(1.0, std::abs(expected)))
                    << "point " << spot.index << " parameter " << k;
            }
        }
    }
}

// The folder loads as a database. The Murata beads in it are published as
// pure series elements (S11 = 1 - S21): their Z-parameters do not exist,
// yet the filter must see the series impedance Z = 100 (1 - S21) / S21.
TEST(SampleFiles, LoadAsADatabaseAndSeriesElementsGiveTheSeriesAttenuation) {
    const std::filesystem::path dir = test::TouchstoneSamples();
    if (dir.empty()) GTEST_SKIP() << "real Touchstone samples not found";
    CSParameterDB db;
    RecordingInteraction ui;
    EXPECT_EQ(db.LoadDatabase(dir, ui), static_cast<int>(Samples().size()));
    EXPECT_TRUE(ui.messages().empty());
    for (const Sample& s : Samples()) EXPECT_NE(db.Find(s.name), nullptr) << s.name;
    for (const char* name : {"BLE18PK100SN1_series", "NFZ32BW621HN10_series"}) {
        ASSERT_NE(db.Find(name), nullptr);
        CFilter filter;
        filter.useGroup = 0;
        int singular = 0;
        for (const CSParameter& p : db.Find(name)->points) {
            const Complex delta = (1.0 - p.s11) * (1.0 - p.s22) - p.s12 * p.s21;
            if (std::abs(delta) < 1e-9) ++singular;
            const Complex z = 100.0 * (1.0 - p.s21) / p.s21;
            // the group-free shunt of 1e9 Ohm is far below the resolution here
            const double expected = std::min(0.0, 20.0 * std::log10(std::abs(100.0 / (100.0 + z))));
            const double a = filter.Attenuation(p);
            ASSERT_TRUE(std::isfinite(a)) << name << " at " << p.freq;
            EXPECT_NEAR(a, expected, 1e-6) << name << " at " << p.freq;
        }
        EXPECT_GT(singular, 300) << name << ": the data should be a pure series element";
    }
}

}  // namespace
}  // namespace vantor
