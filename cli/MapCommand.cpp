// vantor-cli map: the flat colour map of a solved design's impedance (the
// 3D view's flat type) with its legend in Ohm, as PNG, drawn headless.

#include <cstdio>
#include <filesystem>
#include <memory>

#include "CVtrDoc.h"
#include "DocumentFile.h"
#include "DocumentSession.h"
#include "PlaneResults.h"
#include "Workflows.h"

#ifdef VANTOR_HAVE_REPORT
#include "HeadlessQt.h"
#include "SurfaceData.h"
#include "SurfaceMapPainter.h"
#endif

namespace vantor::cli {

namespace {

struct MapArgs {
    FileArgs file;
    std::string out;
    std::string map = kMaximumLabel;
    int width = 1200;
};

void RunMap(const MapArgs& a, Context& ctx) {
#ifdef VANTOR_HAVE_REPORT
    DocumentSession s(ctx);
    if (SameFile(a.file.file, a.out)) {
        s.Fail("Das Bild kann nicht nach " + a.out + " geschrieben werden: das ist die Datei " + a.file.file +
               " selbst. Sie bleibt unverändert.");
        return;
    }
    if (!s.Open(a.file)) return;
    const CLayer* plane = s.doc().plane();
    float zmin = 0, zmax = 0;
    std::vector<render::SurfaceDataSet> sets;
    if (plane != nullptr) sets = render::BuildDataSets(*plane, zmin, zmax);
    if (sets.empty()) {
        s.Fail(a.file.file + " enthält keine Ergebnisse der Feldanalyse (\"Analyse !\" zuerst).", kExitRefused);
        return;
    }
    // Set 0 is the maximum; the entries follow in order.
    const render::SurfaceDataSet* chosen = nullptr;
    for (std::size_t i = 0; i < sets.size() && chosen == nullptr; ++i)
        if (sets[i].name == a.map) chosen = &sets[i];
    if (chosen == nullptr) {
        std::string names;
        for (std::size_t i = 1; i < sets.size(); ++i) names += (names.empty() ? "" : ", ") + sets[i].name;
        s.Fail("Keine Karte " + a.map + " in " + a.file.file + " (vorhanden: " + names + ")", kExitRefused);
        return;
    }
    const HeadlessQt qt;
    render::SurfaceMapPicture picture;
    picture.set = chosen;
    picture.zmin = chosen->zmin;
    picture.zmax = chosen->zmax;
    QString error;
    if (!render::WriteSurfaceMap(picture, QString::fromStdString(a.out), a.width, error)) {
        s.Fail(error.toStdString());
        return;
    }
    std::printf("Karte geschrieben: %s\n", a.out.c_str());
#else
    (void)a;
    ctx.ui.message("Dieses vantor-cli wurde ohne Qt gebaut (VANTOR_BUILD_REPORT=OFF): keine Karte", MessageKind::Error);
    ctx.exitCode = kExitFailed;
#endif
}

}  // namespace

void RegisterMapCommand(CLI::App& app, Context& ctx) {
    auto a = std::make_shared<MapArgs>();
    CLI::App* map = app.add_subcommand("map", "The impedance over the plane as a flat colour map (PNG)");
    AddFileArgs(map, a->file, false);
    map->add_option("-o,--output", a->out, "Picture to write (.png)")->required()->check([](const std::string& path) {
        return std::filesystem::path(path).extension() == ".png" ? std::string() : std::string("expected a .png file");
    });
    map->add_option("--map", a->map, "Result map: a frequency label as stored, or Maximum (default)");
    map->add_option("--width", a->width, "Picture width in pixels (default 1200)")->check(CLI::Range(64, 20000));
    map->callback([a, &ctx] { RunMap(*a, ctx); });
}

}  // namespace vantor::cli
