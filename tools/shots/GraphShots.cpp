// Pictures of the graph window for a person to look at:
//   QT_SCALE_FACTOR=2 xvfb-run -a build/tools/shots/graph_shots OUTDIR [suffix]
// Writes graph-window.png (the program with the graph window of an analysed
// design, its own menus and the read-out under the mouse), graph-log.png
// (log-log axes), graph-note.png (curves of different units) and
// graph-preview.png (the printed page drawn into an image) and
// graph-print.pdf (the same through the program's printing). Not a test: it
// asserts nothing.

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScreen>

#include "CMainFrame.h"
#include "CTracesTreeView.h"
#include "CVtrApp.h"
#include "CVtrGrphFrm.h"
#include "CVtrGrphVw.h"
#include "DocumentHost.h"
#include "GraphPainter.h"
#include "ShotSupport.h"

using namespace vantor;
using namespace vantor::app;

namespace {

void Settle() { shots::Settle(10); }

void PointAt(QWidget& w, QPointF at) {
    QMouseEvent move(QEvent::MouseMove, at, w.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
    Settle();
}

}  // namespace

int main(int argc, char** argv) {
    CVtrApp app(argc, argv);
    const shots::Pictures name(argc, argv, QStringLiteral("graph-"));

    CMainFrame frame(app.database());
    shots::PlaceMainWindow(frame);
    DocumentHost* host = nullptr;
    ui::CVtrGrphFrm* graph = shots::AnalysedGraphWindow(frame, 20, host);
    CVtrDoc& doc = host->document();
    if (graph == nullptr) return 1;
    graph->graph().setLogarithmic(false);
    Settle();
    ui::CVtrGrphVw& view = graph->graph();
    PointAt(view, QPointF(view.width() * 0.45, view.height() * 0.5));
    frame.grab().save(name("window"));

    graph->logarithmicAction()->trigger();
    PointAt(view, QPointF(view.width() * 0.6, view.height() * 0.6));
    frame.grab().save(name("log"));
    graph->logarithmicAction()->trigger();

    // The note over curves of different units, as the painter draws it.
    render::GraphPicture mixed = view.picture(false);
    CGraphTrace filter("Filter", "Hz", "dB", "Filterdämpfung");
    for (int i = 0; i <= 100; ++i) filter.points.emplace_back(i * 1e7, -i * 0.4);
    mixed.traces.push_back(filter);
    mixed = render::MakeGraphPicture(mixed.traces, false);
    QImage note(view.size() * view.devicePixelRatio(), QImage::Format_RGB32);
    note.setDevicePixelRatio(view.devicePixelRatio());
    {
        QPainter painter(&note);
        render::RenderGraph(painter, QRectF(view.rect()), mixed);
    }
    note.save(name("note"));

    // The printed page: A4 landscape at 150 dpi with 10 mm margins.
    QImage page(1754, 1240, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        graph->printPage(painter, QRectF(59, 59, 1754 - 118, 1240 - 118));
    }
    page.save(name("preview"));

    // Through the program's printing into a PDF (A4 landscape), for pdftoppm.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFileName(name("print", ".pdf"));
    CMainFrame::printPicture(printer, *graph);

    doc.SetModifiedFlag(false);
    host->closeAll();
    return 0;
}
