#include "DocumentSession.h"

#include <filesystem>

namespace vantor::cli {

void AddFileArgs(CLI::App* cmd, FileArgs& args, bool writes) {
    cmd->add_option("FILE", args.file, "Document file (.vnt)")->required();
    if (writes) cmd->add_option("-o,--output", args.out, "Write the result here instead of FILE");
}

bool DocumentSession::LoadDatabase(const std::string& folder) {
    database_.LoadDatabase(folder, ctx_.ui);
    return true;
}

bool DocumentSession::Open(const FileArgs& args) {
    args_ = args;
    RegisterModelClasses();
    doc_ = std::make_unique<CVtrDoc>(database_, ctx_.ui);
    doc_->AddView(formView_);
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
