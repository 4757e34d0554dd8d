// vantor-cli new / info: design documents without a GUI.

#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "ShownName.h"
#include "CVtrDoc.h"
#include "DocumentFile.h"
#include "DocumentSession.h"
#include "MainFormLogic.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor::cli {

namespace {

nlohmann::json Elements(const CCGroup& g) {
    nlohmann::json list = nlohmann::json::array();
    for (int i = 0; i < g.ElementCount(); ++i) {
        const CCapa& c = g.Capacitor(i);
        list.push_back({{"capacitance", c.capacitance},
                        {"package", c.shape.name},
                        {"package_type", c.shape.packageType},
                        {"auto", c.autoParasitics != 0 ? 1 : 0}});
    }
    return list;
}

nlohmann::json DocumentJson(const CVtrDoc& doc, const MainFormState& form) {
    const CCircuitBoard& b = doc.board();
    const CLayer* plane = doc.plane();
    nlohmann::json j;
    j["analysis"] = {{"start", doc.analysisDomain().startFrequency},
                     {"stop", doc.analysisDomain().stopFrequency},
                     {"steps", doc.analysisDomain().frequencySteps},
                     {"resolution", doc.analysisDomain().resolution}};
    j["board"] = {{"length", b.length},
                  {"width", b.width},
                  {"spacing", b.planeSpacing},
                  {"depth", b.mountingDepth},
                  {"er", b.epsilonR},
                  {"tan_delta", b.tanDelta},
                  {"conductivity", b.conductivity},
                  {"metal", b.metalThickness},
                  {"vias", b.viasPerSide},
                  {"via_spacing", b.viaSpacing},
                  {"via_diameter", b.viaDiameter},
                  {"max_frequency", b.maxFrequency},
                  {"active_layer", b.currentLayer != nullptr ? b.currentLayer->name : std::string()}};
    const CCGroup& o = doc.optimisationGroup();
    j["optimisation"] = {{"fo", o.fo},          {"zmin_fu", o.zminFu}, {"zmax_fu", o.zmaxFu},
                         {"zmin_fo", o.zminFo}, {"zmax_fo", o.zmaxFo}, {"elements", Elements(o)}};
    nlohmann::json groups = nlohmann::json::array(), probes = nlohmann::json::array(),
                   cutouts = nlohmann::json::array(), labels = nlohmann::json::array();
    int nx = 0, ny = 0;
    if (plane != nullptr) {
        for (const auto& g : plane->capacitorGroups)
            groups.push_back({{"name", g->name}, {"x", g->posX}, {"y", g->posY}, {"elements", Elements(*g)}});
        for (const auto& p : plane->probes) probes.push_back({{"name", p->name}, {"x", p->x}, {"y", p->y}});
        for (const auto& c : plane->cutOuts)
            cutouts.push_back({{"name", c->name},
                               {"x1", c->x1},
                               {"y1", c->y1},
                               {"x2", c->x2},
                               {"y2", c->y2},
                               {"inactive", c->inactive}});
        for (const auto& l : plane->results.resultLabels) labels.push_back(l);
        if (!plane->results.resultMaps.empty()) {
            ny = plane->results.resultMaps.front().Rows();
            nx = plane->results.resultMaps.front().Columns();
        }
    }
    j["groups"] = groups;
    j["probes"] = probes;
    j["cutouts"] = cutouts;
    j["results"] = {{"nx", nx}, {"ny", ny}, {"labels", labels}};
    const CFilter& f = doc.filter();
    nlohmann::json candidates = nlohmann::json::array();
    for (const CSParaSet* s : f.candidates) candidates.push_back(s->name);
    j["filter"] = {{"f_lower", f.fLower},
                   {"f_upper", f.fUpper},
                   {"min_attenuation", f.minAttenuation},
                   {"max_current", f.maxSupplyCurrent},
                   {"use_group", f.useGroup},
                   {"received_group", doc.filterReceivedGroup()},
                   {"candidates", candidates},
                   {"selected", f.selected},
                   {"group_elements", Elements(f.group)}};
    j["form"] = {{"current_group", form.currentGroupName},
                 {"e6", form.e6 ? 1 : 0},
                 {"transfer_state", form.transferState}};
    j["flags"] = {{"graph_window_open", doc.graphWindowOpen()},
                  {"layer_editor_open", doc.layerEditorOpen()},
                  {"parasitics_automatic", doc.parasiticsAutomatic()}};
    return j;
}

void PrintGroup(const char* title, const CCGroup& g) {
    const int n = g.CapacitorCount();
    std::printf("%s: %d Kondensatoren\n", title, n);
    // C1 is the last element, as on the main form and in the report.
    for (int i = 1; i <= n; ++i) {
        const CCapa& c = g.Capacitor(SlotElement(n, i));
        std::printf("  C%d= %s %s\n", i, FormatValue(c.capacitance, "F").c_str(), c.shape.name.c_str());
    }
}

void PrintText(const CVtrDoc& doc, const MainFormState& form) {
    const CCircuitBoard& b = doc.board();
    const CLayer* plane = doc.plane();
    std::printf("Platine: Länge %s, Breite %s, Abstand Vcc <> GND %s, Epsilon r %.1f\n",
                FormatValue(b.length, "m").c_str(), FormatValue(b.width, "m").c_str(),
                FormatValue(b.planeSpacing, "m").c_str(), b.epsilonR);
    std::printf("Aktive Lage: %s\n", b.currentLayer != nullptr ? Shown(b.currentLayer->name).c_str() : "(keine)");
    std::printf("Analyse: %s bis %s, %d Schritte, Auflösung %g\n",
                FormatValue(doc.analysisDomain().startFrequency, "Hz").c_str(),
                FormatValue(doc.analysisDomain().stopFrequency, "Hz").c_str(), doc.analysisDomain().frequencySteps,
                doc.analysisDomain().resolution);
    std::printf("Obere Grenzfrequenz: %s\n", FormatValue(doc.optimisationGroup().fo, "Hz").c_str());
    PrintGroup("Optimierung", doc.optimisationGroup());
    if (plane != nullptr) {
        for (const auto& g : plane->capacitorGroups) {
            std::printf("Gruppe %s    Position: X=%s,Y=%s\n", Shown(g->name).c_str(), FormatValue(g->posX, "m").c_str(),
                        FormatValue(g->posY, "m").c_str());
            PrintGroup("  Gruppe", *g);
        }
        for (const auto& p : plane->probes)
            std::printf("Sonde %s: X=%s,Y=%s\n", Shown(p->name).c_str(), FormatValue(p->x, "m").c_str(),
                        FormatValue(p->y, "m").c_str());
        for (const auto& c : plane->cutOuts)
            std::printf("Aussparung %s: %s,%s bis %s,%s%s\n", Shown(c->name).c_str(), FormatValue(c->x1, "m").c_str(),
                        FormatValue(c->y1, "m").c_str(), FormatValue(c->x2, "m").c_str(),
                        FormatValue(c->y2, "m").c_str(), c->inactive ? " (inaktiv)" : "");
        std::printf("Ergebnisse: %zu Felder\n", plane->results.resultMaps.size());
    }
    const CFilter& f = doc.filter();
    std::printf("Filter: Fu %s, Fo %s, Dämpfung %s, Imax %s\n", FormatValue(f.fLower, "Hz").c_str(),
                FormatValue(f.fUpper, "Hz").c_str(), FormatValue(f.minAttenuation, "dB").c_str(),
                FormatValue(f.maxSupplyCurrent, "A").c_str());
    if (const CSParaSet* choke = f.SelectedChoke()) std::printf("Drossel: %s\n", Shown(choke->name).c_str());
    std::printf("Aktuelle Gruppe: %s\n", Shown(form.currentGroupName).c_str());
}

}  // namespace

