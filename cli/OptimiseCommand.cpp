// vantor-cli optimise: the decoupling optimiser on a board with the
// document's defaults, overridden by options.

#include <cstdio>
#include <memory>

#include <nlohmann/json.hpp>

#include "Commands.h"
#include "DesignOptions.h"
#include "Workflows.h"
#include "MainFormLogic.h"
#include "Optimiser.h"
#include "Values.h"

namespace vantor::cli {

namespace {

struct OptimiseArgs {
    BoardOptions board;
    TargetOptions targets;
    std::optional<std::string> package;
    std::string answer = "cancel";
    bool json = false;
    FileArgs document;  // set: the target workflow on this design
};

void PrintText(const CCGroup& g, int result, const CCircuitBoard& board) {
    std::printf("Ergebnis: %s\n", result ? "Optimierung erfolgreich" : "Optimierung fehlgeschlagen");
    std::printf("Obere Grenzfrequenz: %s\n", FormatValue(g.fo, "Hz").c_str());
    std::printf("Impedanzgrenzen: Fu %s .. %s, Fo %s .. %s\n", FormatValue(g.zminFu, "Ohm").c_str(),
                FormatValue(g.zmaxFu, "Ohm").c_str(), FormatValue(g.zminFo, "Ohm").c_str(),
                FormatValue(g.zmaxFo, "Ohm").c_str());
    std::printf("Flächenkapazität: %s\n", FormatValue(board.planeCapacitance(), "F").c_str());
    std::printf("Bauform: %s\n", g.defaultPackage.name.c_str());
    const int n = g.CapacitorCount();
    std::printf("Kondensatoren: %d\n", n);
    // C1 is the largest value, as on the main form and in the report.
    for (int i = 1; i <= n; ++i) {
        const CCapa& c = g.Capacitor(SlotElement(n, i));
        std::printf("C%d= %s  ESL %s\n", i, FormatValue(c.capacitance, "F").c_str(),
                    FormatValue(EffectiveEsl(c), "H").c_str());
    }
}

void PrintJson(const CCGroup& g, int result, const CCircuitBoard& board, const std::vector<std::string>& messages) {
    nlohmann::json j;
    j["result"] = result;
    j["messages"] = messages;
    j["plane_capacitance"] = board.planeCapacitance();
    j["fo"] = g.fo;
    nlohmann::json elements = nlohmann::json::array();
    for (int i = 0; i < g.ElementCount(); ++i) {
        const CCapa& c = g.Capacitor(i);
        elements.push_back({{"capacitance", c.capacitance},
                            {"package", c.shape.name},
                            {"package_type", c.shape.packageType},
                            {"auto", c.autoParasitics != 0 ? 1 : 0},
                            {"esl", EffectiveEsl(c)}});
    }
    j["elements"] = elements;
    std::printf("%s\n", j.dump(2).c_str());
}

}  // namespace

void RegisterOptimiseCommand(CLI::App& app, Context& ctx) {
    auto args = std::make_shared<OptimiseArgs>();
    CLI::App* cmd = app.add_subcommand("optimise", "Optimise the decoupling capacitors of a board or of a design");
    cmd->add_option("FILE", args->document.file, "Design document: edit its targets and optimise it");
    cmd->add_option("-o,--output", args->document.out, "With FILE: write the result here instead of FILE");
    AddTargetOptions(cmd, args->targets);
    AddBoardOptions(cmd, args->board);
    cmd->add_option("--package", args->package, "Default package: table index 0..14 or its name");
    AddAnswerOption(cmd, args->answer);
    cmd->add_flag("--json", args->json, "Print the result as JSON");
    cmd->callback([args, &ctx] {
        ctx.ui.setAnswer(Buttons::RetryCancel, args->answer == "retry" ? Answer::Retry : Answer::Cancel);
        if (!args->document.file.empty()) {
            if (args->board.any() || args->package || args->json) {
                ctx.ui.message("Mit FILE nur die Optimierungsziele (--fo, --zmin-fu ...) angeben", MessageKind::Error);
                ctx.exitCode = kExitRefused;
                return;
            }
            RunDocumentOptimise(args->document, args->targets, ctx);
            return;
        }
        // The document's defaults: default board, group with fo = 3 GHz.
        CCircuitBoard board;
        CCGroup group(&board);
        group.fo = 3e9;
        if (!ApplyBoardOptions(args->board, board, ctx.ui) || !ApplyTargetOptions(args->targets, group, ctx.ui) ||
            (args->package && !ApplyPackageOption(*args->package, group, ctx.ui))) {
            ctx.exitCode = kExitRefused;
            return;
        }
        const int result = Optimise(group, ctx.ui);
        if (args->json)
            PrintJson(group, result, board, ctx.ui.shownMessages());
        else
            PrintText(group, result, board);
        ctx.exitCode = result ? 0 : kExitFailed;
    });
}

}  // namespace vantor::cli
