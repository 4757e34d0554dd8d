// The solve as a job: what a reader on the document's thread sees while the
// worker runs, cancel, the memory estimate and DC in the sweep.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>

#include "SolverTestSupport.h"
#include "CAnalysisDomain.h"
#include "RecordingInteraction.h"
#include "SolveJob.h"
#include "SolveMemory.h"
#include "Values.h"

namespace vantor {
namespace {

using testing::Board;
using testing::GroupWith;

CAnalysisDomain Sweep(double start, double stop, int steps) {
    CAnalysisDomain d(start, stop, 0.0, 1e-6, 2.0);
    d.frequencySteps = steps;
    return d;
}

SolverOptions Threads(int threads) {
    SolverOptions o;
    o.threads = threads;
    return o;
}

bool SameMaps(const std::vector<ComplexMatrix>& a, const std::vector<ComplexMatrix>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t e = 0; e < a.size(); ++e)
        for (int r = 0; r < a[e].Rows(); ++r)
            for (int c = 0; c < a[e].Columns(); ++c)
                if (a[e](r, c) != b[e](r, c)) return false;
    return true;
}

// A view on the document's thread: it reads the plane at every progress
// step the job hands over and checks it against what it saw before.
class ReadingView : public RecordingInteraction {
public:
    ReadingView(const CLayer& plane) : plane_(plane), labels_(plane.results.resultLabels) {
        for (const auto& m : plane.results.resultMaps) maps_.push_back(m);
        nx_ = plane.mesh.nx;
    }
    void progressValue(ProgressBar bar, int value) override {
        RecordingInteraction::progressValue(bar, value);
        ++reads;
        const auto& r = plane_.results;
        bool same = r.resultLabels == labels_ && r.resultMaps.size() == maps_.size() && plane_.mesh.nx == nx_;
        for (std::size_t e = 0; same && e < maps_.size(); ++e) same = r.resultMaps[e].SharesStorageWith(maps_[e]);
        if (!same) ++changedReads;
    }
    int reads = 0, changedReads = 0;

private:
    const CLayer& plane_;
    std::vector<std::string> labels_;
    std::vector<ComplexMatrix> maps_;
    int nx_ = 0;
};

TEST(SolveJob, ReadersSeeTheOldResultsUntilTheCommitThenTheNewOnes) {
    auto b = Board(0.040, 0.030);
    CLayer& l = *b->SolverLayer();
    RecordingInteraction first;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 2), first, Threads(2)));
    const CCGroup group = GroupWith(*b, 1e-9);
    l.AddGroupAtCentre(group);

    // The reference: the same inputs solved on this thread.
    auto refBoard = Board(0.040, 0.030);
    CLayer& ref = *refBoard->SolverLayer();
    ref.AddGroupAtCentre(GroupWith(*refBoard, 1e-9));
    ASSERT_TRUE(ref.BuildMesh(2e9, 2.0));
    ASSERT_TRUE(ref.SolvePlane(Sweep(1e6, 2e9, 12), first, Threads(2)));

    ReadingView view(l);
    SolveJob job(l, Sweep(1e6, 2e9, 12), Threads(2));
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
    EXPECT_EQ(l.mesh.nx, ref.mesh.nx);
    EXPECT_EQ(l.mesh.activeCount, ref.mesh.activeCount);
    EXPECT_TRUE(view.messages().empty());
    EXPECT_FALSE(job.commit(view)) << "one commit per job";
}

