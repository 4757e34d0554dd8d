// The desktop program's windows driven as a person would: start-up, files,
// the save question, the recent files, the solve with its progress window,
// the error box, undo.

#include <QAbstractButton>
#include <QAccessible>
#include <QStatusBar>
#include <QFile>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>
#include <QWhatsThis>
#include <QtTest>

#include <stdexcept>
#include <sys/stat.h>

#include "CLayer.h"
#include "CLayerEditFrm.h"
#include "CMainFrame.h"
#include "CSplashDlg.h"
#include "CVtrApp.h"
#include "CVtrView.h"
#include "DocumentFrame.h"
#include "DocumentHost.h"
#include "CEditFreqDlg.h"
#include "HelpLocation.h"
#include "HelpWindow.h"
#include "QtInteraction.h"
#include "SingleInstance.h"
#include "SolverProgressDialog.h"

using namespace vantor;
using namespace vantor::app;

namespace {

/// Answers the next modal message box with the button labelled button and
/// keeps its text; as many boxes as buttons are given, in order.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QStringList buttons) : buttons_(std::move(buttons)) {
        connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start(5);
    }
    QStringList texts;
    bool allAnswered() const { return buttons_.isEmpty(); }

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || buttons_.isEmpty()) return;
        for (QAbstractButton* b : box->buttons()) {
            if (b->text().remove(QLatin1Char('&')) == buttons_.front()) {
                texts << box->text();
                buttons_.removeFirst();
                b->click();
                return;
            }
        }
    }
    QStringList buttons_;
    QTimer timer_;
};

/// The controls under root that a screen reader would announce without a
/// name: buttons, fields, lists, bars and the like.
QStringList UnnamedControls(QWidget* root) {
    QStringList unnamed;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->focusPolicy() == Qt::NoFocus) continue;
        if (qobject_cast<QMdiSubWindow*>(w) != nullptr) continue;  // named by its title
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (a != nullptr && a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName();
    }
    return unnamed;
}

/// The child of root that a screen reader announces by name, else null.
template <class W>
W* NamedChild(QWidget* root, const QString& name) {
    for (W* w : root->findChildren<W*>())
        if (w->accessibleName() == name) return w;
    return nullptr;
}

/// True when w answers Shift+F1 with a text of its own.
bool AnswersWhatsThis(QWidget* w) {
    QEvent query(QEvent::QueryWhatsThis);
    query.ignore();
    QApplication::sendEvent(w, &query);
    return query.isAccepted();
}

