// The 3D view on a real OpenGL context (Mesa under xvfb-run): the band
// colours of a known map, the coarse surface while the chart moves,
// "No Data !" without results, the menu's check marks and the bitmap
// export with its failures.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

#include "DesignAccess.h"
#include "C3DGLView.h"
#include "CColourPicker.h"
#include "CLayer.h"
#include "CFlatChartView.h"
#include "CForm3D.h"
#include "COpenGL.h"
#include "CVtrDoc.h"
#include "PlaneEdits.h"
#include "PlaneResults.h"
#include "RecordingInteraction.h"
#include "ShowAt.h"
#include "SurfaceData.h"
#include "SurfaceMapPainter.h"

using namespace vantor;
using namespace vantor::view3d;

namespace {

struct Design {
    Design() {
        RegisterModelClasses();
        doc.OnNewDocument();
    }
    RecordingInteraction ui;
    CSParameterDB db;
    CVtrDoc doc{db, ui};
};

// Pixel in the grabbed picture at a fraction of the widget.
QColor PixelAt(const QImage& image, double fx, double fy) {
    return image.pixelColor(static_cast<int>(image.width() * fx), static_cast<int>(image.height() * fy));
}

template <class W>
W* Named(QWidget& parent, const char* name) {
    for (W* w : parent.findChildren<W*>())
        if (w->accessibleName() == QLatin1String(name)) return w;
    qFatal("no control named %s", name);
}

// A button pressed from the keyboard, as a person tabbing to it does.
void PressSpace(QAbstractButton* button) {
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
}

void ClickRow(QListWidget& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
}

// The chart shows map as its only result, on a plane of length x width, m.
void LoadMaximum(COpenGL3D& chart, const ComplexMatrix& map, double length, double width) {
    PlaneResults results;
    results.resultMaps = {map};
    results.resultLabels = {kMaximumLabel};
    float zmin = 0, zmax = 0;
    chart.Load(render::BuildDataSets(results, length, width, zmin, zmax), zmin, zmax);
}

}  // namespace

