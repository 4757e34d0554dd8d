#pragma once
// A plane solve as a job. The owning thread (the document's) takes a
// snapshot of what the solve reads when the job is made; a worker thread
// meshes and solves the snapshot; the owning thread then moves the new mesh
// and results into the plane in one step.
//
// Threads:
// - owning thread: the constructor, start(), pump(), commit(), run() and the
//   destructor. Only these touch the plane or the Interaction.
// - any thread: cancel(), done() and wait().
// - worker thread: reads only the snapshot and writes only the job's own
//   new mesh, results and messages, which nobody reads before it ended.
// The worker reports progress to the job's own reporter, which queues the
// calls under a lock; pump() makes them on the Interaction's reporter.
// Messages of the solve (a failure, a notice) are data until commit() shows
// them. Until commit() the plane keeps its previous mesh and results, whole;
// a cancelled or failed job never changes them. A commit swaps the new ones
// in, so the job then holds the replaced ones (for undo) until TakeReplaced()
// or its end.

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "CAnalysisDomain.h"
#include "PlaneMesh.h"
#include "PlaneResults.h"
#include "PlaneSolver.h"
#include "SolverOptions.h"

namespace vantor {

class CLayer;
class Interaction;

inline constexpr const char* kMessageNoBoard = "Die Lage gehört zu keiner Platine.";

/// What a solve puts into a plane and a commit replaces: the mesh, the
/// results and the plane's extents, m, they were made for.
struct PlaneSolution {
    PlaneMesh mesh;
    PlaneResults results;
    double planeLength = 0.0;
    double planeWidth = 0.0;
};

class SolveJob {
public:
    /// Takes the snapshot of layer (its board's stack-up and extents, its
    /// cut-outs and groups) and of domain. The layer must outlive the job.
    SolveJob(CLayer& layer, const CAnalysisDomain& domain, const SolverOptions& options = {});
    /// Cancels a running worker and waits for it; commits nothing.
    ~SolveJob();
    SolveJob(const SolveJob&) = delete;
    SolveJob& operator=(const SolveJob&) = delete;

    /// Starts the worker thread (once).
    void start();
    /// Asks the worker to stop before its next frequency.
    void cancel();
    /// True once the worker has ended (or was never needed).
    bool done() const;
    /// Blocks until the worker has ended.
    void wait();
    /// Waits up to wait for progress or the end, hands the pending progress
    /// to ui and passes on its cancel request. Returns done().
    bool pump(Interaction& ui, std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    /// After the end: the rest of the progress and the solve's messages go
    /// to ui; when the solve succeeded and nobody cancelled (ui is asked one
    /// last time), the new mesh and results replace the plane's. Returns
    /// whether they did. Waits for the worker when it is still running.
    bool commit(Interaction& ui);
    /// start(), pump until done, commit(): the synchronous solve.
    bool run(Interaction& ui);
    /// After a commit that replaced them: the plane's earlier mesh, results
    /// and extents, moved out once; nothing otherwise.
    std::optional<PlaneSolution> TakeReplaced();

private:
    struct Shared;
    struct Snapshot;
    void Work();

    CLayer& layer_;
    std::unique_ptr<Snapshot> snapshot_;
    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    bool started_ = false;
    bool committed_ = false;
    bool holdsReplaced_ = false;  // the snapshot's mesh and results are the plane's old ones
};

}  // namespace vantor
