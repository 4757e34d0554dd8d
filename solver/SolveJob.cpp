#include "SolveJob.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "BoardStackup.h"
#include "CCGroup.h"
#include "CLayer.h"
#include "Interaction.h"
#include "PlaneMesh.h"
#include "PlaneResults.h"
#include "SolveMemory.h"
#include "Values.h"

namespace vantor {

namespace {

const char* const kCancelled = "Die Analyse wurde abgebrochen.";

// A progress call the worker made, waiting to be made again on the owning
// thread's reporter.
using PendingCall = std::function<void(ProgressReporter&)>;

void Replay(const std::vector<PendingCall>& calls, ProgressReporter& to) {
    for (const PendingCall& call : calls) call(to);
}

}  // namespace

// What the worker and the owning thread share: the worker's reporter, which
// queues its calls, the end flag and the cancel request. Safe to call from
// any thread.
struct SolveJob::Shared : ProgressReporter {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<PendingCall> pending;
    bool ended = false;
    std::atomic<bool> cancelled{false};

    void Post(PendingCall call) {
        {
            const std::lock_guard<std::mutex> guard(lock);
            pending.push_back(std::move(call));
        }
        changed.notify_all();
    }
    void begin(const std::string& title) override {
        Post([title](ProgressReporter& to) { to.begin(title); });
    }
    void range(ProgressBar bar, int maximum) override {
        Post([bar, maximum](ProgressReporter& to) { to.range(bar, maximum); });
    }
    void value(ProgressBar bar, int value) override {
        Post([bar, value](ProgressReporter& to) { to.value(bar, value); });
    }
    void text(const std::string& text) override {
        Post([text](ProgressReporter& to) { to.text(text); });
    }
    void end() override {
        Post([](ProgressReporter& to) { to.end(); });
    }
    bool cancelRequested() override { return cancelled.load(); }
};

// The solve's inputs, copied on the owning thread, and its outputs, written
// by the worker only.
struct SolveJob::Snapshot {
    bool hasBoard = false;
    BoardStackup stackup;
    CAnalysisDomain domain;
    SolverOptions options;
    OwnedList<CCutOut> cutOuts;
    OwnedList<CCGroup> groups;

