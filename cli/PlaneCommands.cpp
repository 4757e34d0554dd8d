// vantor-cli group | probe | cutout | filter: what the main form and the
// layer editor do to the objects of a design.

#include <cstdio>
#include <memory>
#include <sstream>

#include "DesignOptions.h"
#include "DocumentSession.h"
#include "ShownName.h"
#include "FilterFields.h"
#include "MainFormLogic.h"
#include "PlaneEdits.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor::cli {

namespace {

struct ObjectArgs {
    FileArgs file;
    std::string name;
    bool named = false;  // a name was given, even an empty one
    std::string x, y;    // engineering texts, m
    std::string values;
    int slot = 0;
    std::string x1, y1, x2, y2;
};

// Saves after an edit the command did.
void SaveEdited(DocumentSession& s, const std::string& done) {
    if (s.Save()) std::printf("%s\n", done.c_str());
}

std::string Position(double x, double y) { return "X=" + FormatValue(x, "m") + ",Y=" + FormatValue(y, "m"); }

const CCGroup* NamedGroup(DocumentSession& s, const std::string& name) {
    const CLayer* plane = s.doc().plane();
    const CCGroup* g = plane != nullptr ? plane->FindGroupByName(name) : nullptr;
    if (g == nullptr) s.Fail("Gruppe " + Shown(name) + " ist nicht vorhanden");
    return g;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) items.push_back(item);
    return items;
}

// A sub-command with FILE and -o, run on an opened document.
template <class Run>
CLI::App* Sub(CLI::App* parent, const char* name, const char* help, std::shared_ptr<ObjectArgs> a, Context& ctx,
              Run run) {
    CLI::App* cmd = parent->add_subcommand(name, help);
    AddFileArgs(cmd, a->file);
    cmd->callback([a, &ctx, run] {
        DocumentSession s(ctx);
        if (s.Open(a->file)) run(s, *a);
    });
    return cmd;
}

