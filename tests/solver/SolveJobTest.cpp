// The solve as a job (what a reader on the document's thread sees while the
// worker runs, failed and cancelled solves, the memory estimate, DC in the
// sweep), reading the results between frequencies, and KillMax.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>

#include "SolverTestSupport.h"
#include "RecordingInteraction.h"
#include "SolveJob.h"
#include "SolveMemory.h"
#include "Values.h"

namespace vantor {
namespace {

using Complex = std::complex<double>;
using namespace testing;

// A view on the document's thread: it reads the plane at every progress
// step the job hands over and checks it against what it saw before.
class ReadingView : public RecordingInteraction {
public:
    explicit ReadingView(const CLayer& plane) : plane_(plane), before_(plane) {}
    void value(ProgressBar bar, int value) override {
        RecordingInteraction::value(bar, value);
        ++reads;
        changedReads += !before_.In(plane_);
    }
    int reads = 0, changedReads = 0;

private:
    const CLayer& plane_;
    Kept before_;
};

TEST(SolveJob, ReadersSeeTheOldResultsUntilTheCommitThenTheNewOnes) {
    auto [b, l] = Plane(0.040, 0.030);
    RecordingInteraction first;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 2), first, Options(SolverKind::Fast, 2)));
    l.AddGroupAtCentre(GroupWith(*b, 1e-9));

    // The reference: the same inputs solved by a job nobody edits under.
    auto [refBoard, ref] = Plane(0.040, 0.030);
    ref.AddGroupAtCentre(GroupWith(*refBoard, 1e-9));
    ASSERT_TRUE(ref.BuildMeshAndSolve(Sweep(1e6, 2e9, 12), first, Options(SolverKind::Fast, 2)));

    ReadingView view(l);
    SolveJob job(l, Sweep(1e6, 2e9, 12), Options(SolverKind::Fast, 2));
    job.start();
    // Edits on the document's thread while the worker runs do not reach it:
    // it solves the snapshot taken when the job was made.
    b->epsilonR = 10.0;
    l.capacitorGroups.clear();
    while (!job.pump(view, std::chrono::milliseconds(20))) {
    }
    job.pump(view);
    EXPECT_GT(view.reads, 0) << "progress reached the document's thread before the commit";
    EXPECT_EQ(view.changedReads, 0) << "nothing of the new solve shows before the commit";
    ASSERT_TRUE(job.commit(view));
    EXPECT_EQ(l.results.resultLabels, ref.results.resultLabels);
    EXPECT_TRUE(SameMaps(l.results.resultMaps, ref.results.resultMaps)) << "the snapshot's inputs were solved";
    EXPECT_EQ(l.mesh.activeCount, ref.mesh.activeCount);
    EXPECT_TRUE(view.messages().empty());
    EXPECT_FALSE(job.commit(view)) << "one commit per job";
}

