#include "DocumentSession.h"

#include "DesignOptions.h"

#include <cstdlib>
#include <filesystem>

namespace vantor::cli {

std::chrono::milliseconds LockWait() {
    const char* text = std::getenv("VANTOR_LOCK_WAIT");
    char* end = nullptr;
    const double seconds = text != nullptr ? std::strtod(text, &end) : 0.0;
    if (text == nullptr || end == text || *end != '\0' || !(seconds >= 0.0 && seconds < 1e6))
        return std::chrono::seconds(10);
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0));
}

bool LockForWriting(DocumentLock& lock, const std::string& path, Context& ctx) {
    std::string error;
    switch (lock.Acquire(path, LockWait(), error)) {
        case DocumentLock::Outcome::Locked:
        case DocumentLock::Outcome::NoFile: return true;
        case DocumentLock::Outcome::Busy:
        case DocumentLock::Outcome::Failed: break;
    }
    ctx.ui.message(error, MessageKind::Error);
    ctx.exitCode = kExitFailed;
    return false;
}

void AddFileArgs(CLI::App* cmd, FileArgs& args, bool writes) {
    args.writes = writes;
    cmd->add_option("FILE", args.file, "Document file (.vnt)")->required();
    if (writes) cmd->add_option("-o,--output", args.out, "Write the result here instead of FILE");
}

namespace {

/// The component folder read on the side of a command: its file messages
/// are shown, its progress (a line per file) would only bury the command's
/// own output.
class WithoutProgress : public Interaction {
public:
    explicit WithoutProgress(Interaction& ui) : ui_(ui) {}
    void message(const std::string& text, MessageKind kind) override { ui_.message(text, kind); }
    Answer ask(const std::string& text, Buttons buttons) override { return ui_.ask(text, buttons); }

private:
    Interaction& ui_;
};

}  // namespace

bool DocumentSession::LoadDatabase(const std::string& folder) {
    WithoutProgress quiet(ctx_.ui);
    database_.LoadDatabase(ComponentFolder(folder), quiet);
    return true;
}

bool DocumentSession::Open(const FileArgs& args) {
    args_ = args;
    // The file that will be written is locked before the design is read, so
    // that no other run's change falls between reading and saving.
    const std::string target = args.out.empty() ? args.file : args.out;
    if (args.writes && !LockForWriting(lock_, target, ctx_)) return false;
    // A file that may not be replaced is named before any work is done.
    std::string refusal;
    if (args.writes && !CheckSaveTarget(target, refusal)) return Fail(refusal);
    RegisterModelClasses();
    doc_ = std::make_unique<CVtrDoc>(database_, ctx_.ui);
    formView_ = std::make_unique<RecordView>(doc_->MainFormRecord());
    doc_->AddView(*formView_);
    const CVtrDoc::OpenResult r = doc_->OpenFile(args.file);
    if (r.ok()) return true;
    // An unknown version was shown already; a script must not go on with
    // the defaults.
    if (r.kind == CVtrDoc::OpenResult::Failed) ctx_.ui.message(r.message, MessageKind::Error);
    ctx_.exitCode = kExitFailed;
    return false;
}

bool DocumentSession::Save() {
    std::string error;
    if (doc_->SaveFile(args_.out.empty() ? args_.file : args_.out, error)) return true;
    return Fail(error);
}

bool DocumentSession::Fail(const std::string& message, int code) {
    ctx_.ui.message(message, MessageKind::Error);
    ctx_.exitCode = code;
    return false;
}

}  // namespace vantor::cli