void RegisterGroup(CLI::App& app, Context& ctx) {
    CLI::App* group = app.add_subcommand("group", "Placed capacitor groups, as on the main form");
    group->require_subcommand(1);

    auto na = std::make_shared<ObjectArgs>();
    Sub(group, "new", "\">> + >>\": a new group from the optimisation result", na, ctx,
        [](DocumentSession& s, ObjectArgs&) {
            const CCGroup* g = NewGroupFromForm(s.doc());
            if (g == nullptr) {
                s.Fail("Die Platine hat keine aktive Lage");
                return;
            }
            SaveEdited(s, "Neue Gruppe " + Shown(g->name) + "    Position: " + Position(g->posX, g->posY));
        });

    auto ma = std::make_shared<ObjectArgs>();
    CLI::App* move = Sub(group, "move", "Set a group's position (\"Position:\")", ma, ctx,
                         [](DocumentSession& s, ObjectArgs& a) {
                             const CCGroup* g = NamedGroup(s, a.name);
                             if (g == nullptr) return;
                             s.doc().moveGroup(g, ParseValue(a.x), ParseValue(a.y));
                             SaveEdited(s, Shown(a.name) + "    Position: " + Position(g->posX, g->posY));
                         });
    move->add_option("NAME", ma->name, "Group name")->required();
    move->add_option("X", ma->x, "x, e.g. 20mm")->required();
    move->add_option("Y", ma->y, "y, e.g. 10mm")->required();

    auto va = std::make_shared<ObjectArgs>();
    CLI::App* values = Sub(
        group, "values", "Capacitor values of the slots C1, C2, ...", va, ctx, [](DocumentSession& s, ObjectArgs& a) {
            const CCGroup* g = NamedGroup(s, a.name);
            if (g == nullptr) return;
            const int n = g->CapacitorCount();
            const std::vector<std::string> given = SplitList(a.values);
            if (static_cast<int>(given.size()) > std::min(n, 10)) {
                s.Fail("Gruppe " + Shown(a.name) + " hat " + std::to_string(n) + " Kondensatoren", kExitRefused);
                return;
            }
            // Slots not given keep their value exactly.
            SlotTexts slots = GroupSlotTexts(g, true);
            for (std::size_t k = 0; k < given.size(); ++k) slots[k] = given[k];
            s.doc().selectGroup(g);
            if (auto e = WriteSlotValues(s.doc(), slots)) {
                ShowRefused(*e, s.ctx().ui);
                s.ctx().exitCode = kExitRefused;
                return;
            }
            std::string done = Shown(a.name) + ":";
            for (int k = 1; k <= n; ++k)
                done += " C" + std::to_string(k) + "=" + FormatValue(g->Capacitor(SlotElement(n, k)).capacitance, "F");
            SaveEdited(s, done);
        });
    values->add_option("NAME", va->name, "Group name")->required();
    values->add_option("VALUES", va->values, "C1,C2,... e.g. 10uF,1uF,100nF")->required();

    auto ia = std::make_shared<ObjectArgs>();
    CLI::App* insert =
        Sub(group, "insert", "\"Neu\" of the slot dialog for slot k", ia, ctx, [](DocumentSession& s, ObjectArgs& a) {
            const CCGroup* g = NamedGroup(s, a.name);
            if (g == nullptr) return;
            const int n = g->CapacitorCount();
            if (a.slot > n + 1) {
                s.Fail("C" + std::to_string(a.slot) + " ist nicht der erste freie Platz", kExitRefused);
                return;
            }
            if (!s.doc().insertCapacitor(*g, InsertPosition(n, a.slot))) {
                s.Fail("Gruppe " + Shown(a.name) + " hat schon 10 Kondensatoren");
                return;
            }
            SaveEdited(s, Shown(a.name) + ": " + std::to_string(g->CapacitorCount()) + " Kondensatoren");
        });
    insert->add_option("NAME", ia->name, "Group name")->required();
    insert->add_option("SLOT", ia->slot, "Slot k of C1..C10")->required()->check(CLI::Range(1, 10));

    auto ra = std::make_shared<ObjectArgs>();
    CLI::App* remove = Sub(group, "remove", "\"Entfernen\" of the slot dialog for slot k", ra, ctx,
                           [](DocumentSession& s, ObjectArgs& a) {
                               const CCGroup* g = NamedGroup(s, a.name);
                               if (g == nullptr) return;
                               const int n = g->CapacitorCount();
                               if (a.slot > n) {
                                   s.Fail("C" + std::to_string(a.slot) + " ist nicht belegt", kExitRefused);
                                   return;
                               }
                               s.doc().removeCapacitor(*g, SlotElement(n, a.slot));
                               SaveEdited(s, Shown(a.name) + ": " + std::to_string(g->CapacitorCount()) +
                                                 " Kondensatoren");
                           });
    remove->add_option("NAME", ra->name, "Group name")->required();
    remove->add_option("SLOT", ra->slot, "Slot k of C1..C10")->required()->check(CLI::Range(1, 10));

    auto da = std::make_shared<ObjectArgs>();
    CLI::App* del = Sub(group, "delete", "\"Gruppe löschen\"", da, ctx, [](DocumentSession& s, ObjectArgs& a) {
        const CCGroup* g = NamedGroup(s, a.name);
        if (g == nullptr) return;
        s.doc().deleteGroup(g);
        SaveEdited(s, "Gruppe " + Shown(a.name) + " gelöscht; aktuelle Gruppe: " + Shown(s.form().currentGroupName));
    });
    del->add_option("NAME", da->name, "Group name")->required();

    auto sa = std::make_shared<ObjectArgs>();
    CLI::App* select = Sub(group, "select", "Make a group the current group", sa, ctx,
                           [](DocumentSession& s, ObjectArgs& a) {
                               const CCGroup* g = NamedGroup(s, a.name);
                               if (g == nullptr) return;
                               s.doc().selectGroup(g);
                               SaveEdited(s, "Aktuelle Gruppe: " + Shown(a.name));
                           });
    select->add_option("NAME", sa->name, "Group name")->required();
}

