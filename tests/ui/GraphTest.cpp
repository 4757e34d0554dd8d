// The graph window driven as a person drives it: the document changes, the
// tree follows, check boxes decide what is drawn; the one painter and the
// tool's plot command that uses it.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "DesignAccess.h"
#include "C3DGLView.h"
#include "CLayer.h"
#include "CTracesTreeView.h"
#include "CVtrDoc.h"
#include "CVtrGrphFrm.h"
#include "CVtrGrphVw.h"
#include "FormHost.h"
#include "GraphPainter.h"
#include "GraphTraces.h"
#include "QuietFormHost.h"
#include "RecordingInteraction.h"
#include "ShowAt.h"

using namespace vantor;
using namespace vantor::ui;

namespace {

class TestHost : public test::QuietFormHost {
public:
    /// A placed group and a coarse field solution with the two default probes.
    void analyse() {
        doc.newGroup();
        DesignAccess::AnalysisDomain(doc).frequencySteps = 8;
        QVERIFY(doc.analyse());
    }
};

// The children of "FreqDomain" as "name:1" (checked) or "name:0".
QStringList Items(const CTracesTreeView& tree) {
    QStringList items;
    const QTreeWidgetItem* root = tree.topLevelItem(0);
    for (int i = 0; i < root->childCount(); ++i)
        items << root->child(i)->text(0) + (root->child(i)->checkState(0) == Qt::Checked ? ":1" : ":0");
    return items;
}

// The traces the graph draws, by name.
QStringList Drawn(const CVtrGrphVw& graph) {
    QStringList names;
    for (const CGraphTrace& t : graph.picture(false).traces)
        if (t.visible) names << QString::fromStdString(t.name);
    return names;
}

void SetChecked(CTracesTreeView& tree, const char* name, bool on) {
    tree.findTrace(name)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

// A mouse click on the check box of the item of that name, and what it set off.
void ClickCheckBox(CTracesTreeView& tree, const char* name) {
    QStyleOptionViewItem option;
    option.initFrom(tree.viewport());
    option.rect = tree.visualItemRect(tree.findTrace(name));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = tree.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &tree);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, box.center());
    QCoreApplication::processEvents();
}

// The picture drawn as SVG at size, read back as text: the texts drawn.
QString SvgText(const render::GraphPicture& picture, QSize size) {
    QTemporaryDir dir;
    QString error;
    const QString path = dir.filePath(QStringLiteral("picture.svg"));
    if (!render::WriteGraphPicture(picture, path, size, error)) return QStringLiteral("not written: ") + error;
    QFile svg(path);
    return svg.open(QIODevice::ReadOnly) ? QString::fromUtf8(svg.readAll()) : QString();
}

// Shown at that size, as a person sees it.
// The picture painted over all of image; where it put the curves.
render::GraphMapping Paint(const render::GraphPicture& picture, QImage& image) {
    QPainter painter(&image);
    return render::RenderGraph(painter, QRectF(image.rect()), picture);
}

bool Near(QRgb pixel, const QColor& colour) {
    return std::abs(qRed(pixel) - colour.red()) < 30 && std::abs(qGreen(pixel) - colour.green()) < 30 &&
           std::abs(qBlue(pixel) - colour.blue()) < 30;
}

}  // namespace

