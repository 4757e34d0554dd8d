// libFuzzer target of the document reader: any bytes must load or fail with
// an ArchiveError, never crash, hang or allocate beyond the input. A loaded
// document must write bytes that read back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "CVtrDoc.h"
#include "RecordingInteraction.h"
#include "CLayer.h"

namespace {

struct Views {
    explicit Views(vantor::CVtrDoc& doc)
        : form(doc.MainFormRecord()),
          graph(std::make_unique<vantor::GraphViewRecord>()),
          editor(std::make_unique<vantor::LayerEditorRecord>()) {
        doc.AddView(form);
        doc.AddView(graph);
        doc.AddView(editor);
    }
    vantor::RecordView form, graph, editor;
};

std::vector<std::uint8_t> Store(vantor::CVtrDoc& doc) {
    vantor::CArchive ar;
    doc.Store(ar);
    return ar.Bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool registered = (vantor::RegisterModelClasses(), true);
    (void)registered;
    vantor::RecordingInteraction ui;
    vantor::CSParameterDB db;
    vantor::CVtrDoc doc(db, ui);
    Views views(doc);
    try {
        vantor::CArchive ar(std::vector<std::uint8_t>(data, data + size));
        if (doc.Load(ar) != vantor::CVtrDoc::LoadStatus::Loaded) return 0;
    } catch (const vantor::ArchiveError&) {
        return 0;
    }
    // What was read must be usable: the current group, the probe curves.
    doc.currentGroup();
    if (vantor::CLayer* plane = doc.board().currentLayer) {
        int valid = 0;
        for (const auto& p : plane->probes) plane->ImpedanceAt(p->x, p->y, 1e8, valid);
    }
    const std::vector<std::uint8_t> first = Store(doc);
    vantor::CVtrDoc again(db, ui);
    Views againViews(again);
    vantor::CArchive ar(first);
    again.Load(ar);
    if (Store(again) != first) std::abort();
    return 0;
}
