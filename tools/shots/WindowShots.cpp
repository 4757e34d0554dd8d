// Pictures of how the program's windows fit their contents, for a person to
// look at (not a test):
//   XDG_CONFIG_HOME=$(mktemp -d) xvfb-run -a build/tools/shots/window_shots OUTDIR [suffix]
// first-start.png (a start without remembered geometry), modified.png (a
// maximised design with a change: the mark in the main title), layer-reopened.png
// (a design saved with its layer editor open, started again), graph-five.png
// (five curves) and 3d-solid.png, 3d-flat-move.png.

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>

#include "C3DGLView.h"
#include "CLayerEditFrm.h"
#include "CMainFrame.h"
#include "COpenGL3D.h"
#include "CVtrApp.h"
#include "CVtrDoc.h"
#include "CVtrGrphFrm.h"
#include "CVtrGrphVw.h"
#include "DocumentHost.h"
#include "GraphPainter.h"
#include "ShotSupport.h"

using namespace vantor;
using namespace vantor::app;

namespace {

/// The screen around a window, with its title as the program sets it.
void SaveWindow(QWidget& w, const QString& path) {
    shots::Settle(20);
    QPixmap picture = w.grab();
    // The title bar is the window manager's; the title goes over the picture.
    QPixmap titled(picture.width(), picture.height() + 24 * int(picture.devicePixelRatio()));
    titled.setDevicePixelRatio(picture.devicePixelRatio());
    titled.fill(QColor(60, 60, 60));
    QPainter p(&titled);
    p.setPen(Qt::white);
    p.drawText(QRectF(6, 0, titled.width(), 24), Qt::AlignVCenter,
               w.windowHandle() ? w.windowHandle()->title() : w.windowTitle());
    p.drawPixmap(0, 24, picture);
    p.end();
    titled.save(path);
}

}  // namespace

int main(int argc, char** argv) {
    CVtrApp app(argc, argv);
    const shots::Pictures name(argc, argv);
    QTemporaryDir dir;

    StartOptions first;
    first.database = QStringLiteral(VANTOR_SOURCE_DIR "/Database");
    if (app.Start(first) != -1) return 1;
    CMainFrame* frame = app.mainFrame();
    SaveWindow(*frame, name("first-start"));

    // A change in the maximised design: the main title carries the mark.
    DocumentHost* host = frame->documents().front();
    host->runCommand(QStringLiteral("Neue Gruppe"), [&] { host->document().newGroup(); });
    SaveWindow(*frame, name("modified"));

    // Saved with the layer editor open, then started again.
    const QString saved = dir.filePath(QStringLiteral("mit-editor.vnt"));
    host->setLayerEditorOpen(true);
    host->saveTo(saved);
    host->closeAll();
    shots::Settle();
    delete frame;
    StartOptions reopen = first;
    reopen.file = saved;
    if (app.Start(reopen) != -1) return 1;
    frame = app.mainFrame();
    for (QMdiSubWindow* w : frame->mdiArea()->subWindowList())
        if (qobject_cast<ui::CLayerEditFrm*>(DocumentFrame::ContentOf(w)) != nullptr)
            frame->mdiArea()->setActiveSubWindow(w);
    SaveWindow(*frame, name("layer-reopened"));
    frame->documents().front()->closeAll();
    shots::Settle();

    // The graph window of an analysed design with five curves: Approx, two
    // probes, the filter and one probe more.
    shots::PlaceMainWindow(*frame);
    ui::CVtrGrphFrm* graph = shots::AnalysedGraphWindow(*frame, 10, host);
    if (graph == nullptr) return 1;
    render::GraphPicture picture = graph->graph().picture(false);
    for (int k = 0; picture.traces.size() < 5; ++k) {
        CGraphTrace extra = picture.traces[std::size_t(k) % picture.traces.size()];
        for (CTracePoint& point : extra.points) point.y *= 1.6 + 0.4 * k;
        extra.caption += " (x" + std::to_string(k + 2) + ")";
        picture.traces.push_back(extra);
    }
    picture = render::MakeGraphPicture(picture.traces, false);
    const QSize size = graph->graph().size();
    QImage five(size * graph->devicePixelRatioF(), QImage::Format_RGB32);
    five.setDevicePixelRatio(graph->devicePixelRatioF());
    {
        QPainter painter(&five);
        render::RenderGraph(painter, QRectF(QPointF(), QSizeF(size)), picture);
    }
    five.save(name("graph-five"));

    if (view3d::C3DGLView* view = graph->threeDView()) {
        const auto shot = [&](const char* base) {
            view->chartChanged();
            shots::Settle(20);
            const QPoint at = view->mapToGlobal(QPoint(0, 0));
            view->screen()->grabWindow(0, at.x(), at.y(), view->width(), view->height()).save(name(base));
        };
        shot("3d-solid");
        view->chart().Settings().surfaceType = view3d::kFlat;
        view->chart().SetMode(view3d::kMove);
        shot("3d-flat-move");
    }
    host->document().SetModifiedFlag(false);
    host->closeAll();
    return 0;
}