class GraphTest : public QObject {
    Q_OBJECT

private slots:
    void treeFollowsTheDocumentAndKeepsTheCheckStates() {
        TestHost host;
        CVtrGrphFrm frame(host);
        CTracesTreeView& tree = frame.tree();
        // A new design: no placed group, no results, no choke.
        QCOMPARE(tree.topLevelItemCount(), 1);
        QCOMPARE(tree.topLevelItem(0)->text(0), QStringLiteral("FreqDomain"));
        QCOMPARE(Items(tree), QStringList());

        host.analyse();
        const CLayer& plane = *host.doc.plane();
        QCOMPARE(plane.probes.size(), std::size_t(2));
        const QString p1 = QString::fromStdString(plane.probes[0]->name),
                      p2 = QString::fromStdString(plane.probes[1]->name);
        QCOMPARE(Items(tree), (QStringList{"Approx:1", p1 + ":1", p2 + ":1"}));
        QCOMPARE(Drawn(frame.graph()), (QStringList{"Approx", p1, p2}));

        // Unchecking is a click: the graph rebuilds without the curve, and a
        // refresh of the document keeps it unchecked.
        SetChecked(tree, "Approx", false);
        QCOMPARE(Drawn(frame.graph()), (QStringList{p1, p2}));
        host.doc.UpdateAllViews(ChangeHint::Everything);
        QCOMPARE(Items(tree), (QStringList{"Approx:0", p1 + ":1", p2 + ":1"}));

        // The current group loses its last capacitor: "Approx" goes; a new
        // capacitor brings it back checked (as the last item).
        CCGroup& group = *DesignAccess::CurrentGroup(host.doc);
        while (group.CapacitorCount() > 0) QVERIFY(host.doc.removeCapacitor(group, 1));
        QCOMPARE(Items(tree), (QStringList{p1 + ":1", p2 + ":1"}));
        QVERIFY(host.doc.insertCapacitor(group, 1));
        QCOMPARE(Items(tree), (QStringList{p1 + ":1", p2 + ":1", "Approx:1"}));
        QCOMPARE(Drawn(frame.graph()), (QStringList{"Approx", p1, p2}));

        // The read-out under the mouse over the plot names the resonating C;
        // it goes when the mouse leaves.
        CVtrGrphVw& graph = frame.graph();
        QVERIFY(test::ShowAt(frame, 1000, 800));
        graph.repaint();
        const QPointF middle(graph.width() / 2.0, graph.height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, middle, graph.mapToGlobal(middle), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(&graph, &move);
        QVERIFY2(graph.readout().contains(QStringLiteral("Hz, ")) && graph.readout().contains(QStringLiteral("C=")),
                 qPrintable(graph.readout()));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&graph, &leave);
        QVERIFY(graph.readout().isEmpty());
    }

    void unitMessageOnlyForTheCurvesAPersonChecks() {
        TestHost host;
        host.doc.newGroup();
        CVtrGrphFrm frame(host);
        QVERIFY(test::ShowAt(frame, 800, 600));
        // A choke search brings "Filter" (dB) checked beside "Approx" (Ohm);
        // so does opening a design that holds both.
        auto choke = std::make_unique<CSParaSet>();
        choke->name = "L-Test";
        DesignAccess::Filter(host.doc).candidates = {choke.get()};
        host.doc.UpdateAllViews(ChangeHint::Filter);
        QCOMPARE(Items(frame.tree()), (QStringList{"Approx:1", "Filter:1"}));
        const std::string message = kMessageUnitsDiffer;
        // The person works elsewhere: the note in the plot, no message box.
        for (int i = 0; i < 3; ++i) {
            host.doc.UpdateAllViews(ChangeHint::Everything);
            frame.graph().grab();
            QCoreApplication::processEvents();
        }
        QCOMPARE(host.ui.messageCount(message), std::size_t(0));
        QCOMPARE(frame.graph().picture(false).note, QString::fromStdString(message).trimmed());
        // Clicks on the check boxes: unchecking resolves the mix quietly,
        // checking "Filter" again is the person's own mix and earns the box.
        ClickCheckBox(frame.tree(), "Filter");
        QCOMPARE(Items(frame.tree()), (QStringList{"Approx:1", "Filter:0"}));
        QVERIFY(frame.graph().picture(false).note.isEmpty());
        QCOMPARE(host.ui.messageCount(message), std::size_t(0));
        ClickCheckBox(frame.tree(), "Filter");
        QCOMPARE(host.ui.messageCount(message), std::size_t(1));
        host.doc.UpdateAllViews(ChangeHint::Everything);
        QCoreApplication::processEvents();
        QCOMPARE(host.ui.messageCount(message), std::size_t(1));
        DesignAccess::Filter(host.doc).candidates.clear();
    }

