// The design report of a large analysed design: a plane of about 100,000
// nodes with 101 stored frequencies, two groups, three probes and a chosen
// choke, drawn into a PDF in memory (goal under 2 s). The results are
// made up: the report reads them, it does not solve. Runs offscreen
// unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "CLayer.h"
#include "CVtrDoc.h"
#include "DesignAccess.h"
#include "RecordingInteraction.h"
#include "ReportPainter.h"
#include "Values.h"

using namespace vantor;

namespace {

struct LargeDesign {
    LargeDesign() {
        RegisterModelClasses();
        doc.AddView(form);
        doc.OnNewDocument();
        doc.newGroup();
        doc.newGroup();
        auto choke = std::make_unique<CSParaSet>();
        choke->name = "L-Bench", choke->maker = "Hersteller", choke->dimensions = "0805";
        for (int i = 0; i <= 100; ++i) {
            const double f = 1e6 * std::pow(1000.0, i / 100.0), t = 1.0 / (1.0 + f / 3e7);
            choke->points.push_back({f, {1 - t, 0}, {t, 0}, {t, 0}, {1 - t, 0}});
        }
        db.AddSet(std::move(choke));
        doc.transferGroupToFilter();
        DesignAccess::Filter(doc).candidates = {db.Find("L-Bench")};

        CLayer& plane = *DesignAccess::Plane(doc);
        plane.probes.push_back(std::make_unique<CProbe>(0.08, 0.06, "Probe3"));
        plane.cutOuts.push_back(std::make_unique<CCutOut>(0.02, 0.02, 0.035, 0.04, "Loch"));
        DesignAccess::AnalysisDomain(doc).frequencySteps = 100;
        plane.BuildMesh(doc.analysisDomain().stopFrequency, 54);
        nodes = plane.mesh.gridPointCount;
        // A cavity-like |Z| rising with frequency and towards the corners.
        const int rows = plane.mesh.ny, columns = plane.mesh.nx;
        ComplexMatrix maximum(rows, columns, kNoMetal);
        for (int k = 0; k <= 100; ++k) {
            const double f = doc.analysisDomain().frequencyAt(k);
            ComplexMatrix map(rows, columns, kNoMetal);
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c) {
                    if (plane.mesh.nodeIndexMap(r, c) == 0) continue;
                    const std::complex<double> z(0.01 + 0.2 * f / 1e9 * (1 + std::cos(0.05 * r) * std::sin(0.04 * c)),
                                                 0.1);
                    map.Set(r, c, z);
                    if (std::abs(z) > std::abs(maximum(r, c)) || maximum(r, c) == kNoMetal) maximum.Set(r, c, z);
                }
            plane.results.resultMaps.push_back(std::move(map));
            plane.results.resultLabels.push_back(FormatValue(f, "Hz", 4));
        }
        plane.results.resultMaps.push_back(std::move(maximum));
        plane.results.resultLabels.push_back(kMaximumLabel);
    }

    RecordingInteraction ui;
    CSParameterDB db;
    CVtrDoc doc{db, ui};
    RecordView form{std::make_unique<MainFormState>()};
    int nodes = 0;
};

void ReportPdf(benchmark::State& state) {
    static LargeDesign design;
    int pages = 0;
    for (auto _ : state) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setResolution(254);
        QPainter painter(&writer);
        pages = static_cast<int>(render::RenderReport(painter, design.doc, QStringLiteral("gross.vnt")).size());
        painter.end();
        benchmark::DoNotOptimize(pdf.size());
    }
    state.counters["nodes"] = design.nodes;
    state.counters["pages"] = pages;
}
BENCHMARK(ReportPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