QStringList MenuTitles(CMainFrame& frame) {
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions()) titles << a->text();
    return titles;
}

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class AppTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    std::unique_ptr<CMainFrame> frame_;
    CSParameterDB database_;
    QString file(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        frame_ = std::make_unique<CMainFrame>(database_);
        frame_->resize(1000, 700);
        frame_->show();
    }

    void cleanup() {
        BoxAnswerer no({QStringLiteral("Nein"), QStringLiteral("Nein"), QStringLiteral("Nein")});
        frame_->closeAllDocuments();
        QTRY_VERIFY(frame_->documents().empty());
    }

    void componentFolders() {
        // The sample folder, an empty one and a missing one: the last two give
        // an empty database without a word.
        const QString samples = QStringLiteral(VANTOR_SOURCE_DIR "/Database");
        QTemporaryDir empty;
        struct Row {
            QString folder;
            bool sets;
        } rows[] = {{samples, true}, {empty.path(), false}, {empty.filePath(QStringLiteral("fehlt")), false}};
        for (const Row& row : rows) {
            CSParameterDB db;
            CSplashDlg splash;
            splash.show();
            BoxAnswerer none({});
            const int read = splash.LoadDatabase(db, row.folder);
            QCOMPARE(read > 0, row.sets);
            QCOMPARE(db.Count(), read);
            if (row.sets) {
                QCOMPARE(splash.countText(), QString::number(read));
                QVERIFY(splash.fileText().endsWith(QStringLiteral(".s2p"), Qt::CaseInsensitive) ||
                        splash.fileText().endsWith(QStringLiteral(".flp"), Qt::CaseInsensitive));
            }
            QVERIFY(none.texts.isEmpty());
        }
    }

    void startUp() {
        auto* app = static_cast<CVtrApp*>(QCoreApplication::instance());
        // Qt's own buttons and dialogs speak German.
        QVERIFY(app->InstallGermanTranslations());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

        // A file that cannot be opened: its message, then a failure status.
        BoxAnswerer ok({QStringLiteral("OK")});
        StartOptions missing;
        missing.database = QStringLiteral(VANTOR_SOURCE_DIR "/Database");
        missing.file = file(QStringLiteral("gibt-es-nicht.vnt"));
        QCOMPARE(app->Start(missing), 1);
        QVERIFY(ok.allAnswered());
        QVERIFY(ok.texts.front().contains(QStringLiteral("gibt-es-nicht.vnt")));

        // The sample folder, then the main window with a new design on its form.
        StartOptions plain;
        plain.database = missing.database;
        QCOMPARE(app->Start(plain), -1);
        CMainFrame* started = app->mainFrame();
        QVERIFY(started != nullptr && started->isVisible());
        QVERIFY(app->database().Count() > 0);
        // As desktop programs do: the maximised window's name in brackets.
        QCOMPARE(started->windowTitle(), QStringLiteral("Vantor - [Entkopplung1[*]]"));
        QVERIFY(started->mdiArea()->activeSubWindow()->isMaximized());
        QCOMPARE(started->statusBar()->currentMessage(), QStringLiteral("Drücken Sie F1, um Hilfe zu erhalten."));
        // Every control a person can reach carries the words they see.
        QCOMPARE(UnnamedControls(started), QStringList());
        QVERIFY(started->closeAllDocuments());
    }

    void newSaveOpenClose() {
        DocumentHost* doc = frame_->newDocument();
        QCOMPARE(doc->title(), QStringLiteral("Entkopplung1"));
        doc->frames().front()->showNormal();
        QCOMPARE(frame_->windowTitle(), QStringLiteral("Vantor - Entkopplung1[*]"));
        QVERIFY(!doc->document().IsModified());

        // A change, then the save question answered each way.
        doc->runCommand(QStringLiteral("Neue Gruppe"), [&] { doc->document().newGroup(); });
        QVERIFY(doc->document().IsModified());
        QVERIFY(frame_->isWindowModified());
        {
            BoxAnswerer cancel({QStringLiteral("Abbrechen")});
            QVERIFY(!frame_->closeAllDocuments());
            QCOMPARE(frame_->documents().size(), std::size_t{1});
            QCOMPARE(cancel.texts, QStringList{QStringLiteral("Änderungen in Entkopplung1 speichern?")});
        }
        // Closing the design's only main form asks as well (its graph window
        // does not count); "Abbrechen" keeps it.
        {
            BoxAnswerer cancel({QStringLiteral("Abbrechen")});
            QCOMPARE(doc->frames().back()->kind(), FrameKind::Graph);
            QVERIFY(!doc->frames().front()->close());
            QVERIFY(cancel.allAnswered());
            QCOMPARE(doc->frames().front()->kind(), FrameKind::MainForm);
            QCOMPARE(frame_->documents().size(), std::size_t{1});
        }
        const QString path = file(QStringLiteral("a.vnt"));
        QVERIFY(doc->saveTo(path));
        QVERIFY(!doc->document().IsModified());
        QCOMPARE(doc->title(), QStringLiteral("a.vnt"));
        const QByteArray saved = FileBytes(path);
        QVERIFY(!saved.isEmpty());
        doc->runCommand(QStringLiteral("Neue Gruppe"), [&] { doc->document().newGroup(); });
        {
            BoxAnswerer yes({QStringLiteral("Ja")});
            QVERIFY(frame_->closeAllDocuments());
            QVERIFY(yes.allAnswered());
        }
        QTRY_VERIFY(frame_->documents().empty());
        const QByteArray afterYes = FileBytes(path);
        QVERIFY(afterYes != saved);  // "Ja" saved the second group

        // Open it again: two groups; closing the unchanged design asks nothing.
        DocumentHost* reopened = frame_->openDocument(path);
        QVERIFY(reopened != nullptr);
        QCOMPARE(reopened->document().plane()->GroupCount(), 2);
        QCOMPARE(reopened->document().MainForm()->currentGroupName, std::string("Gruppe2"));
        // Opening it once more brings the open window forward.
        QCOMPARE(frame_->openDocument(path), reopened);
        reopened->runCommand(QStringLiteral("Neue Gruppe"), [&] { reopened->document().newGroup(); });
        {
            BoxAnswerer no({QStringLiteral("Nein")});
            QVERIFY(frame_->closeAllDocuments());
        }
        QTRY_VERIFY(frame_->documents().empty());
        QCOMPARE(FileBytes(path), afterYes);  // "Nein" wrote nothing

        // A damaged file: the message, no document.
        const QString damaged = file(QStringLiteral("kaputt.vnt"));
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(FileBytes(path).left(40));
        f.close();
        BoxAnswerer ok({QStringLiteral("OK")});
        QVERIFY(frame_->openDocument(damaged) == nullptr);
        QTRY_VERIFY(ok.allAnswered());
        QVERIFY(ok.texts.front().contains(QStringLiteral("beschädigt")));
        QTRY_VERIFY(frame_->documents().empty());
    }

    void cliDesignOpensSavesPrints() {
        // A design vantor-cli wrote, with a placed group and results.
        const QString path = file(QStringLiteral("cli.vnt"));
        for (const QStringList& args : {QStringList{QStringLiteral("new"), path}, {QStringLiteral("group"), QStringLiteral("new"), path},
                                        {QStringLiteral("analyse"), path}}) {
            QProcess cli;
            cli.start(QStringLiteral(VANTOR_CLI), args);
            QVERIFY(cli.waitForFinished(60000));
            QCOMPARE(cli.exitCode(), 0);
        }
        DocumentHost* doc = frame_->openDocument(path);
        QVERIFY(doc != nullptr);
        QVERIFY(doc->document().plane()->HasResults());
        // Saved unchanged, it is the same file byte for byte, followed by
        // the record of the graph window that opened with it (version,
        // three axis values, step count, three colours: 44 bytes).
        const QByteArray bytes = FileBytes(path);
        const QString copy = file(QStringLiteral("kopie.vnt"));
        QVERIFY(doc->saveTo(copy));
        QCOMPARE(doc->document().graphWindowOpen, 1);
        QCOMPARE(FileBytes(copy).left(bytes.size()), bytes);
        QCOMPARE(FileBytes(copy).size(), bytes.size() + 44);
        // The active main form prints the report: one page.
        ui::Printable* picture = frame_->activePicture();
        QVERIFY(picture == &doc->report());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file(QStringLiteral("bericht.pdf")));
        QVERIFY(CMainFrame::printPicture(printer, *picture));
        const QByteArray pdf = FileBytes(printer.outputFileName());
        QVERIFY(pdf.startsWith("%PDF"));
        QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r"), qsizetype(1));
    }

    void failedSaveKeepsTheOldFile() {
        DocumentHost* doc = frame_->newDocument();
        const QString path = file(QStringLiteral("schreibgeschuetzt.vnt"));
        QVERIFY(doc->saveTo(path));
        const QByteArray old = FileBytes(path);
        doc->runCommand(QStringLiteral("Neue Gruppe"), [&] { doc->document().newGroup(); });
        // A file its owner made read-only is not replaced, not even by root.
        QVERIFY(::chmod(path.toLocal8Bit().constData(), 0444) == 0);
        BoxAnswerer ok({QStringLiteral("OK")});
        QVERIFY(!doc->saveTo(path));
        QVERIFY(ok.allAnswered());
        QCOMPARE(FileBytes(path), old);
        QVERIFY(doc->document().IsModified());
        ::chmod(path.toLocal8Bit().constData(), 0644);
    }

    void recentFiles() {
        QSettings().remove(QStringLiteral("Recent File List"));
        DocumentHost* doc = frame_->newDocument();
        QStringList saved;
        for (int i = 1; i <= 5; ++i) {
            saved.prepend(file(QStringLiteral("r%1.vnt").arg(i)));
            QVERIFY(doc->saveTo(saved.front()));
        }
        // The last four, newest first.
        QCOMPARE(frame_->recentFiles(), saved.mid(0, kRecentFileCount));
        frame_->addRecentFile(saved[2]);
        QCOMPARE(frame_->recentFiles().front(), saved[2]);
        QCOMPARE(frame_->recentFiles().size(), kRecentFileCount);
    }

    void solveWithProgressAndCancel() {
        DocumentHost* doc = frame_->newDocument();
        CVtrDoc& d = doc->document();
        d.analysisDomain.frequencySteps = 3;
        doc->runAnalysis();
        QVERIFY(d.plane()->HasResults());
        const std::size_t maps = d.plane()->results.resultMaps.size();
        QVERIFY(maps > 0);
        QVERIFY(d.IsModified());

        // A long solve, stopped from its window once it is under way: the
        // results of the first solve stay whole.
        d.analysisDomain.frequencySteps = 400;
        d.analysisDomain.resolution = 4;
        bool sawProgress = false;
        QTimer clicker;
        connect(&clicker, &QTimer::timeout, this, [&] {
            auto* window = qobject_cast<ui::SolverProgressDialog*>(QApplication::activeModalWidget());
            if (window == nullptr || window->upperBar()->value() < 1) return;
            sawProgress = window->windowTitle() == QStringLiteral("FEM-Solver busy...");
            window->cancelButton()->click();
            clicker.stop();
        });
        clicker.start(5);
        BoxAnswerer ok({QStringLiteral("OK")});  // the solver says it was cancelled
        doc->runAnalysis();
        QVERIFY(sawProgress);
        QVERIFY(ok.allAnswered());
        QCOMPARE(d.plane()->results.resultMaps.size(), maps);
    }

    void errorBoxOffersToSave() {
        DocumentHost* doc = frame_->newDocument();
        doc->runCommand(QStringLiteral("Neue Gruppe"), [&] { doc->document().newGroup(); });
        QString shown;
        CVtrApp::SetErrorChoiceForTests([&](const QString& text) {
            shown = text;
            return ErrorChoice::Ignore;
        });
        struct Thrower : QObject {
            bool event(QEvent*) override { throw std::runtime_error("kaputt"); }
        } thrower;
        thrower.setObjectName(QStringLiteral("Werfer"));
        BoxAnswerer no({QStringLiteral("Nein")});
        QEvent event(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&thrower, &event), false);
        CVtrApp::SetErrorChoiceForTests(nullptr);
        QVERIFY(shown.startsWith(QStringLiteral("An unhandled error occurred in your program.\n\ntype\tstd::runtime_error\n")));
        QVERIFY(shown.contains(QStringLiteral("\"Werfer\"")));
        QVERIFY(shown.contains(QStringLiteral("event\tUser (1000)")));
        // The modified design was offered for saving; "Nein" keeps it open.
        QVERIFY(no.allAnswered());
        QCOMPARE(no.texts.front(), QStringLiteral("Änderungen in %1 speichern?").arg(doc->title()));
        QVERIFY(doc->document().IsModified());
    }

    void everyHelpTopicHasItsAnchor() {
        // Both context tables, number by number, against the pages as written.
        const QString help = QStringLiteral(VANTOR_SOURCE_DIR "/help/");
        struct Table {
            ui::HelpTable table;
            int count;
        } tables[] = {{ui::HelpTable::MainForm, 17}, {ui::HelpTable::FrequencyDialog, 4}};
        for (const Table& t : tables) {
            QCOMPARE(HelpTopicCount(t.table), t.count);
            QVERIFY(HelpTopicTarget(t.table, t.count + 1).isEmpty());
            QStringList anchors;
            for (int topic = 1; topic <= t.count; ++topic) {
                const QStringList target = HelpTopicTarget(t.table, topic).split(QLatin1Char('#'));
                QCOMPARE(target.size(), 2);
                const QByteArray page = FileBytes(help + target[0]);
                QVERIFY2(page.contains(("id=\"" + target[1] + "\"").toUtf8()), qPrintable(target.join('#')));
                anchors << target[1];
            }
            anchors.removeDuplicates();
            QCOMPARE(anchors.size(), t.count);  // no two topics share a place
        }
        // The main form's controls without a topic point at real sections.
        int sections = 0;
        for (int id = 1000; id < 1300; ++id) {
            const QStringList target = ui::CVtrView::HelpSection(id).split(QLatin1Char('#'));
            if (target.front().isEmpty()) continue;
            ++sections;
            const QByteArray page = FileBytes(help + target[0]);
            QVERIFY2(!page.isEmpty(), qPrintable(target[0]));
            if (target.size() == 2) QVERIFY2(page.contains(("id=\"" + target[1] + "\"").toUtf8()), qPrintable(target[1]));
        }
        QVERIFY(sections >= 10);
        // Every page the contents name is there.
        const QString index = QString::fromUtf8(FileBytes(help + QStringLiteral("index.html")));
        static const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)"));
        for (auto it = link.globalMatch(index); it.hasNext();) {
            const QString page = it.next().captured(1);
            QVERIFY2(QFileInfo::exists(help + page), qPrintable(page));
        }
    }

    void f1OpensTheHelpWindowAtTheTopic() {
        SetDataFolderForTests(QStringLiteral(VANTOR_SOURCE_DIR));
        DocumentHost* doc = frame_->newDocument();
        QWidget* form = doc->frames().front()->content();
        auto* attenuation = NamedChild<QLineEdit>(form, QStringLiteral("Dämpfung:"));
        QVERIFY(attenuation != nullptr);
        attenuation->setFocus();
        QTest::keyClick(attenuation, Qt::Key_F1);
        HelpWindow* help = frame_->helpWindow();
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(help->currentUrl().fileName(), QStringLiteral("hauptformular.html"));
        QCOMPARE(help->currentUrl().fragment(), QStringLiteral("daempfung"));
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("0 dB < A ≤ 120 dB")));
        QCOMPARE(UnnamedControls(help), QStringList());

        // "What's this" on the same field gives the topic's first paragraph.
        frame_->action(QStringLiteral("Hilfethemen"))->trigger();
        QCOMPARE(help->currentUrl().fileName(), QStringLiteral("index.html"));
        QVERIFY(AnswersWhatsThis(attenuation));
        QVERIFY(HelpTopicSnippet(ui::HelpTable::MainForm, 11).contains(QStringLiteral("120 dB")));
        // A control without a topic: its section, in the window and as "What's this".
        auto* analyse = NamedChild<QPushButton>(form, QStringLiteral("Analyse !"));
        QVERIFY(analyse != nullptr);
        analyse->setFocus();
        QTest::keyClick(analyse, Qt::Key_F1);
        QCOMPARE(help->currentUrl().fragment(), QStringLiteral("analyse"));
        QVERIFY(AnswersWhatsThis(analyse));
        frame_->action(QStringLiteral("Hilfethemen"))->trigger();

        // The search finds pages by every word; back returns to the last section.
        const auto found = help->search(QStringLiteral("dämpfung drossel"));
        QVERIFY(found.size() >= 2);
        QVERIFY(help->search(QStringLiteral("Dämpfung Quasselstrippe")).isEmpty());
        help->browser()->backward();
        QCOMPARE(help->currentUrl().fragment(), QStringLiteral("analyse"));

        // The frequency dialog: F1 and "Hilfe" on a field show its own topic
        // in the help window of the newest main window.
        help->close();
        CMainFrame newest(database_);
        ui::QtInteraction ui(nullptr);
        ui::CEditFreqDlg dialog("250MHz", ui);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* stop = qobject_cast<QLineEdit*>(dialog.control(1040));
        stop->setFocus();
        QTest::keyClick(stop, Qt::Key_F1);
        help = newest.helpWindow();
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(help->currentUrl(), HelpTopicUrl(ui::HelpTable::FrequencyDialog, 2));
        QTest::keyClick(stop, Qt::Key_Tab);  // on to "Anzahl Schritte:"
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Hilfe")) b->click();
        QCOMPARE(help->currentUrl().fragment(), QStringLiteral("schritte"));
        dialog.close();
        help->close();
        SetDataFolderForTests({});
    }

    void aSecondStartHandsItsFileToTheRunningProgram() {
        // The running program listens on a socket of its own for this test;
        // the second start finds it through the session's runtime folder.
        QTemporaryDir runtime;
        QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner));
        auto* app = static_cast<CVtrApp*>(QCoreApplication::instance());
        StartOptions first;
        first.database = QStringLiteral(VANTOR_SOURCE_DIR "/Database");
        first.instance = runtime.filePath(QStringLiteral("vantor.socket"));
        QCOMPARE(app->Start(first), -1);
        CMainFrame* running = app->mainFrame();
        QCOMPARE(running->documents().size(), std::size_t(1));
        QCOMPARE(app->instanceName(), first.instance);

        const QString path = file(QStringLiteral("zweiter.vnt"));
        QVERIFY(running->documents().front()->saveTo(path));
        running->documents().front()->closeAll();
        QTRY_VERIFY(running->documents().empty());
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(dir_.path());
        second.start(QStringLiteral(VANTOR_APP), {QStringLiteral("zweiter.vnt")});
        // The second program ends at once; its file opens here.
        QTRY_COMPARE_WITH_TIMEOUT(running->documents().size(), std::size_t(1), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 10000);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(running->documents().front()->path(), path);

        // The socket of a program that runs is never taken over; one left
        // behind by a program that ended without closing it is.
        InstanceServer again;
        QVERIFY(!again.listen(first.instance));
        const QString stale = runtime.filePath(QStringLiteral("stale.socket"));
        QVERIFY(QFile(stale).open(QIODevice::WriteOnly));  // nobody answers there
        QVERIFY(again.listen(stale));
        QVERIFY(running->closeAllDocuments());
    }

    void undoRedoRestoresTheFile() {
        // The history's own rules are tested with the document; here its
        // wiring: a command through the host is undone and redone.
        DocumentHost* doc = frame_->newDocument();
        const QString before = file(QStringLiteral("vorher.vnt")), again = file(QStringLiteral("wieder.vnt"));
        QVERIFY(doc->saveTo(before));
        doc->runCommand(QStringLiteral("Neue Gruppe"), [&] { doc->document().newGroup(); });
        QCOMPARE(doc->undoLabel(), QStringLiteral("Neue Gruppe"));
        doc->undo();
        QVERIFY(doc->saveTo(again));
        QCOMPARE(FileBytes(again), FileBytes(before));
        doc->redo();
        QCOMPARE(doc->document().plane()->GroupCount(), 1);
        doc->runCommand(QStringLiteral("Nichts"), [] {});  // changes nothing: no step
        QCOMPARE(doc->undoLabel(), QStringLiteral("Neue Gruppe"));

        // The layer editor's edits are steps too: its menus carry "&Bearbeiten".
        doc->setLayerEditorOpen(true);
        for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList())
            if (qobject_cast<ui::CLayerEditFrm*>(DocumentFrame::ContentOf(w)) != nullptr) frame_->mdiArea()->setActiveSubWindow(w);
        QTRY_COMPARE(MenuTitles(*frame_), QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&?"}));
        QAction* undo = frame_->menuBar()->actions()[1]->menu()->actions().front();
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QCOMPARE(doc->document().plane()->GroupCount(), 0);
    }
};

int main(int argc, char** argv) {
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    CVtrApp app(argc, argv);
    AppTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AppTest.moc"
