// The layer editor driven with the mouse, offscreen: what each gesture does
// to the plane's objects, the context menu's offers, undo, and the picture.

#include <cmath>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QWheelEvent>
#include <QtTest>

#include "DesignAccess.h"
#include "CCGroup.h"
#include "CLayer.h"
#include "CLayerEditFrm.h"
#include "CLayerEditView.h"
#include "CVtrDoc.h"
#include "DesignHistory.h"
#include "FormHost.h"
#include "LayerPainter.h"
#include "LayerTestHost.h"
#include "RecordingInteraction.h"
#include "ShowAt.h"

using namespace vantor;
using namespace vantor::ui;

namespace {

constexpr double mm = 1e-3;
using TestHost = LayerTestHost;

// The editor window at 10 px per mm, shown, on the host's plane as it is now.
struct Editor {
    explicit Editor(TestHost& host) : frame(host) {
        host.doc.UpdateAllViews(ChangeHint::Everything);
        QVERIFY(test::ShowAt(frame, 1200, 900));
        view().zoomBy(1e4 / view().scale());  // the person's zoom: the window no longer fits it
    }
    CLayerEditView& view() { return frame.view(); }
    QPoint at(QPointF mmPoint) { return view().toPixel(mmPoint.x() * mm, mmPoint.y() * mm).toPoint(); }
    void drag(QPointF from, QPointF to) {
        QTest::mousePress(&view(), Qt::LeftButton, {}, at(from));
        QTest::mouseMove(&view(), at((from + to) / 2));
        QTest::mouseMove(&view(), at(to));
        QTest::mouseRelease(&view(), Qt::LeftButton, {}, at(to));
    }
    CLayerEditFrm frame;
};

QStringList Texts(const QMenu* menu) {
    QStringList texts;
    if (menu != nullptr)
        for (const QAction* a : menu->actions()) texts << a->text();
    return texts;
}

bool Near(double a, double b) { return std::fabs(a - b) < 1e-9; }

}  // namespace

class LayerEditorTest : public QObject {
    Q_OBJECT

private slots:
    void bandDrawsNamedCutOut_data() {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRectF>("edges");  // mm: x1, y1 to x2, y2
        QTest::newRow("gap in the numbers") << QStringList{"Cutout1", "Cutout3"} << QPointF(20, 15) << QPointF(10, 10)
                                            << "Cutout2" << QRectF(QPointF(10, 10), QPointF(20, 15));
        QTest::newRow("outside clamped") << QStringList{"Cutout2"} << QPointF(90, 60) << QPointF(150, 100) << "Cutout1"
                                         << QRectF(QPointF(90, 60), QPointF(99, 71));
    }

