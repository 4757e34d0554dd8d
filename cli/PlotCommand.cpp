// vantor-cli plot: the graph window's picture of a design as PNG, SVG or
// PDF, drawn headless by the window's own painter.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>

#include "DesignOptions.h"
#include "DocumentFile.h"
#include "DocumentSession.h"
#include "GraphTraces.h"
#include "Values.h"
#include "Workflows.h"

#ifdef VANTOR_HAVE_REPORT
#include "GraphPainter.h"
#include "HeadlessQt.h"
#include "TargetBandPainter.h"
#endif

namespace vantor::cli {

namespace {

struct PlotArgs {
    FileArgs file;
    std::string out;
    std::string from = "0", to = "1GHz";
    int steps = 500;
    std::optional<std::string> ymax;
    bool log = false;
    bool band = false;
    std::vector<std::string> traces;
    std::string size = "1596x1200";
    std::string database = "Database";
    const CLI::Option* databaseNamed = nullptr;
};

#ifdef VANTOR_HAVE_REPORT
bool ReadSize(const std::string& text, int& width, int& height) {
    char x = 0;
    std::istringstream in(text);
    return static_cast<bool>(in >> width >> x >> height) && x == 'x' && in.peek() == EOF && width >= 16 &&
           height >= 16 && width <= 20000 && height <= 20000;
}
#endif

void RunPlot(const PlotArgs& a, Context& ctx) {
#ifdef VANTOR_HAVE_REPORT
    int width = 0, height = 0;
    if (!ReadSize(a.size, width, height)) {
        ctx.ui.message("Bildgröße " + a.size + ": erwartet BREITExHÖHE, 16 bis 20000 Pixel, z. B. 1596x1200",
                       MessageKind::Error);
        ctx.exitCode = kExitRefused;
        return;
    }
    if (!CheckFrequencyAxis(FrequencyRangeFields{a.from, a.to, std::to_string(a.steps)}, true, ctx)) return;
    YAxisFields yAxis{!a.ymax.has_value(), a.ymax.value_or("")};
    if (const FieldCheck e = yAxis.Check()) {
        ctx.ui.message("--ymax: " + e->message, MessageKind::Error);
        ctx.exitCode = kExitRefused;
        return;
    }
    DocumentSession s(ctx);
    if (SameFile(a.file.file, a.out)) {
        s.Fail("Das Bild kann nicht nach " + a.out + " geschrieben werden: das ist die Datei " + a.file.file +
               " selbst. Sie bleibt unverändert.");
        return;
    }
    // The chosen choke's data points come from the component folder.
    if (!CheckNamedFolder(a.databaseNamed, a.database, ctx) || !s.LoadDatabase(a.database) || !s.Open(a.file)) return;

    std::vector<CGraphTrace> traces = BuildGraphTraces(s.doc(), ParseValue(a.from), ParseValue(a.to), a.steps, a.log);
    if (!a.traces.empty()) {
        for (const std::string& name : a.traces) {
            const bool known = std::any_of(traces.begin(), traces.end(),
                                           [&](const CGraphTrace& t) { return t.name == name; });
            if (known) continue;
            std::string names;
            for (const CGraphTrace& t : traces) names += (names.empty() ? "" : ", ") + t.name;
            s.Fail("Keine Kurve " + name + " in " + a.file.file + " (vorhanden: " + (names.empty() ? "keine" : names) +
                       ")",
                   kExitRefused);
            return;
        }
        for (CGraphTrace& t : traces)
            t.visible = std::find(a.traces.begin(), a.traces.end(), t.name) != a.traces.end() ? 1 : 0;
    }
    bool yAuto = true;
    double yMaximum = 2.0;
    yAxis.ApplyTo(yAuto, yMaximum);
    const HeadlessQt qt;
    const TargetBand band = GroupTargetBand(BandGroup(s.doc()));
    if (a.band && !band.HasTargets())
        ctx.ui.message("Die Gruppe hat keine Zielwerte: kein Zielband", MessageKind::Warning);
    const render::GraphPicture picture = a.band && band.HasTargets()
                                             ? render::MakeBandPicture(std::move(traces), a.log, band, yAuto, yMaximum)
                                             : render::MakeGraphPicture(std::move(traces), a.log, yAuto, yMaximum);
    // The picture is drawn with its note; the person running the tool
    // hears of it too.
    if (!picture.note.isEmpty()) ctx.ui.message(kMessageUnitsDiffer, MessageKind::Warning);
    QString error;
    if (!render::WriteGraphPicture(picture, QString::fromStdString(a.out), QSize(width, height), error)) {
        s.Fail(error.toStdString());
        return;
    }
    std::printf("Grafik geschrieben: %s\n", a.out.c_str());
    if (picture.band)
        for (const CGraphTrace& t : picture.traces)
            if (t.visible != 0 && t.name != kApproxTrace && t.yUnit == "Ohm")
                for (const BandExcursion& e : BandExcursions(t, band)) std::printf("%s\n", ExcursionText(e).c_str());
#else
    (void)a;
    ctx.ui.message("Dieses vantor-cli wurde ohne Qt gebaut (VANTOR_BUILD_REPORT=OFF): keine Grafik",
                   MessageKind::Error);
    ctx.exitCode = kExitFailed;
#endif
}

}  // namespace

void RegisterPlotCommand(CLI::App& app, Context& ctx) {
    auto a = std::make_shared<PlotArgs>();
    CLI::App* plot = app.add_subcommand("plot", "The graph window's picture as PNG, SVG or PDF");
    AddFileArgs(plot, a->file, false);
    plot->add_option("-o,--output", a->out, "Picture to write: .png, .svg or .pdf")
        ->required()
        ->check([](const std::string& path) {
            const std::string ext = std::filesystem::path(path).extension().string();
            return ext == ".png" || ext == ".svg" || ext == ".pdf" ? std::string()
                                                                   : std::string("expected a .png, .svg or .pdf file");
        });
    plot->add_option("--from", a->from, "First frequency (default 0)");
    plot->add_option("--to", a->to, "Last frequency (default 1GHz)");
    plot->add_option("--steps", a->steps, "Number of steps (default 500)");
    plot->add_option("--ymax", a->ymax, "Top of the Y axis, e.g. 0.5Ohm (default: from the curves)");
    plot->add_flag("--log", a->log, "Logarithmic frequency and |Z| axes");
    plot->add_flag("--band", a->band, "The target band of the current group, shaded, and where probe curves leave it");
    plot->add_option("--traces", a->traces, "Curves to draw, e.g. Approx,Probe1 (default: all)")->delimiter(',');
    plot->add_option("--size", a->size, "Picture size in pixels (default 1596x1200; PDF: A4 landscape)");
    a->databaseNamed = AddDatabaseOption(plot, a->database);
    plot->callback([a, &ctx] { RunPlot(*a, ctx); });
}

}  // namespace vantor::cli