// Whatever ends a solve without results (bad input, cancel, a job dropped
// before its commit) keeps the mesh and results as they were, and says why
// in one message; a dropped job says nothing.
TEST(SolveJob, FailedCancelledOrUncommittedSolvesKeepTheOldMeshAndResults) {
    using Run = std::function<bool(CCircuitBoard&, CLayer&, RecordingInteraction&)>;
    const auto solve = [](const CAnalysisDomain& d) -> Run {
        return [d](CCircuitBoard&, CLayer& l, RecordingInteraction& ui) { return l.BuildMeshAndSolve(d, ui); };
    };
    const auto job = [](const std::function<bool(SolveJob&, RecordingInteraction&)>& run) -> Run {
        return [run](CCircuitBoard&, CLayer& l, RecordingInteraction& ui) {
            SolveJob j(l, Sweep(1e6, 3e9, 9));
            return run(j, ui);
        };
    };
    const struct {
        const char *what, *says;  // says nullptr: no message
        Run run;
    } cases[] = {
        {"start below 0 Hz", "Bei -1MHz", solve(Sweep(-1e6, 1e9, 2))},
        {"stop at 0 Hz", "Gitter", solve(Sweep(1e6, 0.0, 2))},
        {"the view cancels", "abgebrochen",
         [](CCircuitBoard&, CLayer& l, RecordingInteraction& ui) {
             return ui.cancelAfterPolls(1), l.BuildMeshAndSolve(Sweep(1e6, 1e9, 2), ui);
         }},
        {"a lossless dielectric without a plate gap", "",
         [](CCircuitBoard& b, CLayer& l, RecordingInteraction& ui) {
             return b.planeSpacing = 0.0, l.BuildMeshAndSolve(Sweep(1e6, 1e9, 2), ui);
         }},
        {"the view cancels a job at its first poll", "abgebrochen",
         job([](SolveJob& j, RecordingInteraction& ui) { return ui.cancelAfterPolls(0), j.run(ui); })},
        {"cancel() before the worker starts", "abgebrochen",
         job([](SolveJob& j, RecordingInteraction& ui) { return j.cancel(), j.run(ui); })},
        {"cancel() after the worker ended", "abgebrochen",
         job([](SolveJob& j, RecordingInteraction& ui) { return j.start(), j.wait(), j.cancel(), j.commit(ui); })},
        {"the job is dropped without a commit", nullptr,
         job([](SolveJob& j, RecordingInteraction&) { return j.start(), false; })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto [b, l] = Plane(0.030, 0.020);
        RecordingInteraction ui;
        ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 2), ui));
        const Kept kept(l);
        EXPECT_FALSE(c.run(*b, l, ui));
        EXPECT_TRUE(kept.In(l));
        ASSERT_EQ(ui.messages().size(), c.says ? 1u : 0u);
        if (c.says) {
            EXPECT_NE(ui.messages()[0].find(c.says), std::string::npos) << ui.messages()[0];
        }
    }
}

TEST(SolveMemory, ASolveThatCannotFitIsRefusedBeforeItAllocates) {
    SolverOptions o;
    o.memoryLimit = 6e9;  // bytes
    // A metre square at resolution 100 and 1 GHz: its 102 maps alone take 80 GB.
    auto big = Board(1.0, 1.0);
    const CAnalysisDomain d = Sweep(1e6, 1e9, 100, 100.0);
    RecordingInteraction ui;
    EXPECT_FALSE(big->SolverLayer()->BuildMeshAndSolve(d, ui, o));
    EXPECT_EQ(ui.messages(), std::vector<std::string>{
                                 "FEM-Solver: Nicht genügend Speicher.\nDie bisherigen Ergebnisse bleiben erhalten."});
    EXPECT_EQ(big->SolverLayer()->mesh.gridNodes.size(), 0u) << "no mesh was built";

    // A small plane fits, and the estimate covers what its solve really
    // held, by either method: the maps and one factor per worker.
    for (const SolverKind kind : {SolverKind::Fast, SolverKind::Umfpack}) {
        auto [small, l] = Plane(0.060, 0.040);
        const CAnalysisDomain sweep = Sweep(1e6, 2e9, 20);
        o.kind = kind;
        ASSERT_TRUE(l.BuildMeshAndSolve(sweep, ui, o));
        const double maps = l.results.resultMaps.size() * static_cast<double>(l.mesh.gridPointCount) * 16.0;
        EXPECT_GE(EstimateSolveBytes(0.060, 0.040, small->epsilonR, sweep, o),
                  maps + l.LastSolve().threads * l.FactorBytes());
    }
}

