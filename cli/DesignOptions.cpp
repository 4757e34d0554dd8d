#include "DesignOptions.h"

#include <filesystem>

#include "PackageTable.h"
#include "TargetFields.h"
#include "LayoutFields.h"

namespace vantor::cli {

namespace {

void Set(std::string& field, const std::optional<std::string>& value) {
    if (value) field = *value;
}

bool Refuse(const FieldError& e, Interaction& ui) {
    ShowRefused(e, ui);
    return false;
}

}  // namespace

void ShowRefused(const FieldError& e, Interaction& ui) { ui.message(e.field + " " + e.message, MessageKind::Error); }

void FillLayoutFields(const BoardOptions& o, LayoutFields& f) {
    Set(f.length, o.length);
    Set(f.width, o.width);
    Set(f.planeSpacing, o.spacing);
    Set(f.mountingDepth, o.depth);
    Set(f.epsilonR, o.er);
    Set(f.viasPerSide, o.vias);
    Set(f.viaSpacing, o.viaSpacing);
    Set(f.viaDiameter, o.viaDiameter);
    Set(f.metalThickness, o.metal);
    if (o.length || o.width || o.spacing || o.er) f.UpdateMaxFrequency();
}

void FillTargetFields(const TargetOptions& o, TargetFields& t) {
    Set(t.fo, o.fo);
    Set(t.zminFu, o.zminFu);
    Set(t.zmaxFu, o.zmaxFu);
    Set(t.zminFo, o.zminFo);
    Set(t.zmaxFo, o.zmaxFo);
}

CLI::Option* AddDatabaseOption(CLI::App* cmd, std::string& folder, const char* help) {
    return cmd->add_option("--database", folder, help);
}

bool CheckNamedFolder(const CLI::Option* option, const std::string& folder, Context& ctx) {
    std::error_code ec;
    if (option == nullptr || option->count() == 0 || std::filesystem::is_directory(folder, ec)) return true;
    ctx.ui.message("Bauteile-Ordner " + folder + " nicht gefunden!", MessageKind::Warning);
    ctx.exitCode = kExitFailed;
    return false;
}

std::string ComponentFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (folder != "Database" || fs::is_directory(folder, ec)) return folder;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return folder;
    const fs::path installed = self.parent_path().parent_path() / "share" / "vantor" / "Database";
    return fs::is_directory(installed, ec) ? installed.string() : folder;
}

void AddBoardOptions(CLI::App* cmd, BoardOptions& o) {
    cmd->add_option("--length", o.length, "Plane length (\"Länge:\"), e.g. 99mm");
    cmd->add_option("--width", o.width, "Plane width (\"Breite:\"), e.g. 71mm");
    cmd->add_option("--spacing", o.spacing, "Vcc to GND distance (\"Abstand Vcc <> GND:\"), e.g. 50um");
    cmd->add_option("--depth", o.depth, "Plane pair to component side (\"Abstand Vcc/GND <> SMD:\")");
    cmd->add_option("--er", o.er, "Relative permittivity (\"Epsilon r:\"), 0.1 to 10000");
    cmd->add_option("--vias", o.vias, "Vias per capacitor and side, 1 to 3");
    cmd->add_option("--via-spacing", o.viaSpacing, "Vcc via to GND via, centre to centre");
    cmd->add_option("--via-diameter", o.viaDiameter, "Via diameter");
    cmd->add_option("--metal", o.metal, "Metallisation thickness");
}

void AddAnswerOption(CLI::App* cmd, std::string& answer) {
    cmd->add_option("--answer", answer, "Answer to the optimiser's Retry/Cancel question (default cancel)")
        ->check(CLI::IsMember({"retry", "cancel"}));
}

void AddTargetOptions(CLI::App* cmd, TargetOptions& o) {
    cmd->add_option("--fo", o.fo, "Upper corner frequency (\"Obere Grenzfrequenz:\"), e.g. 1GHz");
    cmd->add_option("--zmin-fu", o.zminFu, "\"Fu - Zmin:\", e.g. 0.8Ohm");
    cmd->add_option("--zmax-fu", o.zmaxFu, "\"Fu - Zmax:\"");
    cmd->add_option("--zmin-fo", o.zminFo, "\"Fo - Zmin:\"");
    cmd->add_option("--zmax-fo", o.zmaxFo, "\"Fo - Zmax:\"");
}

bool ApplyBoardOptions(const BoardOptions& o, CCircuitBoard& board, Interaction& ui) {
    if (!o.any()) return true;
    LayoutFields f = LayoutFields::FromBoardExact(board);
    FillLayoutFields(o, f);
    if (auto e = f.Check()) return Refuse(*e, ui);
    f.ApplyTo(board);
    return true;
}

bool ApplyTargetOptions(const TargetOptions& o, CCGroup& group, Interaction& ui) {
    TargetFields t = TargetFields::FromGroupExact(group, 3e9);
    FillTargetFields(o, t);
    if (auto e = t.Check()) return Refuse(*e, ui);
    t.ApplyTo(group);
    return true;
}

bool ApplyPackageOption(const std::string& typeOrName, CCGroup& group, Interaction& ui) {
    const CCapShape* p = PackageTable::Application().Find(typeOrName);
    if (p == nullptr) {
        std::string names;
        for (const CCapShape& s : PackageTable::Application().entries())
            names += "\n  " + std::to_string(s.packageType) + ": " + s.name;
        ui.message("Unbekannte Bauform: " + typeOrName + "\nBauformen:" + names, MessageKind::Error);
        return false;
    }
    group.defaultPackage = *p;
    return true;
}

}  // namespace vantor::cli