    void yAxisDialogAutoAndFixedTop() {
        TestHost host;
        host.analyse();
        CVtrGrphFrm frame(host);
        CVtrGrphVw& graph = frame.graph();
        const double autoTop = graph.picture(false).scale.limits.yMax;
        // "Auto" opens on with the top read-only; off, a refused top keeps the
        // dialog open, 0.05 Ohm is taken.
        bool readOnlyWithAuto = false, editableWithout = false;
        QStringList refusals;
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            QVERIFY(d != nullptr);
            QCheckBox* automatic = d->findChild<QCheckBox*>();
            QLineEdit* top = d->findChild<QLineEdit*>();
            QCOMPARE(automatic->accessibleName(), QStringLiteral("Auto"));
            readOnlyWithAuto = automatic->isChecked() && top->isReadOnly();
            automatic->click();
            editableWithout = !top->isReadOnly();
            for (const char* text : {"abc", "-1", "50mOhm"}) {
                top->setText(QString::fromLatin1(text));
                QMetaObject::invokeMethod(d, "accept");
            }
            for (const std::string& m : host.ui.messages()) refusals << QString::fromStdString(m);
        });
        graph.editYAxis();
        QVERIFY(readOnlyWithAuto && editableWithout);
        QCOMPARE(refusals.size(), 2);
        QCOMPARE(graph.picture(false).scale.limits.yMax, 0.05);
        QVERIFY(autoTop > 0.05);
    }

    void zAxisDialogChecksItsFields() {
        TestHost host;
        host.analyse();
        CVtrGrphFrm frame(host);
        QVERIFY(test::ShowAt(frame, 1000, 800));
        QAction* zAxis = nullptr;
        for (QMenu* menu : frame.menus())
            for (QAction* a : menu->actions())
                if (a->text() == QStringLiteral("&Z-Achse...")) zAxis = a;
        QVERIFY(zAxis != nullptr);
        // "Auto" opens on with both fields locked; off, each refusal names the
        // field and takes the focus there, Return being OK.
        bool lockedWithAuto = false;
        QStringList refusals;
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            QVERIFY(d != nullptr);
            auto field = [&](const char* name) {
                for (QLineEdit* e : d->findChildren<QLineEdit*>())
                    if (e->accessibleName() == QLatin1String(name)) return e;
                qFatal("no field %s", name);
            };
            auto* automatic = d->findChild<QCheckBox*>();
            lockedWithAuto = automatic->isChecked() && field("Zmax:")->isReadOnly() && field("Zmin:")->isReadOnly();
            automatic->setFocus();
            QTest::keyClick(automatic, Qt::Key_Space);
            const std::pair<const char*, const char*> typed[] = {
                {"Zmax:", "abc"}, {"Zmax:", "2Ohm"}, {"Zmin:", "3Ohm"}, {"Zmin:", "1e999"}, {"Zmin:", "500mOhm"}};
            for (auto [name, text] : typed) {
                QLineEdit* e = field(name);
                e->setFocus();
                e->selectAll();
                QTest::keyClicks(e, QString::fromLatin1(text));
                if (std::string(text) == "2Ohm") continue;
                host.ui.clear();
                QTest::keyClick(e, Qt::Key_Return);
                if (!d->isVisible()) break;
                for (const std::string& m : host.ui.messages())
                    refusals << QString::fromStdString(m) + " -> " + d->focusWidget()->accessibleName();
            }
            if (d->isVisible()) static_cast<QDialog*>(d)->reject();
        });
        zAxis->trigger();
        const QString above = QString::fromUtf8("Geben Sie für Zmax einen Wert größer Zmin ein. -> Zmax:");
        QCOMPARE(refusals, QStringList({above, above, QStringLiteral("Geben Sie eine Zahl ein. -> Zmin:")}));
        QVERIFY(lockedWithAuto);
        const view3d::ZAxis& z = frame.threeDView()->chart().zAxis;
        QVERIFY(!z.automatic);
        QCOMPARE(z.zmax, 2.0);
        QCOMPARE(z.zmin, 0.5);
    }

    void painterColoursAndClipping() {
        // The first curve's blue.
        const QColor blue(0, 0, 255);

        // A ramp to 10 Ohm under a fixed top of 1 Ohm: most of it lies above the
        // plot and must be cut at its edge.
        CGraphTrace ramp("Approx", "Hz", "Ohm", "");
        for (int i = 0; i <= 100; ++i) ramp.points.emplace_back(i * 1e7, i * 0.1);
        for (const bool caption : {false, true}) {
            ramp.caption = caption ? "|Z| (Approx für Gruppe1)" : "";
            const render::GraphPicture picture = render::MakeGraphPicture({ramp}, false, false, 1.0);
            QImage image(800, 600, QImage::Format_RGB32);
            const QRect plot = Paint(picture, image).plot().toAlignedRect();
            QVERIFY(plot.width() > 500 && plot.height() > 350);
            int inside = 0, outside = 0, above = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (Near(image.pixel(x, y), blue))
                        ++(plot.contains(x, y) ? inside : y < plot.top() - 1 ? above : outside);
            QVERIFY2(inside > 100, qPrintable(QString::number(inside)));
            QCOMPARE(outside, 0);
            // Only the caption, in the curve's colour, lies above the plot.
            QCOMPARE(above > 0, caption);
        }
    }

    void legendOfManyCurvesKeepsThePlot() {
        // 2,000 probe curves: the legend takes at most about a third of the
        // height and ends with how many curves it leaves out.
        std::vector<CGraphTrace> traces;
        for (int k = 1; k <= 2000; ++k) {
            CGraphTrace t("Probe", "Hz", "Ohm", "|Z| (Sonde " + std::to_string(k) + ")");
            t.points = {{1e6, 0.01 * k, 1}, {1e9, 0.02 * k, 1}};
            traces.push_back(std::move(t));
        }
        for (const QSize size : {QSize(800, 600), QSize(300, 200), QSize(2000, 1500)}) {
            const render::GraphPicture picture = render::MakeGraphPicture(traces, false);
            QImage image(size, QImage::Format_RGB32);
            const QRectF plot = Paint(picture, image).plot();
            QVERIFY2(plot.top() < size.height() / 3.0 + 20, qPrintable(QString::number(plot.top())));
            QVERIFY(plot.height() > size.height() / 2.0 - 40);

            // The texts drawn, read back from the same drawing as SVG.
            const QString text = SvgText(picture, size);
            const QRegularExpressionMatch more =
                QRegularExpression(QString::fromUtf8("… und (\\d+) weitere Kurven")).match(text);
            QVERIFY2(more.hasMatch(), qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
            const int shown = static_cast<int>(text.count(QStringLiteral("|Z| (Sonde ")));
            QVERIFY(shown >= 1 && shown < 2000);
            QCOMPARE(shown + more.captured(1).toInt(), 2000);
        }
        // A few curves are all named, with no count.
        traces.resize(3);
        const QString few = SvgText(render::MakeGraphPicture(traces, false), QSize(800, 600));
        QVERIFY(few.contains(QStringLiteral("|Z| (Sonde 3)")) && !few.contains(QStringLiteral("weitere")));
    }

    void fifthCurveRepeatsTheColourDashed() {
        // Five level curves: the fifth has the first one's blue; along its
        // level the blue breaks into dashes where the first runs unbroken.
        std::vector<CGraphTrace> traces;
        for (int k = 1; k <= 6; ++k) {  // the sixth at 0 Ohm keeps the others off the plot's edge
            CGraphTrace t("Probe", "Hz", "Ohm", "|Z| (Sonde " + std::to_string(k) + ")");
            t.points = {{1e6, 0.2 * (k % 6), 1}, {1e9, 0.2 * (k % 6), 1}};
            traces.push_back(std::move(t));
        }
        const render::GraphPicture picture = render::MakeGraphPicture(traces, false);
        QImage image(800, 600, QImage::Format_RGB32);
        const render::GraphMapping mapping = Paint(picture, image);
        const QColor blue = render::ColourFromBgr(render::kCurveColours[0]);
        const QRect plot = mapping.plot().toAlignedRect();
        // Pieces of blue along the row of a level, inside the plot.
        auto pieces = [&](double level) {
            QPointF at;
            if (!mapping.toPage(5e8, level, at)) return -1;
            // The line may fall between two rows: a pixel counts when either is blue.
            const int row = static_cast<int>(std::floor(at.y()));
            int n = 0;
            bool in = false;
            for (int x = plot.left() + 3; x < plot.right() - 3; ++x) {
                const bool now = Near(image.pixel(x, row), blue) || Near(image.pixel(x, row + 1), blue) ||
                                 Near(image.pixel(x, row - 1), blue);
                n += now && !in;
                in = now;
            }
            return n;
        };
        QCOMPARE(pieces(0.2), 1);
        QVERIFY2(pieces(1.0) > 10, qPrintable(QString::number(pieces(1.0))));

        // The legend: each caption has a piece of its line in front, the fifth's dashed.
        const QString text = SvgText(picture, QSize(800, 600));
        QVERIFY2(text.contains(QStringLiteral("|Z| (Sonde 5)")), qPrintable(text.left(200)));
        // Blue dashed twice: the fifth curve and the piece in front of its caption.
        static const QRegularExpression dashedBlue(
            QStringLiteral("stroke=\"#0000ff\"[^>]*stroke-dasharray=\"[0-9.]+,[0-9.]+\""));
        QCOMPARE(text.count(dashedBlue), 2);
    }

    void unitNoteWrapsInANarrowPlot() {
        // The note's white box stays inside the plot even where its text is
        // wider than the plot: the text wraps instead of running off the page.
        CGraphTrace ohm("Approx", "Hz", "Ohm", "|Z|"), dB("Filter", "Hz", "dB", "Filterdämpfung");
        for (int i = 0; i <= 10; ++i)
            ohm.points.emplace_back(i * 1e8, 0.1 * i), dB.points.emplace_back(i * 1e8, -4.0 * i);
        const render::GraphPicture picture = render::MakeGraphPicture({ohm, dB}, false);
        QVERIFY(!picture.note.isEmpty());
        QImage image(280, 240, QImage::Format_RGB32);
        image.fill(Qt::black);
        const QRectF plot = Paint(picture, image).plot();
        int whiteOutside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x : {0, 1, int(plot.left()) - 3, int(plot.right()) + 3, image.width() - 1})
                if (QColor(image.pixel(x, y)).lightness() > 245) ++whiteOutside;
        QCOMPARE(whiteOutside, 0);
    }

    void plotWritesThePictureAskedFor() {
        TestHost host;
        host.analyse();
        QTemporaryDir dir;
        const QString design = dir.filePath("design.vnt");
        std::string error;
        QVERIFY2(host.doc.SaveFile(design.toStdString(), error), error.c_str());

        struct Case {
            QStringList args;
            int exit;
            QSize size;  // of the PNG written; 0 x 0: none
        };
        const QString png = dir.filePath("graph.png");
        const Case cases[] = {
            {{"--size", "640x480", "--log", "--traces", "Approx"}, 0, QSize(640, 480)},
            {{"--size", "300x200", "--ymax", "0.5Ohm"}, 0, QSize(300, 200)},
            {{"--size", "400x300", "--log", "--band"}, 0, QSize(400, 300)},
            {{"--traces", "Keine"}, 2, QSize(0, 0)},
            {{"--size", "10x10"}, 2, QSize(0, 0)},
        };
        for (const Case& c : cases) {
            QFile::remove(png);
            QProcess cli;
            cli.start(QStringLiteral(VANTOR_CLI), QStringList{"plot", design, "-o", png} + c.args);
            QVERIFY(cli.waitForFinished(60000));
            QCOMPARE(cli.exitCode(), c.exit);
            QCOMPARE(QImage(png).size(), c.size);
        }

        // The window's export: the curves as CSV, the picture as SVG; an
        // unknown kind is refused and writes nothing.
        CVtrGrphFrm frame(host);
        QString refusal;
        QVERIFY2(frame.graph().exportTo(dir.filePath("k.csv"), refusal), qPrintable(refusal));
        QVERIFY2(frame.graph().exportTo(dir.filePath("k.svg"), refusal), qPrintable(refusal));
        QVERIFY(!frame.graph().exportTo(dir.filePath("k.gif"), refusal));
        QFile csv(dir.filePath("k.csv")), svg(dir.filePath("k.svg"));
        QVERIFY(csv.open(QIODevice::ReadOnly) && svg.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().split('\n').first(), QByteArray("f_Hz,Approx_Ohm,Probe1_Ohm,Probe2_Ohm"));
        QVERIFY(svg.readAll().contains("<svg"));
        QVERIFY(!QFile::exists(dir.filePath("k.gif")));
    }

    void targetBandFollowsItsMenuItem() {
        TestHost host;
        host.analyse();
        CVtrGrphFrm frame(host);
        const CCGroup* group = host.doc.currentGroup();
        QVERIFY(group != nullptr);
        // On while the window is open and the group has targets: its band is
        // drawn, and switching it off and on again takes and gives it back.
        QAction* band = frame.targetBandAction();
        QCOMPARE(band->text(), QStringLiteral("&Zielband"));
        QVERIFY(band->isCheckable() && band->isChecked());
        auto shown = [&] {
            const auto b = frame.graph().picture(false).band;
            return b.has_value() && b->zmaxFo == group->zmaxFo && b->fo == group->fo;
        };
        QVERIFY(shown());
        band->trigger();
        QVERIFY(!band->isChecked());
        QVERIFY(!shown());
        host.doc.UpdateAllViews(ChangeHint::Everything);
        QVERIFY2(!shown(), "a refresh keeps the choice");
        band->trigger();
        QVERIFY(shown());
    }
};

QTEST_MAIN(GraphTest)
#include "GraphTest.moc"
