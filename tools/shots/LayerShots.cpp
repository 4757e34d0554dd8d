// Pictures of the layer editor for a person to look at:
//   QT_SCALE_FACTOR=2 xvfb-run -a build/tools/shots/layer_shots OUTDIR [suffix]
// The default design with two groups, two probes and a cut-out: the editor
// window (layer-editor), the main window with it (layer-main), the
// impedance map after a solve and after a group moved (layer-map,
// layer-map-stale), a drag in progress (layer-drag) and the printed page
// (layer-print). Not a test: it asserts nothing.

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScreen>
#include <QtTest>

#include "CCGroup.h"
#include "CLayer.h"
#include "CLayerEditFrm.h"
#include "CLayerEditView.h"
#include "CMainFrame.h"
#include "CSplashDlg.h"
#include "CVtrApp.h"
#include "DocumentFrame.h"
#include "DocumentHost.h"
#include "PlaneEdits.h"
#include "ShotSupport.h"

using namespace vantor;
using namespace vantor::app;

namespace {

void Settle() { shots::Settle(5); }

}  // namespace

int main(int argc, char** argv) {
    CVtrApp app(argc, argv);
    const shots::Pictures name(argc, argv);

    CSplashDlg splash;
    splash.LoadDatabase(app.database(), QStringLiteral(VANTOR_SOURCE_DIR "/Database"));
    splash.close();

    CMainFrame frame(app.database());
    frame.resize(frame.screen()->availableSize() * 0.9);
    frame.move(0, 0);
    DocumentHost* host = frame.newDocument();
    CVtrDoc& doc = host->document();
    const CCGroup* first = doc.newGroup();
    doc.moveGroup(first, 0.015, 0.045);
    const CCGroup* second = doc.newGroup();
    doc.moveGroup(second, 0.070, 0.050);
    AddCutOut(doc, 0.040, 0.045, 0.060, 0.062);
    frame.show();
    host->setLayerEditorOpen(true);
    Settle();

    DocumentFrame* editor = nullptr;
    for (DocumentFrame* f : host->frames())
        if (f->kind() == FrameKind::LayerEditor) editor = f;
    auto* content = static_cast<ui::CLayerEditFrm*>(editor->content());
    frame.mdiArea()->setActiveSubWindow(editor);
    Settle();
    editor->grab().save(name("layer-editor"));
    frame.grab().save(name("layer-main"));

    // A drag of the second group, caught before the release.
    ui::CLayerEditView& view = content->view();
    const QPoint from = view.toPixel(second->posX, second->posY).toPoint();
    const QPoint to = view.toPixel(0.085, 0.030).toPoint();
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    QTest::mouseMove(&view, to);
    Settle();
    editor->grab().save(name("layer-drag"));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, to);

    doc.analyse();
    content->mapAction()->setChecked(true);
    Settle();
    editor->grab().save(name("layer-map"));
    doc.moveGroup(first, 0.030, 0.060);
    Settle();
    editor->grab().save(name("layer-map-stale"));

    // The printed page: A4 landscape at 150 dpi.
    QImage page(1754, 1240, QImage::Format_RGB32);
    page.setDotsPerMeterX(5906);
    page.setDotsPerMeterY(5906);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        content->printPage(p, QRectF(118, 118, 1754 - 236, 1240 - 236));
    }
    page.save(name("layer-print"));

    doc.SetModifiedFlag(false);
    host->closeAll();
    return 0;
}
