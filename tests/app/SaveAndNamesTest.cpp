// What other programs, hostile names and a person's edits do to the saved
// file: a file name that looks like HTML, a vantor-cli run that holds the
// file while the program saves, a dialog's change that must be saved.

#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include "DesignAccess.h"
#include "MainFrameFixture.h"
#include "CLayer.h"
#include "CMainFrame.h"
#include "CVtrApp.h"
#include "DocumentFile.h"
#include "DocumentFrame.h"
#include "DocumentHost.h"

using namespace vantor;
using namespace vantor::app;

namespace {

/// A change of the design that asks to be saved.
void AddGroup(DocumentHost& doc, const std::string& name = std::string()) {
    doc.runCommand(QStringLiteral("Neue Gruppe"), [&] {
        CCGroup* group = DesignAccess::Plane(doc.document())->OwnGroup(doc.document().newGroup());
        if (!name.empty()) group->name = DesignAccess::MainForm(doc.document())->currentGroupName = name;
        doc.document().UpdateAllViews(ChangeHint::Everything);
    });
}

/// Works the next modal dialog (not a message box) with fill, then
/// presses its button labelled button.
void OnNextDialog(
    QObject* context, const QString& button, std::function<void(QDialog&)> fill = [](QDialog&) {}) {
    auto* poll = new QTimer(context);
    QObject::connect(poll, &QTimer::timeout, context, [poll, fill, button] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || qobject_cast<QMessageBox*>(dialog) != nullptr) return;
        poll->deleteLater();
        poll->stop();
        fill(*dialog);
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text().remove(QLatin1Char('&')) == button) return b->click();
        QFAIL("no such button");
    });
    poll->start(5);
}

/// Types text into the dialog's field that a screen reader calls name.
void TypeInto(QDialog& dialog, const QString& name, const QString& text) {
    for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
        if (field->accessibleName() != name) continue;
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no field ") + name));
}

QAction* MenuCommand(QWidget& frame, const QString& text) {
    for (QAction* a : frame.findChildren<QAction*>())
        if (a->text() == text) return a;
    return nullptr;
}

}  // namespace

class SaveAndNamesTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    std::unique_ptr<CMainFrame> frame_;
    CSParameterDB database_;
    QString file(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        frame_ = ShowMainFrame(database_);
    }

    void cleanup() { QVERIFY(CloseAllWithoutSaving(*frame_)); }

    void namesThatLookLikeHtmlShowAsTyped() {
        // A FIFO nobody writes to: a label that took the name for HTML would
        // block the program for good, trying to load it as an image.
        const QString fifo = file(QStringLiteral("bild"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString missing = file(QStringLiteral("<img src=%1>x.vnt").arg(fifo));
        {
            BoxAnswerer ok({QStringLiteral("OK")});
            QVERIFY(frame_->openDocument(missing) == nullptr);
            QTRY_VERIFY(ok.allAnswered());
            QVERIFY(ok.texts.front().contains(QStringLiteral("<img src=")));
            QCOMPARE(ok.formats.front(), Qt::PlainText);
        }

        const QString bold = file(QStringLiteral("<b>x & y.vnt"));
        DocumentHost* doc = frame_->newDocument();
        QVERIFY(doc->saveTo(bold));
        AddGroup(*doc, "<b>G</b>");
        // Every label of the window that shows a name shows it literally.
        for (QLabel* label : frame_->findChildren<QLabel*>())
            if (label->text().contains(QStringLiteral("<b>")))
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->text()));
        bool groupShown = false;
        for (QLabel* label : frame_->findChildren<QLabel*>()) groupShown |= label->text() == QStringLiteral("<b>G</b>");
        QVERIFY(groupShown);
        // The recent-file entry shows the '&' instead of taking it for a shortcut.
        bool recentShown = false;
        for (QAction* a : frame_->findChildren<QAction*>())
            recentShown |= a->text().endsWith(QStringLiteral("<b>x && y.vnt"));
        QVERIFY(recentShown);

        BoxAnswerer no({QStringLiteral("Nein")});
        QVERIFY(frame_->closeAllDocuments());
        QTRY_VERIFY(no.allAnswered());
        QCOMPARE(no.texts.front(), QStringLiteral("Änderungen in <b>x & y.vnt speichern?"));
        QCOMPARE(no.formats.front(), Qt::PlainText);
    }

    void aDialogsChangeIsSavedOnClose() {
        // The layout dialog's change asks to be saved; "Ja" writes it, and
        // "Abbrechen" or OK with the same values change nothing.
        const QString path = file(QStringLiteral("layout.vnt"));
        DocumentHost* doc = frame_->newDocument();
        QVERIFY(doc->saveTo(path));
        QAction* layout = MenuCommand(*frame_, QStringLiteral("&Layout..."));
        QVERIFY(layout != nullptr);
        OnNextDialog(this, QStringLiteral("Abbrechen"));
        layout->trigger();
        OnNextDialog(this, QStringLiteral("OK"));
        layout->trigger();
        QVERIFY(!doc->document().IsModified());
        OnNextDialog(this, QStringLiteral("OK"),
                     [](QDialog& d) { TypeInto(d, QStringLiteral("Epsilon r:"), QStringLiteral("4.6")); });
        layout->trigger();
        QVERIFY(doc->document().IsModified());
        QVERIFY(doc->frames().front()->isWindowModified());
        QVERIFY(CloseAllAnswering(*frame_, QStringLiteral("Ja")));
        QTRY_VERIFY(frame_->documents().empty());
        DocumentHost* reopened = frame_->openDocument(path);
        QVERIFY(reopened != nullptr);
        QCOMPARE(reopened->document().board().epsilonR, 4.6);
    }

    void aSaveWaitsForTheLockThenAsks() {
        // vantor-cli holds the file's lock while it analyses and then writes
        // its results; a save meanwhile must not overwrite them unasked.
        const QString path = file(QStringLiteral("geteilt.vnt"));
        DocumentHost* doc = frame_->newDocument();
        QVERIFY(doc->saveTo(path));
        AddGroup(*doc);

        auto held = std::make_unique<DocumentLock>();
        std::string error;
        QCOMPARE(held->Acquire(std::filesystem::path(QFile::encodeName(path).toStdString()),
                               std::chrono::milliseconds(0), error),
                 DocumentLock::Outcome::Locked);
        const QByteArray theirs = FileBytes(path) + QByteArray("ergebnisse");
        bool waitShown = false;
        // The other run finishes while the save waits: it writes, then lets go.
        QTimer::singleShot(400, this, [&] {
            waitShown = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()) != nullptr;
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(theirs);
            f.close();
            held.reset();
        });
        BoxAnswerer no({QStringLiteral("Nein")});
        frame_->mdiArea()->setActiveSubWindow(doc->frames().front());
        frame_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
        QTest::keyClick(frame_.get(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY(no.allAnswered());
        // The window stayed alive while it waited, and said so.
        QVERIFY(waitShown);
        QVERIFY(no.texts.front().contains(QStringLiteral("von einem anderen Programm geändert")));
        QCOMPARE(FileBytes(path), theirs);
        QVERIFY(doc->document().IsModified());
    }
};

VANTOR_APP_TEST_MAIN(SaveAndNamesTest)

#include "SaveAndNamesTest.moc"