void RegisterProbe(CLI::App& app, Context& ctx) {
    CLI::App* probe = app.add_subcommand("probe", "Probes on the Vcc plane");
    probe->require_subcommand(1);
    auto add = std::make_shared<ObjectArgs>();
    auto place = std::make_shared<std::vector<std::string>>();
    CLI::App* a = Sub(probe, "add", "Place a new probe, named or numbered", add, ctx,
                      [place](DocumentSession& s, ObjectArgs& o) {
                          // Without a name the probe is named as the layer editor names it.
                          const std::vector<std::string>& w = *place;
                          const bool named = w.size() == 3;
                          if (named && IsBlankName(w[0])) {
                              s.Fail("Der Name einer Sonde darf nicht leer sein; ohne NAME wird sie nummeriert",
                                     kExitRefused);
                              return;
                          }
                          if (named)
                              o.name = w[0];
                          else if (const CLayer* plane = s.doc().plane())
                              o.name = NextProbeName(*plane);
                          o.x = w[named ? 1 : 0], o.y = w[named ? 2 : 1];
                          if (!AddProbe(s.doc(), o.name, ParseValue(o.x), ParseValue(o.y))) {
                              s.Fail("Sonde " + Shown(o.name) + " ist schon vorhanden");
                              return;
                          }
                          const CProbe& p = *s.doc().plane()->probes.back();
                          SaveEdited(s, "Sonde " + Shown(o.name) + ": " + Position(p.x, p.y));
                      });
    auto move = std::make_shared<ObjectArgs>();
    CLI::App* m = Sub(probe, "move", "Move a probe", move, ctx, [](DocumentSession& s, ObjectArgs& o) {
        if (!MoveProbe(s.doc(), o.name, ParseValue(o.x), ParseValue(o.y))) {
            s.Fail("Sonde " + Shown(o.name) + " ist nicht vorhanden");
            return;
        }
        double x = 0, y = 0;
        s.doc().plane()->ProbePositionByName(o.name, x, y);
        SaveEdited(s, "Sonde " + Shown(o.name) + ": " + Position(x, y));
    });
    a->add_option("PLACE", *place,
                  "[NAME] X Y: probe name (default: Probe<n>, the first free n), x and y, e.g. 20mm 10mm")
        ->required()
        ->expected(2, 3);
    m->add_option("NAME", move->name, "Probe name")->required();
    m->add_option("X", move->x, "x, e.g. 20mm")->required();
    m->add_option("Y", move->y, "y, e.g. 10mm")->required();
    auto del = std::make_shared<ObjectArgs>();
    Sub(probe, "delete", "Delete a probe", del, ctx,
        [](DocumentSession& s, ObjectArgs& o) {
            if (!DeleteProbe(s.doc(), o.name)) {
                s.Fail("Sonde " + Shown(o.name) + " ist nicht vorhanden");
                return;
            }
            SaveEdited(s, "Sonde " + Shown(o.name) + " gelöscht");
        })
        ->add_option("NAME", del->name, "Probe name")
        ->required();
}

void RegisterCutOut(CLI::App& app, Context& ctx) {
    CLI::App* cutout = app.add_subcommand("cutout", "Cut-outs of the Vcc plane");
    cutout->require_subcommand(1);
    auto add = std::make_shared<ObjectArgs>();
    CLI::App* a = Sub(cutout, "add", "Cut a rectangle out of the plane", add, ctx,
                      [](DocumentSession& s, ObjectArgs& o) {
                          if (o.named && IsBlankName(o.name)) {
                              s.Fail(
                                  "Der Name einer Aussparung darf nicht leer sein; ohne --name wird sie "
                                  "nummeriert",
                                  kExitRefused);
                              return;
                          }
                          const std::string name = AddCutOut(s.doc(), ParseValue(o.x1), ParseValue(o.y1),
                                                             ParseValue(o.x2), ParseValue(o.y2), o.name);
                          if (name.empty()) {
                              s.Fail("Aussparung " + Shown(o.name) + " ist schon vorhanden");
                              return;
                          }
                          const CCutOut& c = *s.doc().plane()->cutOuts.back();
                          SaveEdited(s, "Aussparung " + Shown(name) + ": " + Position(c.x1, c.y1) + " bis " +
                                            Position(c.x2, c.y2));
                      });
    a->add_option("X1", add->x1, "first corner x")->required();
    a->add_option("Y1", add->y1, "first corner y")->required();
    a->add_option("X2", add->x2, "second corner x")->required();
    a->add_option("Y2", add->y2, "second corner y")->required();
    a->add_option_function<std::string>(
        "--name", [add](const std::string& name) { add->name = name, add->named = true; },
        "Name (default: \"Cutout\" and the first free number)");
    auto del = std::make_shared<ObjectArgs>();
    Sub(cutout, "delete", "\"&Delete\" of the layer editor", del, ctx,
        [](DocumentSession& s, ObjectArgs& o) {
            if (!DeleteCutOut(s.doc(), o.name)) {
                s.Fail("Aussparung " + Shown(o.name) + " ist nicht vorhanden");
                return;
            }
            SaveEdited(s, "Aussparung " + Shown(o.name) + " gelöscht");
        })
        ->add_option("NAME", del->name, "Cut-out name")
        ->required();
}

struct FilterArgs {
    FileArgs file;
    bool transfer = false, requirements = false, search = false, toggle = false;
    std::optional<std::string> fu, fo, attenuation, imax, select;
    std::string database = "Database";
    const CLI::Option* databaseOption = nullptr;
};

