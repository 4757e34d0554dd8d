// vantor-cli report: the printed design report as a PDF, drawn headless.

#include <cstdio>
#include <filesystem>
#include <memory>

#include "DocumentFile.h"
#include "DesignOptions.h"
#include "DocumentSession.h"
#include "Workflows.h"

#ifdef VANTOR_HAVE_REPORT
#include "HeadlessQt.h"
#include "ReportPainter.h"
#endif

namespace vantor::cli {

namespace {

struct ReportArgs {
    FileArgs file;
    std::string out;
    std::string paper = "A4";
    std::string database = "Database";
    const CLI::Option* databaseNamed = nullptr;
};

void RunReport(const ReportArgs& a, Context& ctx) {
#ifdef VANTOR_HAVE_REPORT
    DocumentSession s(ctx);
    // Through a link or a second name the output may be the design itself.
    if (SameFile(a.file.file, a.out)) {
        s.Fail("Der Bericht kann nicht nach " + a.out + " geschrieben werden: das ist die Datei " + a.file.file +
               " selbst. Sie bleibt unverändert.");
        return;
    }
    // The chosen choke's data points come from the component folder.
    if (!CheckNamedFolder(a.databaseNamed, a.database, ctx) || !s.LoadDatabase(a.database) || !s.Open(a.file)) return;
    const HeadlessQt qt;
    const QString title = QString::fromStdString(std::filesystem::path(a.file.file).filename().string());
    QString error;
    if (!render::WriteReportPdf(s.doc(), title, QString::fromStdString(a.out), a.paper == "Letter", error)) {
        s.Fail(error.toStdString());
        return;
    }
    std::printf("Bericht geschrieben: %s\n", a.out.c_str());
#else
    (void)a;
    ctx.ui.message("Dieses vantor-cli wurde ohne Qt gebaut (VANTOR_BUILD_REPORT=OFF): kein Bericht",
                   MessageKind::Error);
    ctx.exitCode = kExitFailed;
#endif
}

}  // namespace

void RegisterReportCommand(CLI::App& app, Context& ctx) {
    auto a = std::make_shared<ReportArgs>();
    CLI::App* report = app.add_subcommand("report", "The design report as a PDF file");
    AddFileArgs(report, a->file, false);
    report->add_option("-o,--output", a->out, "PDF file to write")->required();
    report->add_option("--paper", a->paper, "A4 (default) or Letter")->check(CLI::IsMember({"A4", "Letter"}));
    a->databaseNamed = AddDatabaseOption(report, a->database);
    report->callback([a, &ctx] { RunReport(*a, ctx); });
}

}  // namespace vantor::cli