TEST(PlaneSolver, StartFrequencyZeroSolvesTheOtherFrequenciesAndSaysSoOnce) {
    auto [b, l] = Plane(0.030, 0.020);
    RecordingInteraction ui;
    // 0, 250 MHz, ... 1 GHz against the same sweep without DC.
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(0.0, 1e9, 4), ui, Options(SolverKind::Fast, 2)));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.events().back().messageKind, MessageKind::Information);
    const auto withDc = l.results;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(2.5e8, 1e9, 3), ui, Options(SolverKind::Fast, 2)));
    EXPECT_EQ(ui.messages().size(), 1u) << "no notice without DC";

    ASSERT_EQ(withDc.resultMaps.size(), 6u);
    EXPECT_TRUE(SameMaps({withDc.resultMaps[0]}, {ComplexMatrix(l.mesh.ny, l.mesh.nx, kNoMetal)}));
    EXPECT_EQ(withDc.resultLabels[0], FormatValue(0.0, "Hz", 1));
    const std::vector<ComplexMatrix> rest(withDc.resultMaps.begin() + 1, withDc.resultMaps.end());
    EXPECT_TRUE(SameMaps(rest, l.results.resultMaps)) << "the other maps and the maximum are untouched by DC";
    // Between the stored frequencies the curve is read as if DC were not
    // stored: a pole at 0 Hz is no point of a polynomial.
    for (const double f : {1e8, 3e8, 6.2e8, 1.1e9}) {
        int validDc = -1, valid = -1;
        EXPECT_EQ(withDc.ImpedanceAt(l.mesh, 0.01, 0.01, f, validDc), l.ImpedanceAt(0.01, 0.01, f, valid)) << f;
        EXPECT_EQ(validDc, valid) << f;
    }
}

// A meshed plane whose results are written by hand: one map per frequency
// (value z(f, i) everywhere) and the "Maximum" map.
struct HandResults {
    std::unique_ptr<CCircuitBoard> b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    HandResults(const std::vector<double>& freqs, const std::function<Complex(double, int)>& z) {
        EXPECT_TRUE(l.BuildMesh(1e9, 2.0));
        for (std::size_t i = 0; i < freqs.size(); ++i) {
            l.results.resultLabels.push_back(FormatValue(freqs[i], "Hz", 1));
            l.results.resultMaps.emplace_back(l.mesh.ny, l.mesh.nx,
                                              z(ParseValue(l.results.resultLabels.back()), int(i)));
        }
        l.results.resultLabels.push_back("Maximum");
        l.results.resultMaps.emplace_back(l.mesh.ny, l.mesh.nx, Complex(99.0, 0.0));
    }
    Complex At(double f, int& valid) const { return l.ImpedanceAt(0.01, 0.01, f, valid); }
};

const std::vector<double> kTenFrequencies = {1e8, 2e8, 3e8, 4e8, 5e8, 6e8, 7e8, 8e8, 9e8, 1e9};

TEST(ImpedanceAt, StoredFrequencyTwoPointLineAndNoUsableResults) {
    HandResults r(kTenFrequencies, [](double f, int) { return Complex(f * 1e-9, -1.0); });
    int valid = -1;
    const CNode* n = r.l.FindNearestNode(0.01, 0.01);
    r.l.results.resultMaps[2].Set(n->row, n->column, Complex(0.7, 0.1));  // interpolation would not give this
    EXPECT_EQ(r.At(3e8, valid), Complex(0.7, 0.1));
    EXPECT_EQ(valid, 1);

    HandResults two({1e8, 3e8}, [](double f, int) { return f == 1e8 ? Complex(1.0, 2.0) : Complex(3.0, -2.0); });
    EXPECT_NEAR(std::abs(two.At(2e8, valid) - Complex(2.0, 0.0)), 0.0, 1e-12);
    EXPECT_EQ(valid, 0) << "the error estimate of two points is their whole difference";

    EXPECT_EQ(Board(0.030, 0.020)->SolverLayer()->ImpedanceAt(0.01, 0.01, 3e8, valid), Complex(0.0, 0.0));
    EXPECT_EQ(valid, 1) << "no results at all";
    ASSERT_TRUE(r.l.BuildMesh(3e9, 2.0));  // a finer grid than the maps
    EXPECT_EQ(r.l.ImpedanceAt(0.029, 0.019, 3e8, valid), Complex(0.0, 0.0));
    EXPECT_EQ(valid, 0) << "results of another mesh are not read";
}

