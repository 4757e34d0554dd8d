#pragma once
// One design document opened by a command: read from FILE with the main
// form attached, written back in place or to -o OUT only when the command
// succeeded (a failed or cancelled workflow leaves the file as it was). A
// command that writes holds the lock of the file it writes from reading to
// saving, so parallel runs on one file wait for each other.

#include <chrono>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "Commands.h"
#include "CSParameterDB.h"
#include "CVtrDoc.h"
#include "DocumentFile.h"

namespace vantor::cli {

struct FileArgs {
    std::string file;
    std::string out;      // empty: write FILE in place
    bool writes = false;  // the command saves the design
};

/// How long a run waits for another run that changes the same file: 10 s,
/// or VANTOR_LOCK_WAIT seconds.
std::chrono::milliseconds LockWait();

/// Locks path for a run that writes it; false with the message shown and
/// the exit code set when another run holds it too long.
bool LockForWriting(DocumentLock& lock, const std::string& path, Context& ctx);

/// FILE (required) and, for commands that change the design, -o OUT.
void AddFileArgs(CLI::App* cmd, FileArgs& args, bool writes = true);

class DocumentSession {
public:
    explicit DocumentSession(Context& ctx) : ctx_(ctx) {}
    /// Loads the component folder first, so that a stored choke finds its
    /// data points. A missing folder is an empty database (a named one is
    /// checked by CheckNamedFolder first).
    bool LoadDatabase(const std::string& folder);
    /// Opens the file; on failure tells why and sets the exit code.
    bool Open(const FileArgs& args);
    /// Saves to OUT, or in place; on failure tells why and sets the exit code.
    bool Save();

    CVtrDoc& doc() { return *doc_; }
    const MainFormState& form() { return *doc_->MainForm(); }
    Context& ctx() { return ctx_; }
    /// Sets the exit code and returns false, for one-line failures.
    bool Fail(const std::string& message, int code = kExitFailed);

private:
    Context& ctx_;
    FileArgs args_;
    CSParameterDB database_;
    std::unique_ptr<CVtrDoc> doc_;
    std::unique_ptr<RecordView> formView_;  // the main form's record, the document's
    DocumentLock lock_;
};

}  // namespace vantor::cli
