// vantor-cli database | chokes | attenuation: the component database and
// the LC filter design.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "DesignOptions.h"
#include "Workflows.h"
#include "CFilter.h"
#include "CSParameterDB.h"
#include "FilterFields.h"
#include "GraphTraces.h"
#include "MainFormLogic.h"
#include "Optimiser.h"
#include "CCircuitBoard.h"
#include "Values.h"

namespace vantor::cli {

namespace {

// The component folder the program reads, beside the working folder.
constexpr const char* kDefaultDatabase = "Database";

// A new design's filter requirements (band, attenuation, current).
constexpr const char* kDefaultFu = "10MHz";
constexpr const char* kDefaultFo = "300MHz";
constexpr const char* kDefaultAttenuation = "35dB";
constexpr const char* kDefaultImax = "100mA";

// The filter checks of the main form; a refused value ends the command.
bool CheckRequirements(const FilterFields& fields, Context& ctx) {
    if (const FieldCheck error = fields.Check()) {
        ShowRefused(*error, ctx.ui);
        ctx.exitCode = kExitRefused;
        return false;
    }
    return true;
}

// The filter of a default design with the given requirements. Its
// capacitor group is the one the document gets: the optimised group of that
// design, handed over with ">>>" (none with noGroup), optimised on the
// stack-up the filter's group belongs to.
bool DefaultDesignFilter(const FilterFields& requirements, bool noGroup, CFilter& filter, Context& ctx) {
    requirements.ApplyTo(filter);
    filter.useGroup = noGroup ? 0 : 1;
    if (noGroup) return true;
    CCGroup group(filter.group.stackup());
    group.fo = 3e9;
    Optimise(group, ctx.ui);
    if (group.ElementCount() == 0) {
        ctx.ui.message(kMessageTransferFirst, MessageKind::Error);
        ctx.exitCode = kExitFailed;
        return false;
    }
    filter.group.Assign(group);
    return true;
}

// A folder named with --database that is not there fails the command; the
// default folder may be missing.
bool LoadFolder(CSParameterDB& db, const std::string& folder, const CLI::Option* named, Context& ctx) {
    if (!CheckNamedFolder(named, folder, ctx)) return false;
    db.LoadDatabase(ComponentFolder(folder), ctx.ui);
    return true;
}

struct DatabaseArgs {
    std::string folder = kDefaultDatabase;
    const CLI::Option* named = nullptr;
    bool json = false;
};

void RunDatabase(const DatabaseArgs& args, Context& ctx) {
    CSParameterDB db;
    if (!LoadFolder(db, args.folder, args.named, ctx)) return;
    if (args.json) {
        nlohmann::json sets = nlohmann::json::array();
        for (const auto& s : db.Sets()) {
            sets.push_back({{"name", s->name},
                            {"part_number", s->partNumber},
                            {"maker", s->maker},
                            {"f_min", s->fMin},
                            {"f_max", s->fMax},
                            {"points", s->pointCount},
                            {"nominal_l", s->nominalL},
                            {"max_current", s->maxCurrent}});
        }
        const nlohmann::json j = {{"sets", sets}, {"messages", ctx.ui.shownMessages()}};
        std::printf("%s\n", j.dump(2).c_str());
    } else {
        std::printf("S-Parameter-Sätze: %d\n", db.Count());
        for (const auto& s : db.Sets()) {
            std::printf("%s\t%s\t%s\t%s .. %s\t%d Punkte\tL %s\tImax %s\n", s->name.c_str(), s->partNumber.c_str(),
                        s->maker.c_str(), FormatValue(s->fMin, "Hz").c_str(), FormatValue(s->fMax, "Hz").c_str(),
                        s->pointCount, FormatValue(s->nominalL, "H").c_str(), FormatValue(s->maxCurrent, "A").c_str());
        }
        std::printf("Meldungen: %zu\n", ctx.ui.shownMessages().size());
        for (const std::string& m : ctx.ui.shownMessages()) std::printf("%s\n", m.c_str());
    }
    ctx.exitCode = 0;
}

struct ChokesArgs {
    std::string folder = kDefaultDatabase;
    const CLI::Option* named = nullptr;
    std::string fu, fo, attenuation, imax;
    bool noGroup = false;
    bool json = false;
};

void RunChokes(const ChokesArgs& args, Context& ctx) {
    const FilterFields requirements{args.fo, args.fu, args.attenuation, args.imax};
    if (!CheckRequirements(requirements, ctx)) return;
    CSParameterDB db;
    if (!LoadFolder(db, args.folder, args.named, ctx)) return;

    const CCircuitBoard board;
    CFilter filter(&board);
    if (!DefaultDesignFilter(requirements, args.noGroup, filter, ctx)) return;
    const int n = filter.SearchChokes(db);

    if (args.json) {
        nlohmann::json names = nlohmann::json::array();
        for (const CSParaSet* s : filter.candidates) names.push_back(s->name);
        const nlohmann::json j = {{"candidates", names}, {"selected", filter.selected}};
        std::printf("%s\n", j.dump(2).c_str());
    } else if (n == 0) {
        std::printf("**  nicht verfügbar  **\n");
    } else {
        for (int i = 0; i < n; ++i) {
            const CSParaSet& s = *filter.candidates[static_cast<std::size_t>(i)];
            std::printf("%c %d %s\n", i == filter.selected ? '*' : ' ', i, ChokeLabel(s).c_str());
        }
        const ChokeList list = BuildChokeList(filter);
        std::printf("Gewählt: %d\nHersteller: %s\nBauart: %s\nBauform: %s\n", filter.selected, list.maker.c_str(),
                    list.type.c_str(), list.package.c_str());
    }
    ctx.exitCode = 0;
}

struct AttenuationArgs {
    std::string folder = kDefaultDatabase;
    const CLI::Option* named = nullptr;
    std::string choke;
    std::string fu = kDefaultFu, fo = kDefaultFo;
    bool noGroup = false;
    FileArgs document;                    // set: the chosen choke of this design
    std::string from = "0", to = "1GHz";  // with FILE: the graph window's axis
};

void RunAttenuation(const AttenuationArgs& args, Context& ctx) {
    const FilterFields requirements{args.fo, args.fu, kDefaultAttenuation, kDefaultImax};
    if (!CheckRequirements(requirements, ctx)) return;
    CSParameterDB db;
    if (!LoadFolder(db, args.folder, args.named, ctx)) return;
    const CSParaSet* choke = db.Find(args.choke);
    if (choke == nullptr) {
        ctx.ui.message("Drossel " + args.choke + " ist nicht in der Datenbank!", MessageKind::Error);
        ctx.exitCode = kExitFailed;
        return;
    }

    const CCircuitBoard board;
    CFilter filter(&board);
    if (!DefaultDesignFilter(requirements, args.noGroup, filter, ctx)) return;
    filter.candidates = {choke};
    filter.selected = 0;

    std::printf("f_Hz,attenuation_dB\n");
    for (const CTracePoint& p : FilterTrace(filter, filter.fLower, filter.fUpper).points)
        std::printf("%.10g,%.10g\n", p.x, p.y);
    ctx.exitCode = 0;
}

}  // namespace

void RegisterComponentCommands(CLI::App& app, Context& ctx) {
    auto da = std::make_shared<DatabaseArgs>();
    CLI::App* database = app.add_subcommand("database", "Load the component folder and list its S-parameter sets");
    da->named = AddDatabaseOption(database, da->folder);
    database->add_flag("--json", da->json, "Print the result as JSON");
    database->callback([da, &ctx] { RunDatabase(*da, ctx); });

    auto ca = std::make_shared<ChokesArgs>();
    CLI::App* chokes = app.add_subcommand("chokes", "Search the chokes that meet band, attenuation and current");
    ca->named = AddDatabaseOption(chokes, ca->folder);
    chokes->add_option("--fu", ca->fu, "Lower corner frequency of the band, e.g. 10MHz")->required();
    chokes->add_option("--fo", ca->fo, "Upper corner frequency of the band, e.g. 300MHz")->required();
    chokes->add_option("--attenuation", ca->attenuation, "Least attenuation in the band, e.g. 35dB")->required();
    chokes->add_option("--imax", ca->imax, "Maximal DC current, e.g. 2A")->required();
    chokes->add_flag("--no-group", ca->noGroup, "The choke alone, without the capacitor group");
    chokes->add_flag("--json", ca->json, "Print the result as JSON");
    chokes->callback([ca, &ctx] { RunChokes(*ca, ctx); });

    auto aa = std::make_shared<AttenuationArgs>();
    CLI::App* attenuation = app.add_subcommand("attenuation", "Attenuation curve of the filter with one choke (CSV)");
    aa->named = AddDatabaseOption(attenuation, aa->folder);
    attenuation->add_option("FILE", aa->document.file, "Design document: the curve of its chosen choke");
    CLI::Option* choke = attenuation->add_option("--choke", aa->choke, "Name of the choke's data set");
    attenuation->add_option("--fu", aa->fu, "Lower end of the curve (default 10MHz)")->needs(choke);
    attenuation->add_option("--fo", aa->fo, "Upper end of the curve (default 300MHz)")->needs(choke);
    attenuation->add_flag("--no-group", aa->noGroup, "The choke alone, without the capacitor group")->needs(choke);
    attenuation->add_option("--from", aa->from, "With FILE: first frequency (default 0)")->excludes(choke);
    attenuation->add_option("--to", aa->to, "With FILE: last frequency (default 1GHz)")->excludes(choke);
    attenuation->callback([aa, &ctx] {
        if (!aa->document.file.empty()) {
            if (CheckNamedFolder(aa->named, aa->folder, ctx))
                RunDocumentAttenuation(aa->document, aa->folder, aa->from, aa->to, ctx);
        } else if (aa->choke.empty()) {
            ctx.ui.message("Bitte FILE oder --choke NAME angeben", MessageKind::Error);
            ctx.exitCode = kExitRefused;
        } else {
            RunAttenuation(*aa, ctx);
        }
    });
}

}  // namespace vantor::cli
