// vantor-cli: every workflow of the design tool without a GUI.

#include <CLI/CLI.hpp>

#include "Commands.h"

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

    CLI11_PARSE(app, argc, argv);
    return ctx.exitCode;
}
