#pragma once
// Registration of the command groups of vantor-cli. Each command is wiring
// only: it reads options, calls the core and prints.

#include <CLI/CLI.hpp>

#include "ConsoleInteraction.h"

namespace vantor::cli {

/// Shared state of one run of the tool.
struct Context {
    ConsoleInteraction ui;
    int exitCode = 0;
};

/// Exit codes: 0 success, 1 the workflow failed (the core said why),
/// 2 a refused input value.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitRefused = 2;

void RegisterValueCommands(CLI::App& app, Context& ctx);
void RegisterOptimiseCommand(CLI::App& app, Context& ctx);
void RegisterComponentCommands(CLI::App& app, Context& ctx);
void RegisterDocumentCommands(CLI::App& app, Context& ctx);
void RegisterWorkflowCommands(CLI::App& app, Context& ctx);
void RegisterPlaneCommands(CLI::App& app, Context& ctx);
void RegisterAnalyseCommands(CLI::App& app, Context& ctx);
void RegisterReportCommand(CLI::App& app, Context& ctx);
void RegisterPlotCommand(CLI::App& app, Context& ctx);
void RegisterMapCommand(CLI::App& app, Context& ctx);

}  // namespace vantor::cli
