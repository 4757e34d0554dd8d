#pragma once
// How a long job reports how far it is and learns that the person wants it
// stopped: one interface for the solver's sweep, the component loader, the
// optimiser and every display of progress (the desktop program's window,
// the command-line tool's line, the tests' recording).

#include <string>

namespace vantor {

/// The two bars of a progress display: the upper one covers the whole job,
/// the lower one the stages of the current step.
enum class ProgressBar { Upper, Lower };

/// Receives a job's progress. This base shows nothing and never asks to
/// stop; a display overrides what it shows. A reporter is called from one
/// thread at a time unless an implementation says otherwise (the solve
/// job's own reporter is the one the worker thread calls).
class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;

    /// Opens the display with a title; both bars start empty.
    virtual void begin(const std::string& /*title*/) {}
    virtual void range(ProgressBar /*bar*/, int /*maximum*/) {}
    virtual void value(ProgressBar /*bar*/, int /*value*/) {}
    /// The line under the bars: the current frequency, file or step.
    virtual void text(const std::string& /*text*/) {}
    /// Closes the display.
    virtual void end() {}

    /// Polled between units of work (solver frequencies, optimiser value
    /// changes); true asks the running job to stop.
    virtual bool cancelRequested() { return false; }
};

/// Keeps a progress display open for the lifetime of the scope.
class ProgressScope {
public:
    ProgressScope(ProgressReporter& progress, const std::string& title) : progress_(progress) {
        progress_.begin(title);
    }
    ~ProgressScope() { progress_.end(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    ProgressReporter& progress_;
};

}  // namespace vantor