TEST(SolveJob, CancelOrAnUncommittedJobKeepsTheOldMeshAndResults) {
    struct Case {
        const char* what;
        bool commits;  // whether the job reaches its commit
        std::function<bool(SolveJob&, RecordingInteraction&)> run;
    };
    const Case cases[] = {
        {"the view cancels at its first poll", true,
         [](SolveJob& j, RecordingInteraction& ui) {
             ui.cancelAfterPolls(0);
             return j.run(ui);
         }},
        {"cancel() before the worker starts", true,
         [](SolveJob& j, RecordingInteraction& ui) {
             j.cancel();
             return j.run(ui);
         }},
        {"cancel() after the worker ended", true,
         [](SolveJob& j, RecordingInteraction& ui) {
             j.start();
             j.wait();
             j.cancel();
             return j.commit(ui);
         }},
        {"the job is dropped without a commit", false,
         [](SolveJob& j, RecordingInteraction&) {
             j.start();
             return false;
         }},
    };
    for (const Case& c : cases) {
        auto b = Board(0.030, 0.020);
        CLayer& l = *b->SolverLayer();
        RecordingInteraction ui;
        ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(1e6, 1e9, 2), ui));
        const auto maps = l.results.resultMaps;
        const auto labels = l.results.resultLabels;
        const int nx = l.mesh.nx;
        {
            RecordingInteraction cancelling;
            SolveJob job(l, Sweep(1e6, 3e9, 9));
            EXPECT_FALSE(c.run(job, cancelling)) << c.what;
            if (c.commits) {
                ASSERT_EQ(cancelling.messages().size(), 1u) << c.what;
                EXPECT_NE(cancelling.messages()[0].find("abgebrochen"), std::string::npos) << c.what;
            }
        }
        EXPECT_EQ(l.results.resultLabels, labels) << c.what;
        ASSERT_EQ(l.results.resultMaps.size(), maps.size()) << c.what;
        for (std::size_t e = 0; e < maps.size(); ++e)
            EXPECT_TRUE(l.results.resultMaps[e].SharesStorageWith(maps[e])) << c.what;
        EXPECT_EQ(l.mesh.nx, nx) << c.what;
    }
}

TEST(SolveMemory, ASolveThatCannotFitIsRefusedBeforeItAllocates) {
    const double limit = 6e9;  // bytes
    SolverOptions o;
    o.memoryLimit = limit;
    // A metre square at resolution 100 and 1 GHz: cells of 0.14 mm, about
    // 49 million points; its 102 maps alone take 80 GB.
    auto big = Board(1.0, 1.0);
    CAnalysisDomain d = Sweep(1e6, 1e9, 100);
    d.resolution = 100.0;
    const double h = PlaneMesh::CellSizeFor(big->epsilonR, 1e9, 100.0);
    const double points = std::pow(std::floor(1.0 / h) + 1.0, 2);
    EXPECT_GE(EstimateSolveBytes(1.0, 1.0, big->epsilonR, d, o), 102 * points * 16.0);
    RecordingInteraction ui;
    EXPECT_FALSE(big->SolverLayer()->BuildMeshAndSolve(d, ui, o));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0], "FEM-Solver: Nicht genügend Speicher.\nDie bisherigen Ergebnisse bleiben erhalten.");
    EXPECT_EQ(big->SolverLayer()->mesh.gridNodes.size(), 0u) << "no mesh was built";

    // A small plane fits, and the estimate covers what its solve really
    // held, by either method: the maps and one factor per worker.
    for (const SolverKind kind : {SolverKind::Fast, SolverKind::Umfpack}) {
        auto small = Board(0.060, 0.040);
        CLayer& l = *small->SolverLayer();
        RecordingInteraction fine;
        const CAnalysisDomain sweep = Sweep(1e6, 2e9, 20);
        o.kind = kind;
        ASSERT_TRUE(l.BuildMeshAndSolve(sweep, fine, o));
        const double maps = l.results.resultMaps.size() * static_cast<double>(l.mesh.gridPointCount) * 16.0;
        EXPECT_GE(EstimateSolveBytes(0.060, 0.040, small->epsilonR, sweep, o),
                  maps + l.LastSolve().threads * l.FactorBytes());
    }
    EXPECT_GT(AvailableMemoryBytes(), 0.0);
}

TEST(PlaneSolver, StartFrequencyZeroSolvesTheOtherFrequenciesAndSaysSoOnce) {
    auto b = Board(0.030, 0.020);
    CLayer& l = *b->SolverLayer();
    RecordingInteraction ui;
    // 0, 250 MHz, ... 1 GHz against the same sweep without DC.
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(0.0, 1e9, 4), ui, Threads(2)));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.events().back().messageKind, MessageKind::Information);
    const auto withDc = l.results;
    ASSERT_TRUE(l.BuildMeshAndSolve(Sweep(2.5e8, 1e9, 3), ui, Threads(2)));
    EXPECT_EQ(ui.messages().size(), 1u) << "no notice without DC";

    ASSERT_EQ(withDc.resultMaps.size(), 6u);
    const ComplexMatrix& dc = withDc.resultMaps[0];
    for (int r = 0; r < dc.Rows(); ++r)
        for (int c = 0; c < dc.Columns(); ++c) EXPECT_EQ(dc(r, c), kNoMetal);
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

}  // namespace
}  // namespace vantor
