// Replays the fuzzer's corpus: saved documents and inputs that once failed
// must load or fail with a message, never crash.

#include <gtest/gtest.h>

#include <filesystem>

#include "CVtrDoc.h"
#include "DocumentFile.h"
#include "RecordingInteraction.h"

namespace vantor {
namespace {

TEST(DocumentFuzzCorpus, EveryInputLoadsOrFailsCleanly) {
    RegisterModelClasses();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VANTOR_DOC_CORPUS_DIR)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        RecordingInteraction ui;
        CSParameterDB db;
        CVtrDoc doc(db, ui);
        RecordView form(std::make_unique<MainFormState>());
        doc.AddView(form);
        const CVtrDoc::OpenResult r = doc.OpenFile(entry.path());
        if (!r.ok()) {
            EXPECT_FALSE(r.message.empty()) << entry.path();
        }
    }
    EXPECT_GE(files, 3) << "the corpus holds saved documents";
}

}  // namespace
}  // namespace vantor
