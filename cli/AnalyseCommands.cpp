// vantor-cli analyse | killmax | impedance | approx, and the filter curve of
// a design: the field solution and the curves of the graph window.

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

#include "DocumentSession.h"
#include "ShownName.h"
#include "Workflows.h"
#include "CFilter.h"
#include "FrequencyRangeFields.h"
#include "GraphTraces.h"
#include "Values.h"
#include "CLayer.h"

namespace vantor::cli {

namespace {

struct SolveArgs {
    FileArgs file;
    bool verbose = false;
    std::string solver = "fast";
    int threads = 0;
};

void AddSolveOptions(CLI::App* cmd, SolveArgs& a) {
    AddFileArgs(cmd, a.file);
    cmd->add_flag("--verbose", a.verbose, "Print the stage timings of the solve");
    cmd->add_option("--solver", a.solver, "fast (default) or umfpack (the reference)")
        ->check(CLI::IsMember({"fast", "umfpack"}));
    cmd->add_option("--threads", a.threads, "Worker threads (0: one per core)")->check(CLI::Range(0, 1024));
}

SolverOptions Options(const SolveArgs& a) {
    SolverOptions o;
    o.kind = a.solver == "umfpack" ? SolverKind::Umfpack : SolverKind::Fast;
    o.threads = a.threads;
    return o;
}

void PrintSolve(const CVtrDoc& doc, const SolveArgs& a) {
    const CLayer& plane = *doc.plane();
    const SolveReport& r = plane.LastSolve();
    const std::size_t maps = plane.results.resultMaps.size();
    std::printf("Analyse: %zu Frequenzen von %s bis %s, Gitter %d x %d, %d Knoten, Löser %s, %d Threads\n",
                maps > 0 ? maps - 1 : 0, FormatValue(doc.analysisDomain().startFrequency, "Hz").c_str(),
                FormatValue(doc.analysisDomain().stopFrequency, "Hz").c_str(), plane.mesh.nx, plane.mesh.ny,
                plane.mesh.activeCount, r.kind == SolverKind::Umfpack ? "umfpack" : "fast", r.threads);
    if (!a.verbose) return;
    std::printf("Nicht-Null-Elemente des Faktors: %lld, UMFPACK-Ersatz: %d Frequenzen, Speicher %s\n",
                static_cast<long long>(r.factorNonZeros), r.fallbackFrequencies,
                FormatValue(r.factorBytes, "B").c_str());
    std::printf("%s", plane.TimingLog().Text().c_str());
}

struct CurveArgs {
    FileArgs file;
    std::optional<std::string> probe, group;
    std::vector<std::string> at;
    std::string from = "0", to = "1GHz";
    int steps = 500;
    std::string database = "Database";
};

// The graph window's axis: steps + 1 points from first to last.
std::vector<double> Frequencies(const CurveArgs& a) {
    return GraphFrequencies(ParseValue(a.from), ParseValue(a.to), a.steps);
}

bool CheckAxis(const CurveArgs& a, Context& ctx) {
    return CheckFrequencyAxis(FrequencyRangeFields{a.from, a.to, std::to_string(a.steps)}, true, ctx);
}

void AddAxisOptions(CLI::App* cmd, CurveArgs& a) {
    cmd->add_option("--from", a.from, "First frequency (default 0)");
    cmd->add_option("--to", a.to, "Last frequency (default 1GHz)");
    cmd->add_option("--steps", a.steps, "Number of steps (default 500)")->check(CLI::Range(2, 5001));
}

void RunImpedance(const CurveArgs& a, Context& ctx) {
    if (!CheckAxis(a, ctx)) return;
    DocumentSession s(ctx);
    if (!s.Open(a.file)) return;
    const CLayer* plane = s.doc().plane();
    if (plane == nullptr || !plane->HasResults()) {
        s.Fail("Keine Ergebnisse der Feldberechnung: zuerst vantor-cli analyse");
        return;
    }
    double x = 0, y = 0;
    if (a.probe) {
        if (!plane->ProbePositionByName(*a.probe, x, y)) {
            s.Fail("Sonde " + *a.probe + " ist nicht vorhanden");
            return;
        }
    } else {
        x = ParseValue(a.at[0]);
        y = ParseValue(a.at[1]);
    }
    std::printf("f_Hz,abs_Ohm,re_Ohm,im_Ohm,valid\n");
    const std::vector<double> f = Frequencies(a);
    std::vector<int> valid;
    const std::vector<std::complex<double>> z = plane->ImpedanceCurve(x, y, f, valid);
    for (std::size_t i = 0; i < f.size(); ++i)
        std::printf("%.10g,%.10g,%.10g,%.10g,%d\n", f[i], std::abs(z[i]), z[i].real(), z[i].imag(), valid[i]);
}

void RunApprox(const CurveArgs& a, Context& ctx) {
    if (!CheckAxis(a, ctx)) return;
    DocumentSession s(ctx);
    if (!s.Open(a.file)) return;
    const CLayer* plane = s.doc().plane();
    const std::string name = a.group.value_or(s.form().currentGroupName);
    const CCGroup* g = plane != nullptr ? plane->FindGroupByName(name) : nullptr;
    if (g == nullptr || g->CapacitorCount() < 1) {
        s.Fail(name.empty() ? std::string("Keine aktuelle Gruppe")
                            : "Gruppe " + Shown(name) + " hat keine Kondensatoren");
        return;
    }
    std::printf("f_Hz,abs_Ohm,valid\n");
    for (const CTracePoint& p : ApproxTrace(g, Frequencies(a)).points)
        std::printf("%.10g,%.10g,%d\n", p.x, p.y, p.flag);
}

}  // namespace

bool CheckFrequencyAxis(const FrequencyRangeFields& axis, bool withSteps, Context& ctx) {
    const FieldCheck e = withSteps ? axis.Check() : axis.CheckEnds();
    if (!e) return true;
    ctx.ui.message(e->message, MessageKind::Error);
    ctx.exitCode = kExitRefused;
    return false;
}

void RunDocumentAttenuation(const FileArgs& file, const std::string& database, const std::string& from,
                            const std::string& to, Context& ctx) {
    if (!CheckFrequencyAxis(FrequencyRangeFields{from, to, {}}, false, ctx)) return;
    DocumentSession s(ctx);
    // The stored choke has no data points; the folder's set of that name has.
    if (!s.LoadDatabase(database) || !s.Open(file)) return;
    const CFilter& f = s.doc().filter();
    if (f.SelectedChoke() == nullptr) {
        s.Fail("Keine Drossel gewählt: zuerst vantor-cli filter --search");
        return;
    }
    // A choke the folder does not hold keeps only its stored name and data.
    if (f.SelectedChoke()->points.empty()) {
        s.Fail("Drossel " + Shown(f.SelectedChoke()->name) + " ist nicht in der Datenbank!");
        return;
    }
    std::printf("f_Hz,attenuation_dB\n");
    for (const CTracePoint& p : FilterTrace(f, ParseValue(from), ParseValue(to)).points)
        std::printf("%.10g,%.10g\n", p.x, p.y);
}

void RegisterAnalyseCommands(CLI::App& app, Context& ctx) {
    auto sa = std::make_shared<SolveArgs>();
    CLI::App* analyse = app.add_subcommand("analyse", "\"Analyse !\": the field solution of the Vcc plane");
    AddSolveOptions(analyse, *sa);
    analyse->callback([sa, &ctx] {
        DocumentSession s(ctx);
        if (!s.Open(sa->file)) return;
        if (!s.doc().analyse(Options(*sa))) {
            ctx.exitCode = kExitFailed;
            return;
        }
        if (s.Save()) PrintSolve(s.doc(), *sa);
    });

    auto ka = std::make_shared<SolveArgs>();
    CLI::App* killmax = app.add_subcommand("killmax", "\"KillMax && FEM\": a group at the worst point, solve again");
    AddSolveOptions(killmax, *ka);
    killmax->callback([ka, &ctx] {
        DocumentSession s(ctx);
        if (!s.Open(ka->file)) return;
        const CLayer* plane = s.doc().plane();
        if (plane == nullptr || !plane->HasResults()) {
            s.Fail("Keine Ergebnisse der Feldberechnung: zuerst vantor-cli analyse");
            return;
        }
        if (!s.doc().killMax(Options(*ka))) {
            ctx.exitCode = kExitFailed;
            return;
        }
        if (!s.Save()) return;
        const CCGroup& g = *plane->capacitorGroups.back();
        std::printf("Neue Gruppe %s    Position: X=%s,Y=%s\n", Shown(g.name).c_str(), FormatValue(g.posX, "m").c_str(),
                    FormatValue(g.posY, "m").c_str());
        PrintSolve(s.doc(), *ka);
    });

    auto ia = std::make_shared<CurveArgs>();
    CLI::App* impedance = app.add_subcommand("impedance", "|Z| at a probe or point from the stored results (CSV)");
    AddFileArgs(impedance, ia->file, false);
    CLI::Option* probe = impedance->add_option("--probe", ia->probe, "Probe name");
    impedance->add_option("--at", ia->at, "Point X Y, e.g. --at 20mm 10mm")->expected(2)->excludes(probe);
    AddAxisOptions(impedance, *ia);
    impedance->callback([ia, &ctx] {
        if (!ia->probe && ia->at.size() != 2) {
            ctx.ui.message("Bitte --probe NAME oder --at X Y angeben", MessageKind::Error);
            ctx.exitCode = kExitRefused;
            return;
        }
        RunImpedance(*ia, ctx);
    });

    auto aa = std::make_shared<CurveArgs>();
    CLI::App* approx = app.add_subcommand("approx", "|Z| of the lumped model of a group (CSV)");
    AddFileArgs(approx, aa->file, false);
    approx->add_option("--group", aa->group, "Group name (default: the current group)");
    AddAxisOptions(approx, *aa);
    approx->callback([aa, &ctx] { RunApprox(*aa, ctx); });
}

}  // namespace vantor::cli
