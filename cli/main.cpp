// vantor-cli: every workflow of the design tool without a GUI.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <new>

#include "Commands.h"
#include "PlaneSolver.h"

int main(int argc, char** argv) {
    vantor::cli::Context ctx;
    CLI::App app{"vantor-cli: Entkopplung und Stromversorgungsnetz einer Leiterplatte"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "vantor-cli " VANTOR_VERSION);

    vantor::cli::RegisterValueCommands(app, ctx);
    vantor::cli::RegisterOptimiseCommand(app, ctx);
    vantor::cli::RegisterComponentCommands(app, ctx);
    vantor::cli::RegisterDocumentCommands(app, ctx);
    vantor::cli::RegisterWorkflowCommands(app, ctx);
    vantor::cli::RegisterPlaneCommands(app, ctx);
    vantor::cli::RegisterAnalyseCommands(app, ctx);
    vantor::cli::RegisterReportCommand(app, ctx);
    vantor::cli::RegisterPlotCommand(app, ctx);
    vantor::cli::RegisterMapCommand(app, ctx);

    // The commands run inside parse(): whatever escapes one ends here, never
    // in terminate. Files are only ever replaced whole, so nothing is lost.
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help and --version are "errors" with exit code 0; every refused
        // option value is a refused input.
        const int code = app.exit(e);
        return code == 0 ? 0 : vantor::cli::kExitRefused;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s\n", vantor::kNotEnoughMemory);
        return vantor::cli::kExitFailed;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Fehler: %s\n", e.what());
        return vantor::cli::kExitFailed;
    }
    return ctx.exitCode;
}
