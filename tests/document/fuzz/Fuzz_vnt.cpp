// libFuzzer target of the document reader: any bytes must load or fail with
// an ArchiveError, never crash, hang or allocate beyond the input. A loaded
// document must write bytes that read back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "../DocumentFixtures.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    test::Env env;
    test::MoreViews views(env.doc);
    try {
        if (test::Load(env.doc, test::Bytes(data, data + size)) != CVtrDoc::LoadStatus::Loaded) return 0;
    } catch (const ArchiveError&) {
        return 0;
    }
    // What was read must be usable: the current group, the probe curves.
    env.doc.currentGroup();
    if (const CLayer* plane = env.doc.board().currentLayer) {
        int valid = 0;
        for (const auto& p : plane->probes) plane->ImpedanceAt(p->x, p->y, 1e8, valid);
    }
    const test::Bytes first = test::Store(env.doc);
    test::Env again;
    test::MoreViews againViews(again.doc);
    test::Load(again.doc, first);
    if (test::Store(again.doc) != first) std::abort();
    return 0;
}
