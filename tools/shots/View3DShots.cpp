// Pictures of the 3D view for a person to look at (not a test):
//   xvfb-run -a build/tools/shots/view3d-shots OUTDIR [suffix]
// The graph window of an analysed design with the 3D view in its lower row
// (solid, grid, flat), each panel, the colour pop-up, and an exported BMP.

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include "C3DGLView.h"
#include "CColourPicker.h"
#include "CMainFrame.h"
#include "COpenGL.h"
#include "CVtrApp.h"
#include "CVtrDoc.h"
#include "CVtrGrphFrm.h"
#include "DocumentHost.h"
#include "ShotSupport.h"

using namespace vantor;
using namespace vantor::app;

namespace {

void Settle() { shots::Settle(20); }

// What the screen shows of w: the OpenGL picture with the texts over it.
QPixmap Shot(QWidget& w) {
    const QPoint at = w.mapToGlobal(QPoint(0, 0));
    return w.screen()->grabWindow(0, at.x(), at.y(), w.width(), w.height());
}

}  // namespace

int main(int argc, char** argv) {
    CVtrApp app(argc, argv);
    const shots::Pictures name(argc, argv, QStringLiteral("view3d-"));

    CMainFrame frame(app.database());
    shots::PlaceMainWindow(frame);
    DocumentHost* host = nullptr;
    ui::CVtrGrphFrm* graph = shots::AnalysedGraphWindow(frame, 10, host);
    CVtrDoc& doc = host->document();
    if (graph == nullptr || graph->threeDView() == nullptr) return 1;
    view3d::C3DGLView& view = *graph->threeDView();
    Settle();
    Shot(frame).save(name(QStringLiteral("window")));

    const char* types[] = {"flat", "grid", "solid"};
    for (int type = 0; type < 3; ++type) {
        view.chart().Settings().surfaceType = type;
        view.chart().Settings().base = view.chart().Settings().side = type == 2;
        view.chartChanged();
        Settle();
        Shot(view).save(name(QString::fromLatin1(types[type])));
    }
    // A frequency point, seen from another side.
    view.chart().SetCurrent(5);
    view.chart().Settings().ax = -50;
    view.chart().Settings().az = 30;
    view.chart().Settings().marker = true;
    view.chart().Settings().markerLevel = 70;
    view.chartChanged();
    Settle();
    Shot(view).save(name(QStringLiteral("frequency")));

    QTabWidget& tabs = view.panels();
    for (int i = 0; i < tabs.count(); ++i) {
        tabs.setCurrentIndex(i);
        Settle();
        Shot(tabs).save(name(QStringLiteral("panel-") + tabs.tabText(i).toLower()));
    }
    // The colour pop-up of "Back Color".
    tabs.setCurrentIndex(1);
    Settle();
    if (auto* picker = tabs.currentWidget()->findChild<view3d::CColourPicker*>()) {
        picker->click();
        Settle();
        if (auto* popup = picker->findChild<view3d::CColourPopup*>()) {
            // The highlight moved by the keyboard: two right, one down.
            for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
                QTest::keyClick(popup->windowHandle(), key);
            Settle();
            Shot(*popup).save(name(QStringLiteral("popup")));
            popup->close();
        }
    }
    // The export as the menu writes it.
    view.askBitmapPath = [&] { return name("export", ".bmp"); };
    view.saveBitmap();

    doc.SetModifiedFlag(false);
    host->closeAll();
    return 0;
}