void RegisterDocumentCommands(CLI::App& app, Context& ctx) {
    auto out = std::make_shared<std::string>();
    auto force = std::make_shared<bool>(false);
    CLI::App* create = app.add_subcommand("new", "Create a new design as \"Neu\" does and save it");
    create->add_option("OUT", *out, "Document file to write (.vnt)")->required();
    create->add_flag("--force", *force, "Replace an existing file");
    create->callback([out, force, &ctx] {
        // Replacing a design is never the answer a script gets by default.
        if (!*force && StampOf(*out).exists) {
            ctx.ui.message("Die Datei " + *out + " besteht bereits. Sie bleibt unverändert; --force ersetzt sie.",
                           MessageKind::Error);
            ctx.exitCode = kExitFailed;
            return;
        }
        DocumentLock lock;
        if (*force && !LockForWriting(lock, *out, ctx)) return;
        RegisterModelClasses();
        CSParameterDB database;
        CVtrDoc doc(database, ctx.ui);
        RecordView form(doc.MainFormRecord());
        doc.AddView(form);
        doc.OnNewDocument();
        std::string error;
        SaveOptions options;
        options.replace = *force;
        if (!doc.SaveFile(*out, error, options)) {
            ctx.ui.message(error, MessageKind::Error);
            ctx.exitCode = kExitFailed;
        }
    });

    auto in = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    CLI::App* info = app.add_subcommand("info", "Summarise a design document");
    info->add_option("FILE", *in, "Document file to read (.vnt)")->required();
    info->add_flag("--json", *json, "Print one JSON object");
    info->callback([in, json, &ctx] {
        RegisterModelClasses();
        CSParameterDB database;
        CVtrDoc doc(database, ctx.ui);
        RecordView formView(doc.MainFormRecord());
        doc.AddView(formView);
        const CVtrDoc::OpenResult r = doc.OpenFile(*in);
        if (!r.ok()) {
            // The unknown version was shown already; a script must not go on
            // with the defaults.
            if (r.kind == CVtrDoc::OpenResult::Failed) ctx.ui.message(r.message, MessageKind::Error);
            ctx.exitCode = kExitFailed;
            return;
        }
        const MainFormState& form = *doc.MainForm();
        if (*json)
            std::printf("%s\n", DocumentJson(doc, form).dump(2).c_str());
        else
            PrintText(doc, form);
    });
}

}  // namespace vantor::cli