    void bandDrawsNamedCutOut() {
        QFETCH(QStringList, existing);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QString, name);
        QFETCH(QRectF, edges);
        TestHost host;
        // Far from where the band goes.
        for (int i = 0; i < existing.size(); ++i)
            host.addCutOut(2 * i * mm, 0, (2 * i + 1) * mm, 1 * mm, existing[i].toUtf8().constData());
        Editor e(host);
        e.drag(from, to);
        CLayer& l = host.plane();
        QCOMPARE(int(l.cutOuts.size()), existing.size() + 1);
        const CCutOut& c = *l.cutOuts.back();
        QCOMPARE(QString::fromStdString(c.name), name);
        QVERIFY(Near(c.x1, edges.left() * mm) && Near(c.y1, edges.top() * mm));
        QVERIFY(Near(c.x2, edges.right() * mm) && Near(c.y2, edges.bottom() * mm));
        QCOMPARE(c.inactive, 0);
        QCOMPARE(host.labels, QStringList{"Aussparung zeichnen"});
        QVERIFY(host.doc.IsModified());
    }

    void clickDrawsAndMovesNothing_data() {
        QTest::addColumn<QPointF>("at");    // mm
        QTest::addColumn<QPoint>("shake");  // px between press and release
        // A probe at (40, 30), a cut-out from (10, 10) to (20, 20).
        QTest::newRow("click on empty plane") << QPointF(70, 50) << QPoint(0, 0);
        QTest::newRow("shaky click on empty plane") << QPointF(70, 50) << QPoint(2, -1);
        QTest::newRow("shaky click on a probe") << QPointF(40, 30) << QPoint(-1, 2);
        QTest::newRow("shaky click on a cut-out") << QPointF(15, 15) << QPoint(2, 2);
    }

    void clickDrawsAndMovesNothing() {
        QFETCH(QPointF, at);
        QFETCH(QPoint, shake);
        QVERIFY(shake.manhattanLength() < QApplication::startDragDistance());
        TestHost host;
        host.addProbe(40 * mm, 30 * mm, "Probe1");
        host.addCutOut(10 * mm, 10 * mm, 20 * mm, 20 * mm, "Cutout1");
        Editor e(host);
        const QPoint from = e.at(at);
        QTest::mousePress(&e.view(), Qt::LeftButton, {}, from);
        QTest::mouseMove(&e.view(), from + shake);
        QTest::mouseRelease(&e.view(), Qt::LeftButton, {}, from + shake);

        const CLayer& l = host.plane();
        QCOMPARE(int(l.cutOuts.size()), 1);
        QVERIFY(Near(l.cutOuts[0]->x1, 10 * mm) && Near(l.cutOuts[0]->y2, 20 * mm));
        QVERIFY(Near(l.probes[0]->x, 40 * mm) && Near(l.probes[0]->y, 30 * mm));
        QCOMPARE(host.labels, QStringList());
        QVERIFY(!host.history.CanUndo());
        QVERIFY(!host.doc.IsModified());
    }

    void dragMovesWhatIsHitFirst_data() {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QPointF>("probe");  // mm, where each ends
        QTest::addColumn<QPointF>("group");
        QTest::addColumn<QPointF>("cutOut");  // its x1, y1
        // Probe and group at (40, 30); the cut-out (inactive) from (20, 20) to (30, 30).
        QTest::newRow("probe on a group") << "probe group cut" << QPointF(40.5, 30) << QPointF(50, 41)
                                          << QPointF(50, 41) << QPointF(40, 30) << QPointF(20, 20);
        QTest::newRow("group placed at release")
            << "group cut" << QPointF(42, 32) << QPointF(60, 20) << QPointF() << QPointF(60, 20) << QPointF(20, 20);
        QTest::newRow("inactive cut-out shifted") << "probe group cut" << QPointF(25, 25) << QPointF(35, 28)
                                                  << QPointF(40, 30) << QPointF(40, 30) << QPointF(30, 23);
        QTest::newRow("probe clamped to the corner")
            << "probe" << QPointF(40, 30) << QPointF(150, -50) << QPointF(99, 0) << QPointF() << QPointF();
        QTest::newRow("group clamped to the corner")
            << "group" << QPointF(40, 30) << QPointF(-20, 200) << QPointF() << QPointF(0, 71) << QPointF();
    }

    void dragMovesWhatIsHitFirst() {
        QFETCH(QString, layout);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QPointF, probe);
        QFETCH(QPointF, group);
        QFETCH(QPointF, cutOut);
        TestHost host;
        if (layout.contains("probe")) host.addProbe(40 * mm, 30 * mm, "Probe1");
        if (layout.contains("group")) host.addGroup(40 * mm, 30 * mm);
        if (layout.contains("cut")) host.addCutOut(20 * mm, 20 * mm, 30 * mm, 30 * mm, "Cutout1", 1);
        Editor e(host);

        QTest::mousePress(&e.view(), Qt::LeftButton, {}, e.at(from));
        QTest::mouseMove(&e.view(), e.at(to));
        if (layout.startsWith("probe") && from == QPointF(40.5, 30)) {
            // The probe follows the cursor at once, before it is placed.
            QCOMPARE(e.view().grab().toImage().pixelColor(e.at(to)), QColor(255, 225, 0));
            QCOMPARE(host.plane().probes[0]->x, 40 * mm);
        }
        QTest::mouseRelease(&e.view(), Qt::LeftButton, {}, e.at(to));

        CLayer& l = host.plane();
        auto same = [](double metres, double mmValue) { return Near(metres, mmValue * mm); };
        if (!l.probes.empty()) QVERIFY(same(l.probes[0]->x, probe.x()) && same(l.probes[0]->y, probe.y()));
        if (!l.capacitorGroups.empty()) {
            const CCGroup& g = *l.capacitorGroups[0];
            QVERIFY2(same(g.posX, group.x()) && same(g.posY, group.y()),
                     qPrintable(QString("%1 %2").arg(g.posX).arg(g.posY)));
        }
        if (!l.cutOuts.empty()) {
            const CCutOut& c = *l.cutOuts[0];
            QVERIFY(same(c.x1, cutOut.x()) && same(c.y1, cutOut.y()));
            QVERIFY(same(c.x2 - c.x1, 10) && same(c.y2 - c.y1, 10));
            QCOMPARE(c.inactive, 1);
        }
        QCOMPARE(host.labels.size(), 1);
        QVERIFY(host.doc.IsModified());
    }

    void clickOnGroupSelectsWithoutMoving() {
        TestHost host;
        CCGroup& first = host.addGroup(20 * mm, 20 * mm);
        CCGroup& second = host.addGroup(60 * mm, 40 * mm);
        QCOMPARE(host.current(), second.name);
        Editor e(host);

        QTest::mouseClick(&e.view(), Qt::LeftButton, {}, e.at(QPointF(21.5, 18)));
        QCOMPARE(host.current(), first.name);
        QCOMPARE(first.posX, 20 * mm);
        QCOMPARE(first.posY, 20 * mm);
        QCOMPARE(host.labels, QStringList{"Gruppe wählen"});
        // Clicking the current group again changes nothing and leaves no step.
        QTest::mouseClick(&e.view(), Qt::LeftButton, {}, e.at(QPointF(20, 20)));
        QCOMPARE(host.labels.size(), 1);
        QCOMPARE(e.view().activeText(), QString::fromStdString(first.name));
        QTest::mouseMove(&e.view(), e.at(QPointF(80, 10)));
        QCOMPARE(e.view().activeText(), QStringLiteral("Kein Objekt aktiv"));
        QCOMPARE(e.view().xText(), QStringLiteral("X=8cm"));
    }

    void contextMenuOffers_data() {
        QTest::addColumn<QPointF>("at");  // mm
        QTest::addColumn<bool>("keyboard");
        QTest::addColumn<QStringList>("offers");
        QTest::addColumn<QString>("after");  // the plane's objects after the offer was taken
        const QString before = "Probe1 Gruppe1 Cutout1";
        QTest::newRow("group") << QPointF(40, 30) << false << QStringList{} << before;
        QTest::newRow("probe") << QPointF(70, 30) << false << QStringList{"Prüfpunkt löschen"} << "Gruppe1 Cutout1";
        QTest::newRow("cut-out") << QPointF(15, 15) << false << QStringList{"&Delete"} << "Probe1 Gruppe1";
        QTest::newRow("cut-out by keyboard") << QPointF(15, 15) << true << QStringList{"&Delete"} << "Probe1 Gruppe1";
        QTest::newRow("empty plane") << QPointF(80, 60) << false << QStringList{"Neuer Prüfpunkt"}
                                     << "Probe1 Probe2 Gruppe1 Cutout1";
        QTest::newRow("off the plane") << QPointF(-1, 30) << false << QStringList{} << before;
    }

    void contextMenuOffers() {
        QFETCH(QPointF, at);
        QFETCH(bool, keyboard);
        QFETCH(QStringList, offers);
        QFETCH(QString, after);
        TestHost host;
        host.addProbe(70 * mm, 30 * mm, "Probe1");
        host.addGroup(40 * mm, 30 * mm);
        host.addCutOut(10 * mm, 10 * mm, 20 * mm, 20 * mm, "Cutout1");
        Editor e(host);
        // The keyboard asks about the active object, found by the last mouse move.
        QTest::mouseMove(&e.view(), e.at(QPointF(1, 1)));
        QTest::mouseMove(&e.view(), e.at(at));
        std::unique_ptr<QMenu> menu = e.view().contextMenuAt(keyboard ? QPoint(5, 5) : e.at(at), keyboard);
        QCOMPARE(Texts(menu.get()), offers);
        if (menu != nullptr) menu->actions().front()->trigger();
        QStringList objects;
        const CLayer& l = host.plane();
        for (const auto& p : l.probes) objects << QString::fromStdString(p->name);
        for (const auto& g : l.capacitorGroups) objects << QString::fromStdString(g->name);
        for (const auto& c : l.cutOuts) objects << QString::fromStdString(c->name);
        QCOMPARE(objects.join(' '), after);
        if (offers == QStringList{"Neuer Prüfpunkt"}) {
            QVERIFY(Near(l.probes.back()->x, 80 * mm) && Near(l.probes.back()->y, 60 * mm));
        }
    }

    void editUndoneAndMapOutOfDate() {
        TestHost host;
        CLayer& l = host.plane();
        host.addGroup(40 * mm, 30 * mm);
        // A stored solve on a 1 mm grid: its map is offered and up to date.
        l.mesh.cellSize = 1 * mm;
        l.results.resultMaps = {ComplexMatrix(72, 100, {0.1, 0.0}), ComplexMatrix(72, 100, {0.2, 0.0})};
        l.results.resultLabels = {"1MHz", "Maximum"};
        host.doc.SetModifiedFlag(false);
        host.history.Clear();
        Editor e(host);
        QAction* map = e.frame.mapAction();
        QVERIFY(map->isEnabled());
        map->setChecked(true);
        QVERIFY(e.view().mapShown() && !e.view().mapOutOfDate());

        e.drag(QPointF(40, 30), QPointF(70, 50));
        QVERIFY(Near(l.capacitorGroups[0]->posX, 70 * mm));
        QVERIFY(host.doc.IsModified());
        QVERIFY(e.view().mapOutOfDate());
        QCOMPARE(map->text(), QStringLiteral("Impedanzkarte (veraltet)"));

        QCOMPARE(host.labels, QStringList{"Gruppe verschieben"});
        QVERIFY(host.history.CanUndo());
        QVERIFY(host.history.Undo());
        CLayer& restored = *DesignAccess::Plane(host.doc);
        QVERIFY(Near(restored.capacitorGroups[0]->posX, 40 * mm));
        QVERIFY(!host.doc.IsModified());
        QVERIFY(!e.view().mapOutOfDate());
        // The view works on the restored objects.
        e.drag(QPointF(40, 30), QPointF(45, 35));
        QVERIFY(Near(host.doc.plane()->capacitorGroups[0]->posX, 45 * mm));
    }

    void zoomAboutTheCursorAndFit() {
        TestHost host;
        Editor e(host);
        e.frame.resize(400, 300);  // smaller than the plane: it scrolls
        QCoreApplication::processEvents();
        CLayerEditView& v = e.view();
        QWidget* viewport = e.frame.scrollArea().viewport();
        const QPoint at = e.at(QPointF(30, 20));
        const QPoint before = v.mapTo(viewport, at);
        QWheelEvent wheel(at, v.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&v, &wheel);
        QCOMPARE(v.scale(), 1.25e4);
        // The plane point that was under the cursor still is.
        QCOMPARE(v.mapTo(viewport, e.at(QPointF(30, 20))), before);

        // "Einpassen": the whole plane shows, filling one direction.
        e.frame.fitToWindow();
        const QSize room = e.frame.scrollArea().maximumViewportSize();
        QVERIFY(v.width() <= room.width() && v.height() <= room.height());
        QVERIFY(v.width() >= room.width() - 1 || v.height() >= room.height() - 1);
    }

    void symbolsOnTheBorderShowWholeAtAnyZoom() {
        // A group on the top-left corner: its whole 5 mm square shows, however
        // far the person zooms in, and the fitted plane keeps room for it.
        TestHost host;
        host.addGroup(0, 0);
        Editor e(host);
        CLayerEditView& v = e.view();
        for (int steps : {0, 4, 8}) {
            for (int i = 0; i < steps; ++i) QTest::keyClick(&v, Qt::Key_Plus, Qt::ControlModifier);
            const QImage image = v.grab().toImage();
            const double corner = 2.3 * mm;  // just inside the square's edge
            const QPoint outer = v.toPixel(-corner, -corner).toPoint();
            QVERIFY2(image.rect().contains(outer),
                     qPrintable(QStringLiteral("%1 at scale %2").arg(outer.x()).arg(v.scale())));
            QCOMPARE(image.pixelColor(outer), QColor(0, 0, 255));
        }
        e.frame.fitToWindow();
        QVERIFY(v.toPixel(0, 0).x() >= 2.5 * mm * v.scale());
        QVERIFY(v.width() <= e.frame.scrollArea().maximumViewportSize().width());
    }

    void picture() {
        // A 100 mm x 50 mm plane at 10 px per mm.
        CLayer l(nullptr, 0.1, 0.05, "Vcc");
        l.probes.clear();
        auto group = std::make_unique<CCGroup>();
        group->posX = 20 * mm;
        group->posY = 40 * mm;
        l.capacitorGroups.push_back(std::move(group));
        l.probes.push_back(std::make_unique<CProbe>(60 * mm, 10 * mm, "P"));
        l.cutOuts.push_back(std::make_unique<CCutOut>(40 * mm, 20 * mm, 50 * mm, 30 * mm, "A"));
        l.cutOuts.push_back(std::make_unique<CCutOut>(70 * mm, 20 * mm, 80 * mm, 30 * mm, "B"));
        l.cutOuts.back()->inactive = 1;
        QImage image(1040, 540, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            render::RenderLayer(p, l, render::FitPlane(0.1, 0.05, QRectF(20, 20, 1000, 1000)));
        }
        auto at = [&](double x, double y) { return image.pixelColor(QPoint(int(20 + x * 10), int(20 + y * 10))); };
        const QColor plane(250, 125, 64), cut(50, 100, 0), blue(0, 0, 255), yellow(255, 225, 0);
        QCOMPARE(at(20, 40), blue);    // y grows downwards: the group is low on the picture
        QCOMPARE(at(22, 42), blue);    // inside the 5 mm square
        QCOMPARE(at(24, 44), plane);   // outside it
        QCOMPARE(at(60, 10), yellow);  // the 1 mm dot
        QCOMPARE(at(60, 11), plane);   // between dot and ring
        QCOMPARE(at(45, 25), cut);
        QCOMPARE(at(75, 25), plane);  // inactive: not drawn
        QCOMPARE(at(90, 5), plane);
        QCOMPARE(at(101.5, 25), QColor(Qt::white));  // beyond the plane's end
        // On the 3 mm ring, whose edge is smoothed.
        const QColor ring = at(61.5, 10);
        QVERIFY(std::abs(ring.red() - 255) + std::abs(ring.green() - 225) + std::abs(ring.blue()) < 20);

        // The map: log scale between the smallest and largest |Z| on metal.
        ComplexMatrix z(2, 2, {1.0, 0.0});
        z.Set(0, 1, {0.0, 10.0});
        z.Set(1, 0, {100.0, 0.0});
        z.Set(1, 1, kNoMetal);
        const render::ImpedanceMap m = render::MakeImpedanceMap(z, 1 * mm);
        QCOMPARE(m.zMin, 1.0);
        QCOMPARE(m.zMax, 100.0);
        QCOMPARE(m.image.size(), QSize(3, 3));  // the last row and column repeat
        QCOMPARE(qAlpha(m.image.pixel(1, 1)), 0);
        QCOMPARE(m.image.pixel(2, 0), m.image.pixel(1, 0));
        // Image pixel (column, row). 10 Ohm lies half way on the log scale.
        QCOMPARE(m.image.pixel(0, 0), qRgb(225, 240, 230));
        QCOMPARE(m.image.pixel(1, 0), qRgb(245, 165, 80));
        QCOMPARE(m.image.pixel(0, 1), qRgb(150, 0, 60));
    }
};

QTEST_MAIN(LayerEditorTest)
#include "LayerEditorTest.moc"
