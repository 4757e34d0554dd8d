#pragma once
// Command-line options that edit the board, the optimisation targets and the
// default package, checked by the same code and messages as the dialogs.

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "CCGroup.h"
#include "Commands.h"
#include "TargetFields.h"
#include "LayoutFields.h"
#include "CCircuitBoard.h"
#include "Interaction.h"

namespace vantor::cli {

struct BoardOptions {
    std::optional<std::string> length, width, spacing, depth, er, vias, viaSpacing, viaDiameter, metal;
    bool any() const { return length || width || spacing || depth || er || vias || viaSpacing || viaDiameter || metal; }
};

struct TargetOptions {
    std::optional<std::string> fo, zminFu, zmaxFu, zminFo, zmaxFo;
};

void AddBoardOptions(CLI::App* cmd, BoardOptions& o);
/// --answer retry|cancel: the answer to the optimiser's Retry/Cancel question.
void AddAnswerOption(CLI::App* cmd, std::string& answer);
void AddTargetOptions(CLI::App* cmd, TargetOptions& o);

/// Writes the given options into the layout dialog's texts and recomputes
/// its frequency when the geometry changed, as the dialog does.
void FillLayoutFields(const BoardOptions& o, LayoutFields& f);
/// Writes the given options into the target dialog's texts.
void FillTargetFields(const TargetOptions& o, TargetFields& t);
/// Shows a refused field as "<label> <message>".
void ShowRefused(const FieldError& e, Interaction& ui);

/// --database DIR: the component folder. The option is returned so that a
/// command can tell whether the folder was named.
CLI::Option* AddDatabaseOption(CLI::App* cmd, std::string& folder,
                               const char* help = "Component folder (default: Database in the working folder)");
/// A folder named with --database must exist: otherwise says so and fails
/// the command. The default folder may be missing (an empty database).
bool CheckNamedFolder(const CLI::Option* option, const std::string& folder, Context& ctx);
/// The folder to read: folder itself when it exists; for the default
/// "Database" missing from the working folder, the installed one in
/// share/vantor beside the program's bin folder when that exists.
std::string ComponentFolder(const std::string& folder);

/// Applies the given board options with the layout dialog's checks. On a
/// refused value shows its message and returns false; the board is unchanged.
bool ApplyBoardOptions(const BoardOptions& o, CCircuitBoard& board, Interaction& ui);

/// The same for the optimisation targets (target dialog's checks, upper
/// limit 3 GHz).
bool ApplyTargetOptions(const TargetOptions& o, CCGroup& group, Interaction& ui);

/// Sets the group's default package from a table index or name.
bool ApplyPackageOption(const std::string& typeOrName, CCGroup& group, Interaction& ui);

}  // namespace vantor::cli
