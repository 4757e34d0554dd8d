#include <gtest/gtest.h>

#include <cmath>

#include "SolverTestSupport.h"
#include "CAnalysisDomain.h"
#include "RecordingInteraction.h"
#include "Values.h"

namespace vantor {
namespace {

using Complex = std::complex<double>;
using testing::Board;

// A meshed plane whose results are written by hand: one map per frequency
// (value z(f) everywhere) and the "Maximum" map.
struct HandResults {
    std::unique_ptr<CCircuitBoard> b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    explicit HandResults(const std::vector<double>& freqs, Complex (*z)(double, int)) {
        EXPECT_TRUE(l.BuildMesh(1e9, 2.0));
        for (std::size_t i = 0; i < freqs.size(); ++i) {
            l.results.resultLabels.push_back(FormatValue(freqs[i], "Hz", 1));
            l.results.resultMaps.emplace_back(l.mesh.ny, l.mesh.nx, z(ParseValue(l.results.resultLabels.back()), static_cast<int>(i)));
        }
        l.results.resultLabels.push_back("Maximum");
        l.results.resultMaps.emplace_back(l.mesh.ny, l.mesh.nx, Complex(99.0, 0.0));
    }
};

std::vector<double> TenFrequencies() {
    std::vector<double> f;
    for (int i = 1; i <= 10; ++i) f.push_back(i * 1e8);
    return f;
}

TEST(ImpedanceAt, StoredFrequencyReturnsTheStoredValue) {
    HandResults r(TenFrequencies(), [](double f, int) { return Complex(f * 1e-9, -1.0); });
    int valid = -1;
    const CNode* n = r.l.FindNearestNode(0.01, 0.01);
    r.l.results.resultMaps[2].Set(n->row, n->column, Complex(0.7, 0.1));  // interpolation would not give this
    EXPECT_EQ(r.l.ImpedanceAt(0.01, 0.01, ParseValue(r.l.results.resultLabels[2]), valid), Complex(0.7, 0.1));
    EXPECT_EQ(valid, 1);
}

TEST(ImpedanceAt, MissingResultsGiveZeroAndValid) {
    auto b = Board(0.030, 0.020);
    int valid = -1;
    EXPECT_EQ(b->SolverLayer()->ImpedanceAt(0.01, 0.01, 3e8, valid), Complex(0.0, 0.0));
    EXPECT_EQ(valid, 1);
}

TEST(ImpedanceAt, TwoFrequenciesInterpolateAlongAStraightLine) {
    HandResults r({1e8, 3e8}, [](double f, int) { return f == 1e8 ? Complex(1.0, 2.0) : Complex(3.0, -2.0); });
    int valid = -1;
    const Complex z = r.l.ImpedanceAt(0.01, 0.01, 2e8, valid);
    EXPECT_NEAR(std::abs(z - Complex(2.0, 0.0)), 0.0, 1e-12);
    EXPECT_EQ(valid, 0) << "the error estimate of two points is their whole difference";
}

// Entries outside the expected six-point window hold NaN: any window that
// reaches them gives NaN, the right one the exact quintic.
TEST(ImpedanceAt, SixPointWindowAroundTheBracketingEntry) {
    auto quintic = [](double f) {
        const double x = f * 1e-9;
        return Complex(1 + x + x * x * x * x * x, x * x);
    };
    struct Case {
        double f;
        int first;  // first entry of the window
    };
    const Case cases[] = {{2.5e8, 0}, {1.0e6, 0}, {6.5e8, 3}, {9.5e8, 4}, {1.2e9, 4}};
    for (const auto& c : cases) {
        static int first;  // read by the capture-free generator below
        first = c.first;
        HandResults r(TenFrequencies(), [](double f, int i) {
            const double x = f * 1e-9;
            return i >= first && i < first + 6 ? Complex(1 + x + x * x * x * x * x, x * x)
                                               : Complex(std::nan(""), 0.0);
        });
        int valid = -1;
        const Complex z = r.l.ImpedanceAt(0.01, 0.01, c.f, valid);
        EXPECT_NEAR(std::abs(z - quintic(c.f)), 0.0, 1e-9) << c.f;
    }
}

TEST(ImpedanceAt, RoughDataIsMarkedInvalid) {
    HandResults smooth(TenFrequencies(), [](double f, int) { return Complex(0.1 + f * 1e-10, 0.0); });
    HandResults rough(TenFrequencies(), [](double, int i) { return Complex(i % 2 ? 5.0 : -5.0, 0.0); });
    int valid = -1;
    smooth.l.ImpedanceAt(0.01, 0.01, 4.5e8, valid);
    EXPECT_EQ(valid, 1);
    rough.l.ImpedanceAt(0.01, 0.01, 4.5e8, valid);
    EXPECT_EQ(valid, 0);
}

TEST(ImpedanceAt, PointInACutOutReadsTheNearestGridNode) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.008, 0.008, "Ecke"));
    RecordingInteraction ui;
    CAnalysisDomain d(1e8, 1e9, 0, 1e-6, 2.0);
    d.frequencySteps = 4;
    ASSERT_TRUE(l.BuildMeshAndSolve(d, ui));
    int valid = -1;
    EXPECT_EQ(l.ImpedanceAt(0.001, 0.001, ParseValue(l.results.resultLabels[3]), valid), kNoMetal);
    const Complex z = l.ImpedanceAt(0.025, 0.015, ParseValue(l.results.resultLabels[3]), valid);
    EXPECT_LT(std::abs(z), 1e3);
}