// Entries outside the expected six-point window hold NaN: any window that
// reaches them gives NaN, the right one the exact quintic.
TEST(ImpedanceAt, SixPointWindowAroundTheBracketingEntry) {
    auto quintic = [](double f) { return Complex(1 + f * 1e-9 + std::pow(f * 1e-9, 5), std::pow(f * 1e-9, 2)); };
    for (const auto& [f, first] : {std::pair{2.5e8, 0}, {1.0e6, 0}, {6.5e8, 3}, {9.5e8, 4}, {1.2e9, 4}}) {
        HandResults r(kTenFrequencies, [&, first = first](double fi, int i) {
            return i >= first && i < first + 6 ? quintic(fi) : Complex(std::nan(""), 0.0);
        });
        int valid = -1;
        EXPECT_NEAR(std::abs(r.At(f, valid) - quintic(f)), 0.0, 1e-9) << f;
    }
}

TEST(ImpedanceAt, RoughDataIsMarkedInvalid) {
    int valid = -1;
    HandResults(kTenFrequencies, [](double f, int) { return Complex(0.1 + f * 1e-10, 0.0); }).At(4.5e8, valid);
    EXPECT_EQ(valid, 1);
    HandResults(kTenFrequencies, [](double, int i) { return Complex(i % 2 ? 5.0 : -5.0, 0.0); }).At(4.5e8, valid);
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
        const Complex z = r.At(f, valid);
        const int i = static_cast<int>(z.real()) - 1;
        EXPECT_TRUE(i >= 0 && i <= 10 && z == Complex(1.0 + i, -0.5 * i)) << f << ": " << z;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "no numeric error text among the data";
}

TEST(KillMax, PlacesAResonantGroupAtTheWorstPointAndNamesItAfterTheTakenNames) {
    auto [b, l] = Plane(0.050, 0.035);
    l.cutOuts.push_back(std::make_unique<CCutOut>(0.0, 0.0, 0.008, 0.008, "Ecke"));
    RecordingInteraction ui;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e8, 2e9, 8), ui));
    l.AddGroupAtCentre(CCGroup()).name = "ResCap1";
    // A point in a cut-out reads no metal.
    int valid = -1;
    EXPECT_EQ(l.ImpedanceAt(0.001, 0.001, ParseValue(l.results.resultLabels[3]), valid), kNoMetal);

    // The worst point, found independently.
    double worst = 0.0, fWorst = 0.0;
    int row = 0, column = 0;
    for (std::size_t e = 0; e < l.results.resultMaps.size(); ++e)
        for (int r = 0; r < l.mesh.ny; ++r)
            for (int c = 0; c < l.mesh.nx; ++c)
                if (l.mesh.nodeIndexMap(r, c) && std::abs(l.results.resultMaps[e](r, c)) > worst) {
                    worst = std::abs(l.results.resultMaps[e](r, c));
                    fWorst = ParseValue(l.results.resultLabels[e]);
                    row = r, column = c;
                }
    const CCGroup* g = l.KillMax(ui);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->name, "ResCap2") << "ResCap1 is taken";
    EXPECT_DOUBLE_EQ(g->posX, column * l.mesh.cellSize);
    EXPECT_DOUBLE_EQ(g->posY, row * l.mesh.cellSize);
    ASSERT_EQ(g->ElementCount(), 2);
    EXPECT_EQ(g->Capacitor(0).shape.name, "Flächenkapazität");
    // The capacitor resonates with the via loop plus 0.5 nH at fmax.
    const double lTotal = b->ViaLoopInductance(1) + 5e-10;
    EXPECT_NEAR(1.0 / (kTwoPi * std::sqrt(lTotal * g->Capacitor(1).capacitance)), fWorst, 1e-6 * fWorst);
    EXPECT_TRUE(ui.messages().empty());
}

}  // namespace
}  // namespace vantor
