#pragma once
// Shared fixtures of the document tests. The documents with known contents
// are built without the optimiser or the solver so that their bytes depend
// on the format only.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "DesignAccess.h"
#include "CLayer.h"
#include "CVtrDoc.h"
#include "FieldDialog.h"
#include "RecordingInteraction.h"

namespace vantor::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes Store(CVtrDoc& doc) {
    CArchive ar;
    doc.Store(ar);
    return ar.Bytes();
}

/// Reads bytes into doc.
inline CVtrDoc::LoadStatus Load(CVtrDoc& doc, const Bytes& bytes) {
    CArchive ar(bytes);
    return doc.Load(ar);
}

/// Where needle first occurs in hay; npos when nowhere.
inline std::size_t Find(const Bytes& hay, const std::string& needle) {
    const auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
    return it == hay.end() ? std::string::npos : static_cast<std::size_t>(it - hay.begin());
}

/// A dialog shown once: fill sets its fields (none: cancel); it confirms
/// when they check out.
template <class Fields>
struct OnePass : FieldDialog<Fields> {
    explicit OnePass(std::function<void(Fields&)> fillIn = {}) : fill(std::move(fillIn)) {}
    bool exec(Fields& f) override {
        if (!fill || std::exchange(shown, true)) return false;
        fill(f);
        return !f.Check();
    }
    std::function<void(Fields&)> fill;
    bool shown = false;
};

/// The graph and layer-editor views, attached after whatever doc already has.
struct MoreViews {
    explicit MoreViews(CVtrDoc& doc) { doc.AddView(graph), doc.AddView(editor); }
    RecordView graph{std::make_unique<GraphViewRecord>()}, editor{std::make_unique<LayerEditorRecord>()};
};

/// A capacitor group with a plane entry and n capacitors.
inline CCGroup MakeGroup(const std::string& name, int n, double x, double y) {
    CCGroup g;
    g.name = name, g.fo = 1.5e9, g.posX = x, g.posY = y;
    auto plane = std::make_unique<CCapa>();
    plane->autoParasitics = 0, plane->capacitance = 5.5e-9;
    plane->shape.packageType = CCapShape::kPlaneEntryType, plane->shape.name = "Flächenkapazität";
    g.Append(std::move(plane));
    for (int i = 1; i <= n; ++i) g.Append(g.NewCapacitor(1e-9 * i * i));
    return g;
}

/// Fills a document with groups, cut-outs, probes, mesh objects, results and
/// a chosen choke from db (which must hold a set named "L-Test").
inline void FillRichDocument(CVtrDoc& doc, CSParameterDB& db) {
    DesignAccess::AnalysisDomain(doc).stopFrequency = 5e8, DesignAccess::AnalysisDomain(doc).frequencySteps = 3,
    DesignAccess::Board(doc).epsilonR = 4.5;
    DesignAccess::OptimisationGroup(doc).Assign(MakeGroup("", 3, 0.05, 0.035));
    CLayer& vcc = *DesignAccess::Board(doc).currentLayer;
    vcc.AddGroupAtCentre(MakeGroup("Gruppe1", 2, 0, 0)).name = "Gruppe1";
    CCGroup& g2 = vcc.AddGroupAtCentre(MakeGroup("Gruppe2", 10, 0, 0));
    g2.posX = 0.01, g2.posY = 0.02;
    vcc.cutOuts.push_back(std::make_unique<CCutOut>(0.01, 0.01, 0.02, 0.03, "Cutout1"));
    vcc.cutOuts.push_back(std::make_unique<CCutOut>(0.05, 0.04, 0.06, 0.05, "Cutout2 äöü"));
    vcc.cutOuts.back()->inactive = 1;
    vcc.probes.push_back(std::make_unique<CProbe>(0.09, 0.06, "Sonde 3"));
    // A 3 x 2 mesh with ports and two result maps.
    vcc.mesh.cellSize = 0.04, vcc.mesh.nx = 3, vcc.mesh.ny = 2, vcc.mesh.gridPointCount = 6, vcc.mesh.activeCount = 5;
    for (int k = 1; k <= 6; ++k) {
        const int r = (k - 1) / 3, c = (k - 1) % 3;
        vcc.mesh.gridNodes.push_back(std::make_unique<CNode>(k, k == 6 ? 0 : 1, r, c, c * 0.04, r * 0.04));
        if (k == 6) continue;
        auto& port = vcc.mesh.nodePorts.emplace_back(std::make_unique<CPort>(k, vcc.mesh.gridNodes.back().get()));
        port->value1 = 0.25 * k, port->value2 = -0.5 * k;
    }
    for (int e = 0; e < 2; ++e) {
        ComplexMatrix map(2, 3, kNoMetal);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c) map.Set(r, c, {0.1 * (e + 1) + r, -0.01 * c});
        vcc.results.resultMaps.push_back(map);
    }
    vcc.results.resultLabels = {"100MHz", "Maximum"};
    DesignAccess::Filter(doc).group.Assign(MakeGroup("Gruppe1", 2, 0.03, 0.02));
    DesignAccess::FilterReceivedGroup(doc) = 1, DesignAccess::Filter(doc).candidates = {db.Find("L-Test")},
    DesignAccess::Filter(doc).selected = 0;
    DesignAccess::Filter(doc).useGroup = 0, DesignAccess::LayerEditorOpen(doc) = 1,
    DesignAccess::ParasiticsAutomatic(doc) = 0;
}

/// The choke the rich document chooses.
inline std::unique_ptr<CSParaSet> TestChoke() {
    auto s = std::make_unique<CSParaSet>();
    s->name = "L-Test", s->maker = "Würth", s->partNumber = "742 792 040", s->description = "Ferrit";
    s->dimensions = "0805", s->datasheet = "datasheets/l-test.pdf", s->formatCode = 3;
    s->fMin = 1e6, s->fMax = 1e9, s->pointCount = 2, s->refImpedance = 50, s->maxCurrent = 0.5, s->nominalL = 1e-6;
    s->points = {{1e6, {0.1, 0}, {0.9, 0}, {0.9, 0}, {0.1, 0}}, {1e9, {0.8, 0}, {0.1, 0}, {0.1, 0}, {0.8, 0}}};
    return s;
}

/// A document with the main form attached; with choke, the database holds TestChoke().
struct Env {
    explicit Env(bool choke = false) {
        if (choke) db.AddSet(TestChoke());
        doc.AddView(form);
    }
    bool registered = (RegisterModelClasses(), true);
    RecordingInteraction ui;
    CSParameterDB db;
    CVtrDoc doc{db, ui};
    RecordView form{doc.MainFormRecord()};
};

/// The rich document (with the choke in the database); current names the main form's current group.
struct RichEnv : Env {
    explicit RichEnv(const char* current = "") : Env(true) {
        DesignAccess::MainForm(doc)->currentGroupName = current;
        FillRichDocument(doc, db);
    }
};

}  // namespace vantor::test
