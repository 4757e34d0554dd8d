// The fuzzers' corpus read through the ordinary file readers: every set read
// is consistent in itself. (Its replay through the fuzz target, which also
// runs the choke search over the sets, is a test of its own.)

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "CSParameterDB.h"
#include "ComponentFiles.h"
#include "RecordingInteraction.h"

namespace vantor {
namespace {

TEST(FuzzCorpus, FilesGiveConsistentSetsOrAMessage) {
    for (const char* kind : {"s2p", "flp"}) {
        std::vector<std::filesystem::path> files;
        std::error_code ec;
        for (const auto& e :
             std::filesystem::directory_iterator(std::filesystem::path(VANTOR_FUZZ_CORPUS_DIR) / kind, ec))
            if (e.is_regular_file()) files.push_back(e.path());
        ASSERT_FALSE(files.empty()) << "seed corpus missing in " << VANTOR_FUZZ_CORPUS_DIR << "/" << kind;
        for (const auto& file : files) {
            CSParameterDB db;
            RecordingInteraction ui;
            const bool s2p = kind[0] == 's';
            const int added = s2p ? ReadS2pFile(file, db, ui) : ReadFlpFile(file, db, ui);
            EXPECT_EQ(added, db.Count()) << file;
            if (s2p) {
                EXPECT_EQ(ui.messages().size(), added == 1 ? 0u : 1u) << file;
            }
            // Whatever a set came from, it must be consistent in itself.
            for (const auto& s : db.Sets()) {
                EXPECT_EQ(s->pointCount, static_cast<int>(s->points.size())) << file;
                for (std::size_t i = 1; i < s->points.size(); ++i)
                    EXPECT_GT(s->points[i].freq, s->points[i - 1].freq) << file;
                if (!s->points.empty()) {
                    EXPECT_EQ(s->fMin, s->points.front().freq) << file;
                    EXPECT_EQ(s->fMax, s->points.back().freq) << file;
                }
                EXPECT_EQ(s->refImpedance, 50.0) << file;
            }
        }
    }
}

}  // namespace
}  // namespace vantor
