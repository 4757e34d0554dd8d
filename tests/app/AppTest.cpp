// The desktop program's windows driven as a person would: start-up, files,
// the save question, the recent files, the solve with its progress window,
// the error box, undo.

#include <QAbstractButton>
#include <QAccessible>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QWindow>
#include <QSettings>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <future>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DesignAccess.h"
#include "MainFrameFixture.h"
#include "CLayer.h"
#include "CLayerEditFrm.h"
#include "CLayerEditView.h"
#include "CMainFrame.h"
#include "CSplashDlg.h"
#include "CVtrApp.h"
#include "CVtrView.h"
#include "DocumentFrame.h"
#include "DocumentHost.h"
#include "CEditFreqDlg.h"
#include "ContextHelp.h"
#include "HelpLocation.h"
#include "HelpWindow.h"
#include "LocalFileName.h"
#include "QtInteraction.h"
#include "SingleInstance.h"
#include "SolverProgressDialog.h"

using namespace vantor;
using namespace vantor::app;

namespace {

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

/// True when vantor-cli ran with these arguments and succeeded.
bool CliSucceeds(const QStringList& arguments) {
    QProcess cli;
    cli.start(QStringLiteral(VANTOR_CLI), arguments);
    return cli.waitForFinished(60000) && cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
}

QStringList MenuTitles(CMainFrame& frame) {
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions()) titles << a->text();
    return titles;
}

/// The bytes of the file whose name is the system's bytes name.
QByteArray RawFileBytes(const QByteArray& name) {
    QByteArray bytes;
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0) return bytes;
    char chunk[4096];
    for (ssize_t n; (n = ::read(fd, chunk, sizeof chunk)) > 0;) bytes.append(chunk, n);
    ::close(fd);
    return bytes;
}

/// A later start's hand-over from a thread of its own, the way another
/// process would do it while this one serves it.
std::future<bool> HandOverLater(const QString& name, const QStringList& files, uid_t user = ::getuid()) {
    return std::async(std::launch::async, [=] { return HandToRunning(name, files, user); });
}

bool Done(const std::future<bool>& f) { return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }

/// Runs an event loop, as the program's own, until done says so (false
/// after 10 s).
bool RunLoopUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    check.start(5);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

/// HandToRunning, served meanwhile.
bool HandOver(const QString& name, const QStringList& files, uid_t user = ::getuid()) {
    std::future<bool> taken = HandOverLater(name, files, user);
    while (!Done(taken)) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return taken.get();
}

/// Calls back for every event of the program while it lives.
class EventWatch : public QObject {
public:
    explicit EventWatch(std::function<void(QObject*, QEvent*)> seen) : seen_(std::move(seen)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        seen_(watched, event);
        return false;
    }

private:
    std::function<void(QObject*, QEvent*)> seen_;
};

/// An object whose event handler throws, counting its deliveries.
struct Thrower : QObject {
    explicit Thrower(int* deliveries = nullptr) : deliveries_(deliveries) { setObjectName(QStringLiteral("Werfer")); }
    bool event(QEvent*) override {
        if (deliveries_ != nullptr) ++*deliveries_;
        throw std::runtime_error("kaputt");
    }
    int* deliveries_;
};

}  // namespace

class AppTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QTemporaryDir runtime_;  // the session's runtime folder of the running program
    std::unique_ptr<CMainFrame> frame_;
    CSParameterDB database_;
    QString file(const QString& name) const { return dir_.filePath(name); }

    /// The program that later starts hand their files to, started once; a
    /// start that fails ends the test program.
    CMainFrame* running() {
        auto* app = static_cast<CVtrApp*>(QCoreApplication::instance());
        if (app->instanceName().isEmpty()) {
            QFile::setPermissions(runtime_.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            StartOptions first;
            first.database = QStringLiteral(VANTOR_SOURCE_DIR "/Database");
            first.instance = runtime_.filePath(QStringLiteral("vantor.socket"));
            if (app->Start(first) != -1) qFatal("the program did not start");
            app->mainFrame()->documents().front()->closeAll();
        }
        return app->mainFrame();
    }
    QString instance() const { return static_cast<CVtrApp*>(QCoreApplication::instance())->instanceName(); }

    /// A second start of the real program in the test folder with the given
    /// arguments as bytes, seeing the running program's runtime folder;
    /// true when it ended within 10 s, successfully, while this one served it.
    bool secondStartEnds(const QList<QByteArray>& arguments) {
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.setWorkingDirectory(dir_.path());
        // The shell passes the bytes on untouched; QProcess would decode them.
        QString script = QStringLiteral("exec \"$0\"");
        QStringList args{QStringLiteral(VANTOR_APP)};
        for (const QByteArray& a : arguments) {
            QString octal;
            for (char c : a)
                octal += QStringLiteral("\\%1").arg(int(static_cast<unsigned char>(c)), 3, 8, QLatin1Char('0'));
            script += QStringLiteral(" \"$(printf '%1')\"").arg(octal);
        }
        second.start(QStringLiteral("/bin/sh"), QStringList{QStringLiteral("-c"), script} + args);
        return QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000) && second.exitCode() == 0;
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        frame_ = ShowMainFrame(database_);
    }

    void cleanup() { QVERIFY(CloseAllWithoutSaving(*frame_)); }

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
        QVERIFY(started->mdiArea()->activeSubWindow()->isMaximized());
        // No remembered size: the work area is the form's size, within the screen.
        auto* firstForm = DocumentFrame::ContentOf(started->mdiArea()->activeSubWindow());
        const QSize room = started->mdiArea()->viewport()->size();
        const QSize form = firstForm->sizeHint();
        const QRect screen = started->screen()->availableGeometry();
        QVERIFY(screen.contains(started->frameGeometry()));
        const QString sizes =
            QStringLiteral("%1x%2 for %3x%4").arg(room.width()).arg(room.height()).arg(form.width()).arg(form.height());
        QVERIFY2(std::abs(room.width() - form.width()) <= 4 || started->frameGeometry().width() == screen.width(),
                 qPrintable(sizes));
        QVERIFY2(std::abs(room.height() - form.height()) <= 4 || started->frameGeometry().height() == screen.height(),
                 qPrintable(sizes));
        QVERIFY(started->closeAllDocuments());

        // A design saved with its layer editor open: the editor comes back
        // with the whole plane filling its window, not as a thumbnail.
        StartOptions reopen;
        reopen.database = missing.database;
        reopen.file = file(QStringLiteral("mit-editor.vnt"));
        {
            DocumentHost* saved = started->newDocument();
            saved->setLayerEditorOpen(true);
            QVERIFY(saved->saveTo(reopen.file));
            saved->closeAll();
        }
        delete app->mainFrame();
        QCOMPARE(app->Start(reopen), -1);
        CMainFrame* again = app->mainFrame();
        ui::CLayerEditFrm* editor = nullptr;
        for (QMdiSubWindow* w : again->mdiArea()->subWindowList())
            if (auto* e = qobject_cast<ui::CLayerEditFrm*>(DocumentFrame::ContentOf(w))) editor = e;
        QVERIFY(editor != nullptr);
        QTRY_VERIFY(editor->isVisible());
        const QSize plane = editor->view().size(), view = editor->scrollArea().maximumViewportSize();
        QVERIFY2(plane.width() >= view.width() - 2 || plane.height() >= view.height() - 2,
                 qPrintable(QStringLiteral("%1x%2 in %3x%4")
                                .arg(plane.width())
                                .arg(plane.height())
                                .arg(view.width())
                                .arg(view.height())));
        QVERIFY(plane.width() <= view.width() && plane.height() <= view.height());
        BoxAnswerer no({QStringLiteral("Nein")});
        QVERIFY(again->closeAllDocuments());
    }

    void newSaveOpenClose() {
        DocumentHost* doc = frame_->newDocument();
        QCOMPARE(doc->title(), QStringLiteral("Entkopplung1"));
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
        QVERIFY(CloseAllAnswering(*frame_, QStringLiteral("Ja")));
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
        QVERIFY(CloseAllAnswering(*frame_, QStringLiteral("Nein")));
        QTRY_VERIFY(frame_->documents().empty());
        QCOMPARE(FileBytes(path), afterYes);  // "Nein" wrote nothing
    }

    void maximisedWindowShowsItsMarkInTheMainTitle() {
        DocumentHost* doc = frame_->newDocument();
        doc->frames().front()->showMaximized();
        doc->runCommand(QStringLiteral("Neue Gruppe"), [&] { doc->document().newGroup(); });
        // What the window system gets: the modified mark, as with the windows tiled.
        QCOMPARE(frame_->windowHandle()->title(), QStringLiteral("Vantor - [Entkopplung%1*]").arg(doc->title().back()));
        doc->frames().front()->showNormal();
        QCOMPARE(frame_->windowHandle()->title(), QStringLiteral("Vantor - ") + doc->title() + QStringLiteral("*"));
        doc->frames().front()->showMaximized();
        doc->undo();
        QCOMPARE(frame_->windowHandle()->title(), QStringLiteral("Vantor - [") + doc->title() + QStringLiteral("]"));
    }

    void cliDesignOpensSavesPrints() {
        // A design vantor-cli wrote, with a placed group and results.
        const QString path = file(QStringLiteral("cli.vnt"));
        for (const QStringList& args : {QStringList{QStringLiteral("new"), path},
                                        {QStringLiteral("group"), QStringLiteral("new"), path},
                                        {QStringLiteral("analyse"), path}})
            QVERIFY2(CliSucceeds(args), qPrintable(args.join(QLatin1Char(' '))));
        DocumentHost* doc = frame_->openDocument(path);
        QVERIFY(doc != nullptr);
        QVERIFY(doc->document().plane()->HasResults());
        // Saved unchanged, it is the same file byte for byte, followed by
        // the record of the graph window that opened with it (version,
        // three axis values, step count, three colours: 44 bytes).
        const QByteArray bytes = FileBytes(path);
        const QString copy = file(QStringLiteral("kopie.vnt"));
        QVERIFY(doc->saveTo(copy));
        QCOMPARE(doc->document().graphWindowOpen(), 1);
        QCOMPARE(FileBytes(copy).left(bytes.size()), bytes);
        QCOMPARE(FileBytes(copy).size(), bytes.size() + 44);
        // The active main form prints the report, page for page the one
        // vantor-cli writes of the same design.
        ui::Printable* picture = frame_->activePicture();
        QVERIFY(picture == &doc->report());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file(QStringLiteral("bericht.pdf")));
        QVERIFY(CMainFrame::printPicture(printer, *picture));
        const QByteArray pdf = FileBytes(printer.outputFileName());
        QVERIFY(pdf.startsWith("%PDF"));
        QVERIFY(CliSucceeds({QStringLiteral("report"), path, QStringLiteral("-o"), file(QStringLiteral("cli.pdf"))}));
        const auto pages = [](const QByteArray& content) {
            return content.count("/Type /Page\n") + content.count("/Type /Page\r");
        };
        QVERIFY(pages(pdf) > 1);
        QCOMPARE(pages(pdf), pages(FileBytes(file(QStringLiteral("cli.pdf")))));
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
        DesignAccess::AnalysisDomain(d).frequencySteps = 3;
        doc->runAnalysis();
        QVERIFY(d.plane()->HasResults());
        const std::size_t maps = d.plane()->results.resultMaps.size();
        QVERIFY(maps > 0);
        QVERIFY(d.IsModified());

        // A long solve, stopped from its window once it is under way: the
        // results of the first solve stay whole.
        DesignAccess::AnalysisDomain(d).frequencySteps = 400;
        DesignAccess::AnalysisDomain(d).resolution = 4;
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
        Thrower thrower;
        BoxAnswerer no({QStringLiteral("Nein")});
        QEvent event(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&thrower, &event), false);
        CVtrApp::SetErrorChoiceForTests(nullptr);
        QVERIFY(shown.startsWith(
            QStringLiteral("An unhandled error occurred in your program.\n\ntype\tstd::runtime_error\n")));
        QVERIFY(shown.contains(QStringLiteral("\"Werfer\"")));
        QVERIFY(shown.contains(QStringLiteral("event\tUser (1000)")));
        // The modified design was offered for saving; "Nein" keeps it open.
        QVERIFY(no.allAnswered());
        QCOMPARE(no.texts.front(), QStringLiteral("Änderungen in %1 speichern?").arg(doc->title()));
        QVERIFY(doc->document().IsModified());
    }

    void errorBoxOffersRetryOnlyWhileTheReceiverLives() {
        // The receiver goes while the box is up: the box takes Retry back.
        int deliveries = 0;
        QPointer<Thrower> thrower = new Thrower(&deliveries);
        bool retryAtFirst = false, retryAfter = true;
        QString textAfter;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            if (thrower != nullptr) {
                retryAtFirst = box->button(QMessageBox::Retry)->isVisible();
                delete thrower.data();
                return;
            }
            retryAfter = box->button(QMessageBox::Retry)->isVisible();
            textAfter = box->text();
            box->button(QMessageBox::Ignore)->click();
            poll.stop();
        });
        poll.start(5);
        QEvent event(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(thrower.data(), &event), false);
        QVERIFY(retryAtFirst);
        QVERIFY(!retryAfter);
        QVERIFY(!textAfter.contains(QStringLiteral("Retry")));
        QVERIFY(textAfter.contains(QStringLiteral("Abort \tto terminate the program; or\nIgnore")));

        // "Wiederholen" chosen when the receiver has gone delivers nothing.
        thrower = new Thrower(&deliveries);
        deliveries = 0;
        CVtrApp::SetErrorChoiceForTests([&](const QString&) {
            delete thrower.data();
            return ErrorChoice::Retry;
        });
        QCOMPARE(QCoreApplication::sendEvent(thrower.data(), &event), false);
        CVtrApp::SetErrorChoiceForTests(nullptr);
        QCOMPARE(deliveries, 1);
        // While it lives, Retry delivers the event again.
        Thrower living(&deliveries);
        deliveries = 0;
        CVtrApp::SetErrorChoiceForTests(
            [&](const QString&) { return deliveries < 2 ? ErrorChoice::Retry : ErrorChoice::Ignore; });
        QCOMPARE(QCoreApplication::sendEvent(&living, &event), false);
        CVtrApp::SetErrorChoiceForTests(nullptr);
        QCOMPARE(deliveries, 2);
    }

    void everyControlsHelpSectionExists() {
        // The sections F1 opens, control by control, against the pages as written.
        const QString help = QStringLiteral(VANTOR_SOURCE_DIR "/help/");
        const auto expectSection = [&help](const QString& target) {
            const QStringList parts = target.split(QLatin1Char('#'));
            const QByteArray page = FileBytes(help + parts[0]);
            QVERIFY2(!page.isEmpty(), qPrintable(target));
            if (parts.size() == 2) QVERIFY2(page.contains(("id=\"" + parts[1] + "\"").toUtf8()), qPrintable(target));
        };
        DocumentHost* doc = frame_->newDocument();
        QStringList targets;
        for (const QWidget* w : doc->frames().front()->content()->findChildren<QWidget*>())
            if (const QString target = ui::CVtrView::HelpTarget(w); !target.isEmpty()) targets << target;
        doc->closeAll();
        targets.removeDuplicates();
        QVERIFY(targets.size() >= 20);
        for (const QString& target : targets) expectSection(target);
        // The frequency dialog's fields each have a section of their own.
        QStringList asked;
        ui::SetContextHelpHandler([&asked](const QString& target) { asked << target; });
        ui::QtInteraction ui(nullptr);
        ui::CEditFreqDlg dialog("250MHz", ui);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
            field->setFocus();
            QTest::keyClick(field, Qt::Key_F1);
        }
        ui::SetContextHelpHandler([frame = frame_.get()](const QString& target) { frame->showHelpSection(target); });
        asked.removeDuplicates();
        QVERIFY(asked.size() >= 4);
        for (const QString& target : asked) expectSection(target);
        // Every page the contents name is there.
        const QString index = QString::fromUtf8(FileBytes(help + QStringLiteral("index.html")));
        static const QRegularExpression link(QStringLiteral("href=\"([^\"#]+)"));
        for (auto it = link.globalMatch(index); it.hasNext();) {
            const QString page = it.next().captured(1);
            QVERIFY2(QFileInfo::exists(help + page), qPrintable(page));
        }
    }

    void theBuiltProgramFindsItsHelpAndComponents() {
        // build/app/vantor, as scripts/run starts it, looks where the
        // installed program does: share/vantor beside its bin folder.
        const QString bin = QFileInfo(QStringLiteral(VANTOR_APP)).absolutePath();
        const QString help = DataFolderHolding(QStringLiteral("help"), bin);
        QVERIFY2(!help.isEmpty(), qPrintable(bin));
        QVERIFY(QFileInfo::exists(help + QStringLiteral("/index.html")));
        QVERIFY(QFileInfo::exists(help + QStringLiteral("/hauptformular.html")));
        QVERIFY(!DataFolderHolding(QStringLiteral("Database"), bin).isEmpty());
    }

    void f1OpensTheHelpWindowAtTheSection() {
        SetDataFolderForTests(QStringLiteral(VANTOR_SOURCE_DIR));
        DocumentHost* doc = frame_->newDocument();
        QWidget* form = doc->frames().front()->content();
        auto* attenuation = NamedChild<QLineEdit>(form, QStringLiteral("Dämpfung:"));
        QVERIFY(attenuation != nullptr);
        // In the active main window, whose "Hilfethemen" has F1 as well.
        frame_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
        attenuation->setFocus();
        QTest::keyClick(attenuation, Qt::Key_F1);
        HelpWindow* help = frame_->helpWindow();
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(help->currentUrl().fileName(), QStringLiteral("hauptformular.html"));
        QCOMPARE(help->currentUrl().fragment(), QStringLiteral("daempfung"));
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("0 dB < A ≤ 120 dB")));
        QCOMPARE(UnnamedControls(help), QStringList());

        // "What's this" on the same field gives its section's first paragraph.
        frame_->action(QStringLiteral("Hilfethemen"))->trigger();
        QCOMPARE(help->currentUrl().fileName(), QStringLiteral("index.html"));
        QVERIFY(AnswersWhatsThis(attenuation));
        QVERIFY(HelpTargetSnippet(ui::CVtrView::HelpTarget(attenuation)).contains(QStringLiteral("120 dB")));
        // Another control: its own section, in the window and as "What's this".
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

        // The frequency dialog: F1 and "Hilfe" on a field show its own section
        // in the help window of the newest main window.
        help->close();
        CMainFrame newest(database_);
        ui::QtInteraction ui(nullptr);
        ui::CEditFreqDlg dialog("250MHz", ui);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* stop = qobject_cast<QLineEdit*>(dialog.control(FrequencyRangeField::Stop));
        stop->setFocus();
        QTest::keyClick(stop, Qt::Key_F1);
        help = newest.helpWindow();
        QVERIFY(help != nullptr && help->isVisible());
        QCOMPARE(help->currentUrl(), HelpTargetUrl(QStringLiteral("frequenzbereich.html#fstop")));
        QTest::keyClick(stop, Qt::Key_Tab);  // on to "Anzahl Schritte:"
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Hilfe")) b->click();
        QCOMPARE(help->currentUrl().fragment(), QStringLiteral("schritte"));
        dialog.close();
        help->close();
        SetDataFolderForTests({});
    }

    /// A design saved under name in the test folder, its graph window open
    /// or not; its path.
    QString savedDesign(const QString& name, bool graphWindow = true) {
        DocumentHost* doc = frame_->newDocument();
        if (!graphWindow) doc->setGraphWindowOpen(false);
        const QString path = file(name);
        if (!doc->saveTo(path)) return {};
        doc->closeAll();
        return path;
    }

    void aSecondStartHandsItsFileToTheRunningProgram() {
        // The running program listens on a socket of its own for this test;
        // the second start finds it through the session's runtime folder.
        CMainFrame* program = running();
        QCOMPARE(instance(), runtime_.filePath(QStringLiteral("vantor.socket")));
        const QString path = savedDesign(QStringLiteral("zweiter.vnt"));
        // The second program ends at once; its file opens here.
        QVERIFY(secondStartEnds({"zweiter.vnt"}));
        QTRY_COMPARE_WITH_TIMEOUT(program->documents().size(), std::size_t(1), 10000);
        QCOMPARE(program->documents().front()->path(), path);

        // The socket of a program that runs is never taken over; one left
        // behind by a program that ended without closing it is.
        InstanceServer again;
        QVERIFY(!again.listen(instance()));
        const QString stale = runtime_.filePath(QStringLiteral("stale.socket"));
        QVERIFY(QFile(stale).open(QIODevice::WriteOnly));  // nobody answers there
        QVERIFY(again.listen(stale));
        QVERIFY(program->closeAllDocuments());
    }

    void aFileThatCannotBeOpenedIsShownAndTheProgramGoesOn() {
        CMainFrame* program = running();
        DocumentHost* doc = program->newDocument();
        doc->runCommand(QStringLiteral("Neue Gruppe"), [&] { doc->document().newGroup(); });
        const QString damaged = file(QStringLiteral("abgeschnitten.vnt"));
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(FileBytes(savedDesign(QStringLiteral("ganz.vnt"))).left(40));
        f.close();
        struct Row {
            QString path, says;
        } rows[] = {{file(QStringLiteral("fehlt.vnt")), QStringLiteral("fehlt.vnt")},
                    {damaged, QStringLiteral("beschädigt")}};
        for (const Row& row : rows) {
            // A second start that stays on the line: the program answers and
            // hangs up before it opens the file, whose message may then run
            // the event loop for as long as it likes.
            QLocalSocket start;
            QByteArray answer;
            connect(&start, &QLocalSocket::readyRead, this, [&] { answer += start.readAll(); });
            start.connectToServer(instance());
            QVERIFY(start.waitForConnected(3000));
            start.write(QFile::encodeName(row.path) + QByteArray(2, '\0'));
            BoxAnswerer ok({QStringLiteral("OK")});
            QElapsedTimer shown;
            std::size_t documentsWhileShown = 0;
            ok.when = [&] {
                documentsWhileShown = program->documents().size();
                if (!shown.isValid()) shown.start();
                return start.state() == QLocalSocket::UnconnectedState || shown.elapsed() > 3000;
            };
            QVERIFY(RunLoopUntil([&] { return ok.allAnswered(); }));
            QCOMPARE(answer, QByteArray("\n"));
            QCOMPARE(start.state(), QLocalSocket::UnconnectedState);
            QCOMPARE(documentsWhileShown, std::size_t(1));  // the half-made one went first
            QVERIFY2(ok.texts.front().contains(row.says), qPrintable(ok.texts.front()));
            // Nothing half-made stays; the changed design is still there.
            QCOMPARE(program->documents(), std::vector<DocumentHost*>{doc});
            QTRY_COMPARE(program->mdiArea()->subWindowList().size(), qsizetype(doc->frames().size()));
            QVERIFY(doc->document().IsModified());
        }
        QVERIFY(doc->saveTo(file(QStringLiteral("gerettet.vnt"))));
        QCOMPARE(doc->document().plane()->GroupCount(), 1);
        QVERIFY(program->closeAllDocuments());
    }

    void anErrorWhileOpeningLeavesNoDocument() {
        const QString path = savedDesign(QStringLiteral("geworfen.vnt"));
        QTRY_VERIFY(frame_->mdiArea()->subWindowList().isEmpty());
        // The first window of the design throws as it gets its title, as if
        // memory ran out; the error reaches the box from the open command.
        bool thrown = false;
        EventWatch watch([&](QObject*, QEvent* event) {
            if (event->type() != QEvent::ChildAdded || thrown) return;
            if (auto* f = qobject_cast<DocumentFrame*>(static_cast<QChildEvent*>(event)->child()))
                connect(f, &QWidget::windowTitleChanged, f, [&] {
                    if (thrown) return;
                    thrown = true;
                    throw std::bad_alloc();
                });
        });
        QString shown;
        CVtrApp::SetErrorChoiceForTests([&](const QString& text) {
            shown = text;
            return ErrorChoice::Ignore;
        });
        QTimer::singleShot(0, frame_.get(), [&] { frame_->openDocument(path); });
        QTRY_VERIFY(!shown.isEmpty());
        CVtrApp::SetErrorChoiceForTests(nullptr);
        QVERIFY2(shown.contains(QStringLiteral("type\tstd::bad_alloc\nobject\tvantor::app::CMainFrame")),
                 qPrintable(shown));
        // "Ignorieren": no half-made "Entkopplung0" is left, and the file opens next time.
        QVERIFY(frame_->documents().empty());
        QTRY_VERIFY(frame_->mdiArea()->subWindowList().isEmpty());
        DocumentHost* doc = frame_->openDocument(path);
        QVERIFY(doc != nullptr);
        QCOMPARE(doc->title(), QStringLiteral("geworfen.vnt"));
    }

    void aMessageLongerThanAFewNamesDropsTheConnection() {
        QVERIFY(running() != nullptr);
        // No end of the message in sight: the program stops reading.
        QLocalSocket flood;
        flood.connectToServer(instance());
        QVERIFY(flood.waitForConnected(3000));
        flood.write(QByteArray(InstanceServer::kMaxMessage + 1, 'x'));
        QTRY_COMPARE_WITH_TIMEOUT(flood.state(), QLocalSocket::UnconnectedState, 5000);
        QVERIFY(running()->documents().empty());
        // A message just within the limit is taken: one design, named many times.
        const QByteArray name = QFile::encodeName(savedDesign(QStringLiteral("oft.vnt"))) + '\0';
        QByteArray message;
        while (message.size() + name.size() < InstanceServer::kMaxMessage) message += name;
        QLocalSocket full;
        QByteArray answer;
        connect(&full, &QLocalSocket::readyRead, this, [&] { answer += full.readAll(); });
        full.connectToServer(instance());
        QVERIFY(full.waitForConnected(3000));
        full.write(message + '\0');
        QTRY_COMPARE_WITH_TIMEOUT(answer, QByteArray("\n"), 5000);
        QTRY_COMPARE(running()->documents().size(), std::size_t(1));
        QVERIFY(running()->closeAllDocuments());
    }

    void filesGoOnlyToAProgramOfTheSameUser() {
        const QString path = savedDesign(QStringLiteral("eigen.vnt"));
        // The peer of a connection is the user at the other end.
        int pair[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
        QCOMPARE(PeerUser(pair[0]), long(::getuid()));
        ::close(pair[0]);
        ::close(pair[1]);
        QCOMPARE(PeerUser(-1), -1L);

        QTemporaryDir folder;
        QVERIFY(::chmod(QFile::encodeName(folder.path()).constData(), 0700) == 0);
        const QString name = folder.filePath(QStringLiteral("s"));
        const QByteArray nameBytes = QFile::encodeName(name);
        InstanceServer server;
        QSignalSpy received(&server, &InstanceServer::filesReceived);
        QVERIFY(server.listen(name));
        QVERIFY(HandOver(name, {path}));
        QTRY_COMPARE(received.size(), 1);

        // A socket or a folder others may write to could be theirs: refused.
        struct Row {
            mode_t folder, socket;
            bool taken;
        } rows[] = {{0700, 0777, false}, {0777, 0700, false}, {01777, 0700, true}, {0755, 0755, true}};
        for (const Row& row : rows) {
            ::chmod(QFile::encodeName(folder.path()).constData(), row.folder);
            ::chmod(nameBytes.constData(), row.socket);
            QCOMPARE(HandOver(name, {path}), row.taken);
        }
        ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
        ::chmod(nameBytes.constData(), 0700);
        QTRY_COMPARE(received.size(), 3);

        // As another user would see it: our socket is not theirs to use,
        // and a program of another user takes nothing from us.
        const uid_t other = ::getuid() + 1;
        QVERIFY(!SocketFileOf(name, other));
        QVERIFY(!HandOver(name, {path}, other));
        const QString theirs = folder.filePath(QStringLiteral("t"));
        InstanceServer otherServer(nullptr, other);
        QSignalSpy otherReceived(&otherServer, &InstanceServer::filesReceived);
        QVERIFY(QFile(theirs).open(QIODevice::WriteOnly));  // their left-over file, nobody answers
        QVERIFY(!otherServer.listen(theirs));               // not ours to take over...
        QVERIFY(QFileInfo::exists(theirs));                 // ...nor to remove
        QFile::remove(theirs);
        QVERIFY(otherServer.listen(theirs));
        QVERIFY(!HandOver(theirs, {path}));
        QTest::qWait(50);
        QCOMPARE(otherReceived.size(), 0);
        if (::getuid() == 0) {
            // A socket file that claims to be another user's, served by us.
            QVERIFY(::chown(nameBytes.constData(), other, ::getgid()) == 0);
            QVERIFY(SocketFileOf(name, other));
            QVERIFY(!HandOver(name, {path}, other));
        }
        QCOMPARE(received.size(), 3);
    }

    void fiftyStartsAtOnceOpenInOneProgram() {
        CMainFrame* program = running();
        // Main forms only: fifty graph windows would only cost time.
        const QString first = savedDesign(QStringLiteral("viele0.vnt"), false);
        QVERIFY(!first.isEmpty());
        QStringList paths{first};
        for (int i = 1; i < 50; ++i) {
            paths << file(QStringLiteral("viele%1.vnt").arg(i));
            QVERIFY(QFile::copy(first, paths.back()));
        }
        // Each design takes as long to open as a large one: the starts that
        // wait for their answer meanwhile must not wait for all of them.
        QSet<QObject*> forms;
        EventWatch slow([&](QObject*, QEvent* event) {
            if (event->type() != QEvent::ChildAdded) return;
            auto* f = qobject_cast<DocumentFrame*>(static_cast<QChildEvent*>(event)->child());
            if (f == nullptr || f->kind() != FrameKind::MainForm || forms.contains(f)) return;
            forms.insert(f);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        });
        std::vector<std::future<bool>> starts;
        for (const QString& p : paths) starts.push_back(HandOverLater(instance(), {p}));
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(starts.begin(), starts.end(), [](auto& f) { return Done(f); }), 60000);
        int taken = 0;
        for (auto& f : starts) taken += f.get() ? 1 : 0;
        QCOMPARE(taken, 50);
        QTRY_COMPARE_WITH_TIMEOUT(program->documents().size(), std::size_t(50), 60000);
        QStringList opened;
        for (DocumentHost* d : program->documents()) opened << d->path();
        opened.sort();
        paths.sort();
        QCOMPARE(opened, paths);
        QVERIFY(program->closeAllDocuments());
    }

    void aFileNameThatIsNotUtf8() {
        // Names as the system's bytes: those Qt decodes come out as Qt has
        // them, the others come back byte for byte.
        const QByteArray names[] = {
            "/tmp/Entkopplung \xc3\xa4.vnt", "\xff.vnt",        "a\xc0\xaf", "\xed\xa0\x80", "\xe2\x82",
            "\xf0\x9f\x98\x80\x80",          "\xf4\x90\x80\x80"};
        for (const QByteArray& n : names) {
            QCOMPARE(render::FileNameBytes(render::FileNameFromBytes(n)), n);
            if (QFile::encodeName(QFile::decodeName(n)) == n)
                QCOMPARE(render::FileNameFromBytes(n), QFile::decodeName(n));
        }
        QVERIFY(render::FileNameFromBytes("\xff.vnt") != render::FileNameFromBytes("\xfe.vnt"));

        // A design under such a name, handed over by a second start.
        CMainFrame* program = running();
        const QByteArray folder = QFile::encodeName(dir_.path());
        const QByteArray raw = folder + "/\xff.vnt";
        QVERIFY(::rename(QFile::encodeName(savedDesign(QStringLiteral("roh.vnt"))).constData(), raw.constData()) == 0);
        const QByteArray before = RawFileBytes(raw);
        const int files = QDir(dir_.path()).count();
        BoxAnswerer none({QStringLiteral("OK")});
        QVERIFY(secondStartEnds({"\xff.vnt"}));
        QTRY_COMPARE_WITH_TIMEOUT(program->documents().size(), std::size_t(1), 10000);
        QVERIFY2(none.texts.isEmpty(), qPrintable(none.texts.join(QLatin1Char('\n'))));
        DocumentHost* doc = program->documents().front();
        QCOMPARE(render::FileNameBytes(doc->path()), raw);
        // Saved again to the same file, not to one with a look-alike name.
        doc->runCommand(QStringLiteral("Neue Gruppe"), [&] { doc->document().newGroup(); });
        QVERIFY(doc->save());
        QVERIFY(RawFileBytes(raw) != before);
        QCOMPARE(QDir(dir_.path()).count(), uint(files));
        QVERIFY(program->closeAllDocuments());
        ::unlink(raw.constData());  // Qt could not name it to remove it
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

        // The layer editor's edits are steps too: its menus carry "&Bearbeiten".
        doc->setLayerEditorOpen(true);
        for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList())
            if (qobject_cast<ui::CLayerEditFrm*>(DocumentFrame::ContentOf(w)) != nullptr)
                frame_->mdiArea()->setActiveSubWindow(w);
        QTRY_COMPARE(MenuTitles(*frame_), QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&?"}));
        QAction* undo = frame_->menuBar()->actions()[1]->menu()->actions().front();
        QVERIFY(undo->isEnabled());
        undo->trigger();
        QCOMPARE(doc->document().plane()->GroupCount(), 0);
    }
};

VANTOR_APP_TEST_MAIN(AppTest)

#include "AppTest.moc"
