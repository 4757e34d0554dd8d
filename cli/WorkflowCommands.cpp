// vantor-cli optimise FILE | layout | package | analysis: the document's
// edit workflows, with the options in place of the dialogs.

#include <cstdio>
#include <memory>
#include <optional>

#include "DesignOptions.h"
#include "DocumentSession.h"
#include "Workflows.h"
#include "GroupEdits.h"
#include "MainFormLogic.h"
#include "PackageTable.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor::cli {

namespace {

// A dialog answered once from the options. It is shown again only after a
// failed optimisation; nobody is there to change the values, so that
// showing is cancelled.
class Scripted {
protected:
    explicit Scripted(Interaction& ui) : ui_(ui) {}
    bool FirstShowing() { return shown_++ == 0; }
    bool Refuse(const FieldError& e) {
        ShowRefused(e, ui_);
        refused = true;
        return false;
    }
    Interaction& ui_;

public:
    bool refused = false;

private:
    int shown_ = 0;
};

class ScriptedLayout : public LayoutDialog, public Scripted {
public:
    ScriptedLayout(const BoardOptions& o, Interaction& ui) : Scripted(ui), o_(o) {}
    bool exec(LayoutFields& f) override {
        if (!FirstShowing()) return false;
        FillLayoutFields(o_, f);
        if (auto e = f.Check()) return Refuse(*e);
        return true;
    }

private:
    const BoardOptions& o_;
};

class ScriptedTargets : public TargetDialog, public Scripted {
public:
    ScriptedTargets(const TargetOptions& o, Interaction& ui) : Scripted(ui), o_(o) {}
    bool exec(TargetFields& t) override {
        if (!FirstShowing()) return false;
        FillTargetFields(o_, t);
        if (auto e = t.Check()) return Refuse(*e);
        return true;
    }

private:
    const TargetOptions& o_;
};

struct PackageArgs {
    FileArgs file;
    std::optional<std::string> package, rloss, lser;
    bool manual = false;
    std::string answer = "cancel";
};

// The capacitor-properties dialog: choosing a package with Auto on shows
// its values; switching Auto off selects "Benutzerdefiniert" and lets the
// two values be typed.
class ScriptedPackage : public CapacitorDialog, public Scripted {
public:
    ScriptedPackage(const PackageArgs& a, const CCircuitBoard& board, Interaction& ui)
        : Scripted(ui), a_(a), board_(board) {}
    bool exec(CapacitorFields& f) override {
        if (!FirstShowing()) return false;
        if (a_.manual) {
            f.SetAutomatic(false, &board_);
        } else {
            f.SetAutomatic(true, &board_);
            f.ChoosePackage(chosen, &board_);
        }
        if (a_.rloss) f.rloss = *a_.rloss;
        if (a_.lser) f.lser = *a_.lser;
        if (auto e = f.Check()) return Refuse(*e);
        return true;
    }
    int chosen = 0;

private:
    const PackageArgs& a_;
    const CCircuitBoard& board_;
};

class ScriptedAnalysis : public AnalysisDialog, public Scripted {
public:
    struct Options {
        std::optional<std::string> start, stop, steps, resolution;
    };
    ScriptedAnalysis(const Options& o, Interaction& ui) : Scripted(ui), o_(o) {}
    bool exec(AnalysisFields& f) override {
        if (!FirstShowing()) return false;
        if (o_.start) f.startFrequency = *o_.start;
        if (o_.stop) f.stopFrequency = *o_.stop;
        if (o_.steps) f.frequencySteps = *o_.steps;
        if (o_.resolution) f.resolution = *o_.resolution;
        if (auto e = f.Check()) return Refuse(*e);
        return true;
    }

private:
    const Options& o_;
};

void PrintOptimisation(const CCGroup& g) {
    const int n = g.CapacitorCount();
    std::printf("Optimierung: %d Kondensatoren, %s\n", n, g.defaultPackage.name.c_str());
    for (int i = 1; i <= n; ++i)
        std::printf("  C%d= %s\n", i, FormatValue(g.Capacitor(SlotElement(n, i)).capacitance, "F").c_str());
}

// Saves a workflow that succeeded; a refused value or a cancel keeps the
// file as it was.
void Finish(DocumentSession& s, bool changed, bool refused, const char* what) {
    if (refused) {
        s.ctx().exitCode = kExitRefused;
        return;
    }
    if (!changed) {
        s.Fail(std::string(what) + " nicht geändert");
        return;
    }
    if (!s.Save()) return;
    std::printf("%s geändert\n", what);
    PrintOptimisation(s.doc().optimisationGroup());
}

}  // namespace

void RunDocumentOptimise(const FileArgs& file, const TargetOptions& targets, Context& ctx) {
    FileArgs writing = file;  // its options are not added by AddFileArgs
    writing.writes = true;
    DocumentSession s(ctx);
    if (!s.Open(writing)) return;
    ScriptedTargets dialog(targets, ctx.ui);
    const bool changed = s.doc().editTargets(dialog);
    Finish(s, changed, dialog.refused, "Optimierungsziele");
}