void PrintFilter(const CVtrDoc& doc) {
    const CFilter& f = doc.filter();
    std::printf("Filter: Fu %s, Fo %s, Dämpfung %s, Imax %s, C-Gruppe %s\n", FormatValue(f.fLower, "Hz").c_str(),
                FormatValue(f.fUpper, "Hz").c_str(), FormatValue(f.minAttenuation, "dB").c_str(),
                FormatValue(f.maxSupplyCurrent, "A").c_str(), f.useGroup ? "ein" : "aus");
    if (f.candidates.empty()) std::printf("**  nicht verfügbar  **\n");
    for (std::size_t i = 0; i < f.candidates.size(); ++i) {
        const CSParaSet& c = *f.candidates[i];
        std::printf("%c %s\n", int(i) == f.selected ? '*' : ' ', ChokeLabel(c).c_str());
    }
}

void RunFilter(const FilterArgs& a, Context& ctx) {
    if (!(a.transfer || a.requirements || a.search || a.select || a.toggle)) {
        ctx.ui.message("Bitte --transfer, --requirements, --search, --select oder --toggle-group angeben",
                       MessageKind::Error);
        ctx.exitCode = kExitRefused;
        return;
    }
    DocumentSession s(ctx);
    if (a.search && (!CheckNamedFolder(a.databaseOption, a.database, ctx) || !s.LoadDatabase(a.database))) return;
    if (!s.Open(a.file)) return;
    CVtrDoc& doc = s.doc();
    if (a.transfer) {
        if (!TransferToFilter(doc)) {
            s.Fail("Keine aktuelle Gruppe mit Kondensatoren");
            return;
        }
        std::printf("Gruppe %s in die Filterberechnung übernommen\n", s.form().currentGroupName.c_str());
    }
    if (a.requirements) {
        FilterFields f = FilterFields::FromFilter(doc.filter());
        f.fo = a.fo.value_or(f.fo);
        f.fu = a.fu.value_or(f.fu);
        f.attenuation = a.attenuation.value_or(f.attenuation);
        f.imax = a.imax.value_or(f.imax);
        if (auto e = f.Check()) {
            ShowRefused(*e, ctx.ui);
            ctx.exitCode = kExitRefused;
            return;
        }
        doc.setFilterRequirements(f.fo, f.fu, f.attenuation, f.imax);
    }
    if (a.search) {
        if (const std::string refusal = ChokeSearchRefusal(doc); !refusal.empty()) {
            s.Fail(refusal);
            return;
        }
        doc.searchChoke();
    }
    if (a.select) {
        const int chosen = FindCandidate(doc.filter(), *a.select);
        if (chosen < 0) {
            s.Fail("Drossel " + Shown(*a.select) + " ist nicht in der Kandidatenliste");
            return;
        }
        doc.selectChoke(chosen);
    }
    if (a.toggle) doc.toggleGroupInFilter();
    if (s.Save()) PrintFilter(doc);
}

}  // namespace

void RegisterPlaneCommands(CLI::App& app, Context& ctx) {
    RegisterGroup(app, ctx);
    RegisterProbe(app, ctx);
    RegisterCutOut(app, ctx);

    auto fa = std::make_shared<FilterArgs>();
    CLI::App* filter = app.add_subcommand("filter", "LC filter of a design, as on the main form");
    AddFileArgs(filter, fa->file);
    filter->add_flag("--transfer", fa->transfer, "\">>>\": the current group into the filter");
    CLI::Option* requirements = filter->add_flag("--requirements", fa->requirements,
                                                 "Set what the filter has to do (band, attenuation, current)");
    filter->add_option("--fu", fa->fu, "\"Untere Grenzfrequenz:\"")->needs(requirements);
    filter->add_option("--fo", fa->fo, "\"Obere Grenzfrequenz:\"")->needs(requirements);
    filter->add_option("--attenuation", fa->attenuation, "\"Dämpfung:\", e.g. 35dB")->needs(requirements);
    filter->add_option("--imax", fa->imax, "\"Maximaler Gleichstrom:\", e.g. 100mA")->needs(requirements);
    filter->add_flag("--search", fa->search, "\"Drossel suchen...\"");
    fa->databaseOption = AddDatabaseOption(filter, fa->database, "Component folder for --search (default: Database)");
    filter->add_option("--select", fa->select, "Choose a candidate choke by name");
    filter->add_flag("--toggle-group", fa->toggle, "\"C-Gruppe\": the group in or out of the filter");
    filter->callback([fa, &ctx] { RunFilter(*fa, ctx); });
}

}  // namespace vantor::cli