TEST(ImpedanceAt, ResultsOfAnotherMeshAreNotRead) {
    HandResults r(TenFrequencies(), [](double, int) { return Complex(1.0, 0.0); });
    ASSERT_TRUE(r.l.BuildMesh(3e9, 2.0));  // a finer grid than the maps
    int valid = -1;
    EXPECT_EQ(r.l.ImpedanceAt(0.029, 0.019, 3e8, valid), Complex(0.0, 0.0));
    EXPECT_EQ(valid, 0);
}

TEST(ImpedanceAt, CoincidentLabelsAnswerFromTheNearestStoredMapNeverNaN) {
    // 1 GHz to 1.001 GHz in ten steps: every label reads "1.000GHz", so no
    // polynomial runs through them.
    std::vector<double> freqs;
    for (int i = 0; i <= 10; ++i) freqs.push_back(1e9 + i * 1e5);
    HandResults r(freqs, [](double, int i) { return Complex(1.0 + i, -0.5 * i); });
    ::testing::internal::CaptureStdout();
    for (const double f : {0.9995e9, 1.0002e9, 1.0009e9, 2e9}) {
        int valid = 0;
        const Complex z = r.l.ImpedanceAt(0.01, 0.01, f, valid);
        const int i = static_cast<int>(z.real()) - 1;
        EXPECT_TRUE(i >= 0 && i <= 10 && z == Complex(1.0 + i, -0.5 * i)) << f << ": " << z;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "no numeric error text among the data";
}

TEST(KillMax, PlacesAResonantGroupAtTheWorstPointAndNamesItInTurn) {
    auto b = Board(0.050, 0.035);
    CLayer& l = *b->SolverLayer();
    RecordingInteraction ui;
    CAnalysisDomain d(1e8, 2e9, 0, 1e-6, 2.0);
    d.frequencySteps = 8;
    ASSERT_TRUE(l.BuildMeshAndSolve(d, ui));
    l.AddGroupAtCentre(CCGroup()).name = "ResCap1";

    // The worst point, found independently.
    double worst = 0.0, fWorst = 0.0;
    int row = 0, column = 0;
    for (std::size_t e = 0; e < l.results.resultMaps.size(); ++e)
        for (int r = 0; r < l.mesh.ny; ++r)
            for (int c = 0; c < l.mesh.nx; ++c)
                if (std::abs(l.results.resultMaps[e](r, c)) > worst) {
                    worst = std::abs(l.results.resultMaps[e](r, c));
                    fWorst = ParseValue(l.results.resultLabels[e]);
                    row = r, column = c;
                }
    const CCGroup* g = l.KillMax(ui);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->name, "ResCap2") << "ResCap1 is taken";
    EXPECT_EQ(l.GroupCount(), 2);
    EXPECT_DOUBLE_EQ(g->posX, column * l.mesh.cellSize);
    EXPECT_DOUBLE_EQ(g->posY, row * l.mesh.cellSize);
    ASSERT_EQ(g->ElementCount(), 2);
    EXPECT_EQ(g->Capacitor(0).shape.name, "Flächenkapazität");
    // The capacitor resonates with the via loop plus 0.5 nH at fmax.
    const double lTotal = b->ViaLoopInductance(1) + 5e-10;
    EXPECT_NEAR(1.0 / (kTwoPi * std::sqrt(lTotal * g->Capacitor(1).capacitance)), fWorst, 1e-6 * fWorst);

    ASSERT_NE(l.KillMax(ui), nullptr);
    EXPECT_EQ(l.capacitorGroups.back()->name, "ResCap3");
    EXPECT_TRUE(ui.messages().empty());
}

TEST(KillMax, WithoutMetalResultsNothingIsPlaced) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    RecordingInteraction ui;
    EXPECT_EQ(l.KillMax(ui), nullptr) << "no results at all";
    l.cutOuts.push_back(std::make_unique<CCutOut>(0, 0, 1, 1, "Alles"));
    ASSERT_TRUE(l.BuildMeshAndSolve(CAnalysisDomain(), ui));
    EXPECT_EQ(l.KillMax(ui), nullptr);
    EXPECT_EQ(l.KillMax(ui), nullptr);
    EXPECT_EQ(l.GroupCount(), 0);
    EXPECT_EQ(ui.messages().size(), 3u);
}

}  // namespace
}  // namespace vantor