void RegisterWorkflowCommands(CLI::App& app, Context& ctx) {
    struct LayoutArgs {
        FileArgs file;
        BoardOptions board;
        bool yes = false;
        std::string answer = "cancel";
    };
    auto la = std::make_shared<LayoutArgs>();
    CLI::App* layout = app.add_subcommand("layout",
                                          "Edit the board as \"Layout-Parameter eingeben\" does, then optimise");
    AddFileArgs(layout, la->file);
    AddBoardOptions(layout, la->board);
    layout->add_flag("--yes", la->yes, "Answer Yes when objects lie outside a smaller board");
    AddAnswerOption(layout, la->answer);
    layout->callback([la, &ctx] {
        ctx.ui.setAnswer(Buttons::YesNo, la->yes ? Answer::Yes : Answer::No);
        ctx.ui.setAnswer(Buttons::RetryCancel, la->answer == "retry" ? Answer::Retry : Answer::Cancel);
        DocumentSession s(ctx);
        if (!s.Open(la->file)) return;
        ScriptedLayout dialog(la->board, ctx.ui);
        const bool changed = s.doc().editLayout(dialog);
        Finish(s, changed, dialog.refused, "Layout");
        if (ctx.exitCode == 0) {
            const CCircuitBoard& b = s.doc().board();
            std::printf("Platine: Länge %s, Breite %s, Abstand Vcc <> GND %s, Fmax %s\n",
                        FormatValue(b.length, "m").c_str(), FormatValue(b.width, "m").c_str(),
                        FormatValue(b.planeSpacing, "m").c_str(), FormatValue(b.maxFrequency, "Hz").c_str());
        }
    });

    auto pa = std::make_shared<PackageArgs>();
    CLI::App* package = app.add_subcommand("package",
                                           "Edit the default package as \"Kondensator - Eigenschaften eingeben\" does");
    AddFileArgs(package, pa->file);
    CLI::Option* manual = package->add_flag("--manual", pa->manual, "Auto off: user-defined Rloss and Lser");
    package->add_option("--package", pa->package, "Package: table index or name (Auto on)")->excludes(manual);
    package->add_option("--rloss", pa->rloss, "\"Verlustwiderstand:\", e.g. 50mOhm")->needs(manual);
    package->add_option("--lser", pa->lser, "\"Serieninduktivität:\", e.g. 1nH")->needs(manual);
    AddAnswerOption(package, pa->answer);
    package->callback([pa, &ctx] {
        ctx.ui.setAnswer(Buttons::RetryCancel, pa->answer == "retry" ? Answer::Retry : Answer::Cancel);
        if (!pa->package && !pa->manual) {
            ctx.ui.message("Bitte --package oder --manual angeben", MessageKind::Error);
            ctx.exitCode = kExitRefused;
            return;
        }
        DocumentSession s(ctx);
        if (!s.Open(pa->file)) return;
        ScriptedPackage dialog(*pa, s.doc().board(), ctx.ui);
        if (pa->package) {
            const CCapShape* entry = PackageTable::Application().Find(*pa->package);
            if (entry == nullptr) {
                CCGroup probe;
                ApplyPackageOption(*pa->package, probe, ctx.ui);  // lists the packages
                ctx.exitCode = kExitRefused;
                return;
            }
            dialog.chosen = entry->packageType;
        }
        const bool changed = EditDefaultPackage(s.doc(), dialog);
        Finish(s, changed, dialog.refused, "Bauform");
    });

    struct AnalysisArgs {
        FileArgs file;
        ScriptedAnalysis::Options o;
    };
    auto aa = std::make_shared<AnalysisArgs>();
    CLI::App* analysis = app.add_subcommand("analysis", "Edit the analysis parameters as \"Analyse: Parameter\" does");
    AddFileArgs(analysis, aa->file);
    analysis->add_option("--start", aa->o.start, "\"Startfrequenz:\", e.g. 1MHz");
    analysis->add_option("--stop", aa->o.stop, "\"Stopfrequenz:\", e.g. 1GHz");
    analysis->add_option("--steps", aa->o.steps, "\"Frequenzschritte:\", 0 to 9999");
    analysis->add_option("--resolution", aa->o.resolution, "\"Auflösung:\", 1 to 100");
    analysis->callback([aa, &ctx] {
        DocumentSession s(ctx);
        if (!s.Open(aa->file)) return;
        ScriptedAnalysis dialog(aa->o, ctx.ui);
        if (!s.doc().editAnalysis(dialog)) {
            ctx.exitCode = dialog.refused ? kExitRefused : kExitFailed;
            return;
        }
        if (!s.Save()) return;
        const CAnalysisDomain& d = s.doc().analysisDomain();
        std::printf("Analyse: %s bis %s, %d Schritte, Auflösung %g\n", FormatValue(d.startFrequency, "Hz").c_str(),
                    FormatValue(d.stopFrequency, "Hz").c_str(), d.frequencySteps, d.resolution);
    });
}

}  // namespace vantor::cli