class View3DTest : public QObject {
    Q_OBJECT
private slots:
    void bandColoursOfAKnownMap() {
        if (!COpenGL::Available()) QSKIP("no OpenGL context can be made here (run under xvfb-run with Mesa)");
        COpenGL3D chart;
        COpenGL gl(chart);
        if (!test::ShowAt(gl, 400, 400)) QSKIP("no window could be shown");
        // Left half 1 Ohm, right half 10 Ohm; two bands blue and red.
        ComplexMatrix map(6, 6);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 6; ++c) map.Set(r, c, {c < 3 ? 1.0 : 10.0, 0.0});
        LoadMaximum(gl.chart(), map, 0.1, 0.1);
        ChartSettings& s = gl.chart().Settings();
        s.surfaceType = kFlat;
        s.mode = kMove;
        s.axis = s.legend = s.label = false;
        s.bands.divisions = 2;
        s.bands.start = {0, 0, 1};
        s.bands.end = {1, 0, 0};
        gl.chartChanged();
        const QImage picture = gl.grabFramebuffer();
        if (!gl.contextValid() || picture.isNull())
            QSKIP("no OpenGL context could be made (run under xvfb-run with Mesa)");
        QCOMPARE(PixelAt(picture, 0.2, 0.5), QColor(0, 0, 255));
        QCOMPARE(PixelAt(picture, 0.8, 0.5), QColor(255, 0, 0));
        QCOMPARE(PixelAt(picture, 0.8, 0.2), QColor(255, 0, 0));
    }

    void axisTextsLieOutsideTheChartAndInsideTheWindow() {
        if (!COpenGL::Available()) QSKIP("no OpenGL context can be made here (run under xvfb-run with Mesa)");
        COpenGL3D chart;
        COpenGL gl(chart);
        if (!test::ShowAt(gl, 420, 260)) QSKIP("no window could be shown");  // the size of the graph window's lower row
        ComplexMatrix map(8, 6);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 6; ++c) map.Set(r, c, {1.0 + r * c, 0.0});
        LoadMaximum(gl.chart(), map, 0.099, 0.07);
        // The default view, solid, then the flat map moved.
        for (const int type : {kSolid, kFlat}) {
            gl.chart().Settings().surfaceType = type;
            if (type == kFlat) gl.chart().SetMode(kMove);
            gl.chartChanged();
            const QImage picture = gl.grabFramebuffer();
            if (!gl.contextValid() || picture.isNull()) QSKIP("no OpenGL context could be made");
            const QList<QRectF>& labels = gl.labelRects();
            QCOMPARE(labels.size(), type == kSolid ? 6 : 2);  // X, Y, |Z| and three values
            for (const QRectF& r : labels) {
                QVERIFY2(QRectF(gl.rect()).contains(r), qPrintable(QStringLiteral("%1,%2").arg(r.x()).arg(r.y())));
                QVERIFY2(!gl.chartOutline().intersects(QPolygonF(r)),
                         qPrintable(QStringLiteral("%1,%2").arg(r.x()).arg(r.y())));
            }
            // The flat map sits in the middle.
            const QRectF box = gl.chartOutline().boundingRect();
            QVERIFY(box.top() > 0 && box.bottom() < gl.height());
            QVERIFY(std::abs(box.center().y() - gl.height() / 2.0) < 0.1 * gl.height() || type == kSolid);
        }
    }

    void coarseWhileMovingAndTheSamePictureAtRest() {
        if (!COpenGL::Available()) QSKIP("no OpenGL context can be made here (run under xvfb-run with Mesa)");
        COpenGL3D chart;
        COpenGL gl(chart);
        if (!test::ShowAt(gl, 400, 300)) QSKIP("no window could be shown");
        // 200 x 200 points: 39,601 cells, more than drawn while moving; a ripple
        // with sharp peaks that the coarse surface shows differently.
        const int n = 200;
        ComplexMatrix map(n, n);
        for (int r = 0; r < n; ++r)
            for (int c = 0; c < n; ++c) map.Set(r, c, {1.0 + ((r * 7 + c * 3) % 11 == 0 ? 4.0 : 0.0) + 0.01 * r, 0.0});
        LoadMaximum(chart, map, 0.1, 0.08);
        chart.Settings().surfaceType = kSolid;
        chart.speed = 2;
        gl.chartChanged();
        const QImage atRest = gl.grabFramebuffer();
        if (!gl.contextValid() || atRest.isNull())
            QSKIP("no OpenGL context could be made (run under xvfb-run with Mesa)");
        QCOMPARE(gl.gridDrawn(), QSize(n, n));
        const auto coarse = [&] {
            const QSize g = gl.gridDrawn();
            return gl.moving() && g.width() < n && long(g.width() - 1) * (g.height() - 1) <= COpenGL::kMovingCells;
        };

        // Dragged there and back to the same angles, the button still held:
        // the coarse surface, then the full one again when the mouse rests.
        const QPoint middle(200, 150), aside(240, 170);
        QTest::mousePress(&gl, Qt::LeftButton, {}, middle);
        QTest::mouseMove(&gl, aside);
        QVERIFY(gl.moving());
        QTest::mouseMove(&gl, middle);
        const QImage moving = gl.grabFramebuffer();
        QVERIFY(coarse());
        QVERIFY(moving != atRest);
        QTRY_VERIFY(!gl.moving());
        QCOMPARE(gl.grabFramebuffer(), atRest);
        QCOMPARE(gl.gridDrawn(), QSize(n, n));
        // Letting go ends the movement at once.
        QTest::mouseMove(&gl, aside);
        QTest::mouseMove(&gl, middle);
        QVERIFY(gl.moving());
        QTest::mouseRelease(&gl, Qt::LeftButton, {}, middle);
        QVERIFY(!gl.moving());
        QCOMPARE(gl.grabFramebuffer(), atRest);

        // A running animation draws coarse until it stops, then full at once.
        ChartSettings& s = chart.Settings();
        const float ax = s.ax, ay = s.ay, az = s.az;
        s.pattern = 2;
        gl.chartChanged();
        QTRY_VERIFY(gl.moving());
        gl.grabFramebuffer();
        QVERIFY(coarse());
        s.pattern = kNoAnimation;
        s.ax = ax, s.ay = ay, s.az = az;
        gl.chartChanged();
        QVERIFY(!gl.moving());
        QCOMPARE(gl.grabFramebuffer(), atRest);
    }

    void noDataWithoutResults() {
        Design d;
        C3DGLView view(d.doc, {});
        if (!test::ShowAt(view, 800, 500)) QSKIP("no window could be shown");
        QCOMPARE(view.findChild<CForm3D*>()->mapList().count(), 0);
        if (view.glView() == nullptr) QSKIP("no OpenGL context can be made here (run under xvfb-run with Mesa)");
        const QImage picture = view.glView()->grabFramebuffer();
        if (!view.glView()->contextValid() || picture.isNull()) QSKIP("no OpenGL context could be made");
        // The grey of an empty chart, and text in the middle of it.
        QCOMPARE(PixelAt(picture, 0.05, 0.05), QColor(145, 145, 145));
        int dark = 0;
        for (int x = picture.width() / 3; x < picture.width() * 2 / 3; ++x)
            if (picture.pixelColor(x, picture.height() / 2).lightness() < 80) ++dark;
        QVERIFY2(dark > 5, "\"No Data !\" is drawn across the middle");
    }

    void gridAsSurfaceMenuTwiceAndTheWheel() {
        Design d;
        d.doc.newGroup();
        DesignAccess::AnalysisDomain(d.doc).frequencySteps = 2;
        QVERIFY(d.doc.analyse());
        C3DGLView view(d.doc, {});
        // The map list: "Maximum", the frequencies, "Maximum" again.
        QListWidget& maps = view.findChild<CForm3D*>()->mapList();
        QCOMPARE(maps.count(), d.doc.plane()->results.EntryCount() + 1);
        QCOMPARE(maps.item(0)->text(), QStringLiteral("Maximum"));
        QCOMPARE(maps.item(maps.count() - 1)->text(), QStringLiteral("Maximum"));
        const int start = view.chart().Settings().surfaceType;
        const bool checked = view.gridAsSurfaceAction()->isChecked();
        view.gridAsSurfaceAction()->trigger();
        QCOMPARE(view.gridAsSurfaceAction()->isChecked(), !checked);
        view.gridAsSurfaceAction()->trigger();
        QCOMPARE(view.chart().Settings().surfaceType, start);
        QCOMPARE(view.gridAsSurfaceAction()->isChecked(), checked);

        // The wheel steps the shown set and the list follows; it stops at the ends.
        QWidget* chart = view.glView() != nullptr ? static_cast<QWidget*>(view.glView())
                                                  : view.findChild<CFlatChartView*>();
        QVERIFY(chart != nullptr);
        auto wheel = [&](int delta) {
            QWheelEvent e(QPointF(5, 5), chart->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(chart, &e);
        };
        wheel(120);
        QCOMPARE(view.chart().Current(), 1);
        QCOMPARE(maps.currentRow(), 1);
        for (int i = 0; i < 3; ++i) wheel(-120);
        QCOMPARE(view.chart().Current(), 0);
        QCOMPARE(maps.currentRow(), 0);
    }

    void exportWritesBmpAndPngAndFailsCleanly() {
        Design d;
        C3DGLView view(d.doc, {});
        if (!test::ShowAt(view, 400, 300)) QSKIP("no window could be shown");
        if (view.capture().isNull()) QSKIP("no OpenGL context could be made");
        QTemporaryDir dir;
        QStringList messages;
        QString answer;
        view.showMessage = [&](const QString& m) { messages << m; };
        view.askBitmapPath = [&] { return answer; };

        // Cancelled: nothing written, nothing said.
        view.saveBitmap();
        QVERIFY(messages.isEmpty());
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());

        for (const char* name : {"view.bmp", "view.png"}) {
            answer = dir.filePath(QString::fromLatin1(name));
            view.saveBitmap();
            QVERIFY(messages.isEmpty());
            const QImage back(answer);
            QVERIFY2(!back.isNull(), name);
            QCOMPARE(back.size(), view.capture().size());
        }
        QFile bmp(dir.filePath(QStringLiteral("view.bmp")));
        QVERIFY(bmp.open(QIODevice::ReadOnly));
        QCOMPARE(bmp.read(2), QByteArray("BM"));

        // A folder that is not there, and one that cannot be written (root
        // writes everywhere: then only the first): the message, and no file.
        const QString locked = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(locked + QStringLiteral("/probe"));
        const bool lockHolds = !probe.open(QIODevice::WriteOnly);
        probe.remove();
        for (const QString& folder : {dir.filePath(QStringLiteral("missing")), locked}) {
            if (folder == locked && !lockHolds) continue;
            messages.clear();
            answer = folder + QStringLiteral("/view.bmp");
            view.saveBitmap();
            QCOMPARE(messages,
                     QStringList{QStringLiteral("Cannot save the BMP file <") + answer + QStringLiteral("> !!!")});
            QVERIFY(!QFile::exists(answer));
        }
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(QDir(locked).entryList(QDir::Files | QDir::Hidden).size(), 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);  // view.bmp, view.png
    }

    void planeEditsKeepTheShownSetAndItsSettings() {
        Design d;
        d.doc.newGroup();
        DesignAccess::AnalysisDomain(d.doc).frequencySteps = 2;
        QVERIFY(d.doc.analyse());
        C3DGLView view(d.doc, {});
        if (!test::ShowAt(view, 900, 600)) QSKIP("no window could be shown");
        QListWidget& maps = view.findChild<CForm3D*>()->mapList();
        // The person shows the second frequency as a grid.
        ClickRow(maps, 2);
        PressSpace(Named<QRadioButton>(view, "Grid"));
        QCOMPARE(view.chart().Current(), 2);
        QCOMPARE(view.chart().Settings().surfaceType, int(kGrid));

        // Edits of the plane leave the results as they are: a probe moved, a
        // cut-out drawn and deleted, and a refresh of everything (as undo does).
        CLayer& plane = *DesignAccess::Plane(d.doc);
        QVERIFY(MoveProbe(d.doc, plane.probes[0]->name, 0.01, 0.01));
        const std::string cut = AddCutOut(d.doc, 0.02, 0.02, 0.03, 0.03);
        QVERIFY(DeleteCutOut(d.doc, cut));
        d.doc.UpdateAllViews(ChangeHint::Everything);
        QCOMPARE(view.chart().Current(), 2);
        QCOMPARE(maps.currentRow(), 2);
        QCOMPARE(view.chart().Settings().surfaceType, int(kGrid));
        // The other sets keep their own settings.
        ClickRow(maps, 0);
        QCOMPARE(view.chart().Settings().surfaceType, int(kSolid));
        QVERIFY(Named<QRadioButton>(view, "Solid")->isChecked());

        // A new solve brings new sets.
        ClickRow(maps, 1);
        QVERIFY(d.doc.analyse());
        QCOMPARE(view.chart().Current(), 0);
        QCOMPARE(maps.currentRow(), 0);
    }

    void colourPopupByKeyboard() {
        Design d;
        C3DGLView view(d.doc, {});
        if (!test::ShowAt(view, 900, 600)) QSKIP("no window could be shown");
        view.panels().setCurrentIndex(1);
        auto* back = Named<CColourPicker>(view, "Back Color");
        // Opens the pop-up with a click and types the keys where the system
        // sends them: to the window that has the keyboard.
        const auto pick = [&](std::initializer_list<Qt::Key> keys) {
            QTest::mouseClick(back, Qt::LeftButton);
            QWidget* popup = QApplication::activePopupWidget();
            QVERIFY(popup != nullptr);
            for (Qt::Key key : keys) QTest::keyClick(popup->windowHandle(), key);
            QVERIFY(QApplication::activePopupWidget() == nullptr);
        };
        const auto background = [&] { return render::ToQColor(view.chart().Settings().bands.background); };
        pick({Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return});
        QCOMPARE(background(), QColor(0, 85, 0));  // "Dark Green", fourth in the first row
        pick({Qt::Key_Down, Qt::Key_Space});
        QCOMPARE(background(), QColor(0, 147, 0));  // "Green", below it
        pick({Qt::Key_Up, Qt::Key_Left, Qt::Key_Enter});
        QCOMPARE(background(), QColor(0, 64, 64));  // "Dark Olive Green"
        // Below the last row lies "More..."; Escape takes nothing.
        pick({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Escape});
        QCOMPARE(background(), QColor(0, 64, 64));
    }
};

QTEST_MAIN(View3DTest)
#include "View3DTest.moc"