    PlaneMesh mesh;
    PlaneResults results;
    std::vector<SolveMessage> messages;
    bool solved = false;
    double replacedLength = 0.0, replacedWidth = 0.0;  // m, the plane's before a commit
};

SolveJob::SolveJob(CLayer& layer, const CAnalysisDomain& domain, const SolverOptions& options)
    : layer_(layer), snapshot_(std::make_unique<Snapshot>()), shared_(std::make_shared<Shared>()) {
    Snapshot& s = *snapshot_;
    s.hasBoard = layer.stackup() != nullptr;
    if (s.hasBoard) s.stackup = *layer.stackup();
    s.domain = domain;
    s.options = options;
    for (const auto& c : layer.cutOuts) s.cutOuts.push_back(std::make_unique<CCutOut>(*c));
    // The copies read the snapshot's stack-up, never the live board.
    for (const auto& g : layer.capacitorGroups) {
        auto copy = std::make_unique<CCGroup>(&s.stackup);
        copy->Assign(*g);
        s.groups.push_back(std::move(copy));
    }
}

SolveJob::~SolveJob() {
    if (worker_.joinable()) {
        cancel();
        worker_.join();
    }
}

void SolveJob::start() {
    if (started_) return;
    started_ = true;
    worker_ = std::thread([this] { Work(); });
}

void SolveJob::cancel() { shared_->cancelled = true; }

bool SolveJob::done() const {
    const std::lock_guard<std::mutex> guard(shared_->lock);
    return shared_->ended;
}

void SolveJob::wait() {
    std::unique_lock<std::mutex> guard(shared_->lock);
    shared_->changed.wait(guard, [&] { return shared_->ended; });
}

void SolveJob::Work() {
    Snapshot& s = *snapshot_;
    auto fail = [&](const std::string& text) { s.messages.push_back({text, MessageKind::Error}); };
    try {
        const SolverOptions& o = s.options;
        const CAnalysisDomain& d = s.domain;
        const BoardStackup& b = s.stackup;
        double h = 0.0, columns = 0.0, rows = 0.0;
        PlaneMesh mesh;
        if (!s.hasBoard) {
            fail(kMessageNoBoard);
        } else if (!PlaneMesh::GridFor(b.length, b.width, b.epsilonR, d.stopFrequency, d.resolution, h, columns,
                                       rows)) {
            fail("Aus Stopfrequenz " + FormatValue(d.stopFrequency, "Hz") + " und Auflösung " +
                 FormatLimit(d.resolution) +
                 " lässt sich kein Gitter bilden.\nDie bisherigen Ergebnisse bleiben erhalten.");
        } else if (const double room = o.memoryLimit > 0.0 ? std::min(o.memoryLimit, AvailableMemoryBytes())
                                                           : AvailableMemoryBytes();
                   !(EstimateSolveBytes(b.length, b.width, b.epsilonR, d, o) <= room)) {
            // Refused before the first allocation: nothing to undo.
            fail(SolverFailureText(kNotEnoughMemory));
        } else if (mesh.Build(b.length, b.width, b.epsilonR, s.cutOuts, d.stopFrequency, d.resolution)) {
            s.solved = SolveSweep(PlaneSystem{mesh, b, s.groups}, d, o, *shared_, s.results, s.messages);
            if (s.solved) s.mesh = std::move(mesh);
        }
    } catch (const std::bad_alloc&) {
        s.solved = false;
        fail(SolverFailureText(kNotEnoughMemory));
    } catch (const std::exception& e) {
        s.solved = false;
        fail(SolverFailureText(std::string("Interner Fehler: ") + e.what()));
    }
    {
        const std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->ended = true;
    }
    shared_->changed.notify_all();
}

bool SolveJob::pump(Interaction& ui, std::chrono::milliseconds wait) {
    std::vector<PendingCall> calls;
    bool ended = false;
    {
        std::unique_lock<std::mutex> guard(shared_->lock);
        if (wait.count() > 0 && started_)
            shared_->changed.wait_for(guard, wait, [&] { return shared_->ended || !shared_->pending.empty(); });
        calls.swap(shared_->pending);
        ended = shared_->ended;
    }
    ProgressReporter& progress = ui.progress();
    Replay(calls, progress);
    if (!ended && progress.cancelRequested()) cancel();
    return ended;
}

bool SolveJob::commit(Interaction& ui) {
    if (committed_) return false;
    committed_ = true;
    start();
    worker_.join();
    std::vector<PendingCall> calls;
    {
        const std::lock_guard<std::mutex> guard(shared_->lock);
        calls.swap(shared_->pending);
    }
    Replay(calls, ui.progress());

    Snapshot& s = *snapshot_;
    // A cancel that came after the last frequency still cancels.
    if (s.solved && (shared_->cancelled || ui.progress().cancelRequested())) {
        s.solved = false;
        s.messages = {{SolverFailureText(kCancelled), MessageKind::Error}};
    }
    if (s.solved) {
        // Swapped, not assigned: the old ones stay whole in the job.
        std::swap(layer_.mesh, s.mesh);
        std::swap(layer_.results, s.results);
        s.replacedLength = std::exchange(layer_.planeLength, s.stackup.length);
        s.replacedWidth = std::exchange(layer_.planeWidth, s.stackup.width);
        holdsReplaced_ = true;
    }
    for (const SolveMessage& m : s.messages) ui.message(m.text, m.kind);
    return s.solved;
}

std::optional<PlaneSolution> SolveJob::TakeReplaced() {
    if (!std::exchange(holdsReplaced_, false)) return std::nullopt;
    Snapshot& s = *snapshot_;
    return PlaneSolution{std::move(s.mesh), std::move(s.results), s.replacedLength, s.replacedWidth};
}

bool SolveJob::run(Interaction& ui) {
    start();
    while (!pump(ui, std::chrono::milliseconds(100))) {
    }
    return commit(ui);
}

}  // namespace vantor
