// What a screen reader gets: the accessible tree of every window and dialog,
// read through QAccessibleInterface as the AT-SPI bridge reads it.

#include <QAccessible>
#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

#include "CMainFrame.h"
#include "MainFrameFixture.h"
#include "CVtrApp.h"
#include "DocumentFrame.h"
#include "DocumentHost.h"

using namespace vantor;
using namespace vantor::app;

namespace {

QString Describe(QAccessibleInterface* a) {
    const QObject* o = a->object();
    return QStringLiteral("%1 \"%2\" (%3)")
        .arg(int(a->role()))
        .arg(a->text(QAccessible::Name), o != nullptr ? QString::fromLatin1(o->metaObject()->className()) : QString());
}

// Calls visit for every shown node under root; a sub-window is a window of
// its own and is left out.
void Walk(QAccessibleInterface* a, const std::function<void(QAccessibleInterface*)>& visit, int depth = 0) {
    if (a == nullptr || !a->isValid() || a->state().invisible || depth > 60) return;
    if (depth > 0 && qobject_cast<QMdiSubWindow*>(a->object()) != nullptr) return;
    visit(a);
    for (int i = 0; i < a->childCount(); ++i) Walk(a->child(i), visit, depth + 1);
}

/// The focusable controls of window that a screen reader announces without
/// a name, or with the name and role of another one.
QStringList SpeechProblems(QWidget* window) {
    QStringList problems;
    QSet<QPair<int, QString>> seen;
    Walk(QAccessible::queryAccessibleInterface(window), [&](QAccessibleInterface* a) {
        if (!a->state().focusable || a->object() == window) return;
        const QString name = a->text(QAccessible::Name).trimmed();
        const QPair<int, QString> key{int(a->role()), name};
        if (name.isEmpty())
            problems << QStringLiteral("unnamed ") + Describe(a);
        else if (seen.contains(key))
            problems << QStringLiteral("twice ") + Describe(a);
        seen.insert(key);
    });
    return problems;
}

/// The first shown node under root with this role and name.
QAccessibleInterface* Spoken(QWidget* root, QAccessible::Role role, const QString& name) {
    QAccessibleInterface* found = nullptr;
    Walk(QAccessible::queryAccessibleInterface(root), [&](QAccessibleInterface* a) {
        if (found == nullptr && a->role() == role && a->text(QAccessible::Name) == name) found = a;
    });
    return found;
}

QAction* Command(const QString& text) {
    for (QWidget* w : QApplication::allWidgets())
        for (QAction* a : w->actions())
            if (a->text() == text) return a;
    return nullptr;
}

}  // namespace

class AccessibleTreeTest : public QObject {
    Q_OBJECT
private:
    CSParameterDB database_;
    std::unique_ptr<CMainFrame> frame_;
    DocumentHost* doc_ = nullptr;

    QWidget* form() const { return doc_->frames().front()->content(); }

    // Opens a dialog as open does it, reads what it says, then cancels it.
    QStringList DialogProblems(const std::function<void()>& open, QString& title) {
        QStringList problems;
        title.clear();
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr || !title.isEmpty()) return;
            title = dialog->windowTitle();
            problems = SpeechProblems(dialog);
            dialog->reject();
        });
        poll.start(5);
        open();
        (void)QTest::qWaitFor([&] { return !title.isEmpty(); }, 5000);
        return problems;
    }

private slots:
    void initTestCase() {
        frame_ = ShowMainFrame(database_);
        QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
        doc_ = frame_->newDocument();
        QVERIFY(doc_ != nullptr);
        // A group, so that its slots and the slot dialog have something to show.
        auto* newGroup = qobject_cast<QPushButton*>(
            Spoken(form(), QAccessible::Button, QStringLiteral(">> + >>"))->object());
        QTest::mouseClick(newGroup, Qt::LeftButton);
        QAction* layerEditor = Command(QStringLiteral("&Layer-Editor"));
        QVERIFY(layerEditor != nullptr);
        if (!layerEditor->isChecked()) layerEditor->trigger();
    }

    void everyWindowNamesEachControlOnce() {
        QStringList windows;
        QStringList problems = SpeechProblems(frame_.get());
        for (QMdiSubWindow* w : frame_->mdiArea()->subWindowList()) {
            windows << w->windowTitle();
            for (const QString& p : SpeechProblems(w)) problems << w->windowTitle() + QStringLiteral(": ") + p;
        }
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        // The main form, the graph window and the layer editor.
        QVERIFY2(windows.size() >= 3, qPrintable(windows.join(QLatin1Char('|'))));
    }

    void everyDialogNamesEachControlOnce_data() {
        QTest::addColumn<QString>("command");
        for (const char* c : {"&Layout...", "&Kondensatoren...", "&Optimierungsziele...", "&Parameter...",
                              "Inf&o über Vantor for Windows...", "&Frequenzbereich...", "&Y-Achse...", "Edit C1"})
            QTest::newRow(c) << QString::fromUtf8(c);
    }

    void everyDialogNamesEachControlOnce() {
        QFETCH(QString, command);
        std::function<void()> open;
        if (QAction* a = Command(command)) {
            open = [a] { a->trigger(); };
        } else if (QAccessibleInterface* b = Spoken(form(), QAccessible::Button, command)) {
            open = [b] { QTest::mouseClick(qobject_cast<QWidget*>(b->object()), Qt::LeftButton); };
        }
        QVERIFY2(open, qPrintable(command));
        // The form's commands go to the active document window.
        frame_->mdiArea()->setActiveSubWindow(doc_->frames().front());
        QString title;
        const QStringList problems = DialogProblems(open, title);
        QVERIFY2(!title.isEmpty(), "no dialog came up");
        QVERIFY2(problems.isEmpty(), qPrintable(title + QLatin1Char('\n') + problems.join(QLatin1Char('\n'))));
    }

    void theScreenReaderHearsWhatIsShown() {
        // The status bar's message, idle and fly-by.
        QStatusBar* bar = frame_->statusBar();
        const QString idle = QStringLiteral("Drücken Sie F1, um Hilfe zu erhalten.");
        QVERIFY(Spoken(bar, QAccessible::StaticText, idle) != nullptr);
        QAction* save = Command(QStringLiteral("S&peichern\tStrg+S"));
        QVERIFY(save != nullptr && !save->statusTip().isEmpty());
        auto* tools = frame_->findChild<QToolBar*>();
        QVERIFY(tools != nullptr && tools->widgetForAction(save) != nullptr);
        QTest::mouseMove(tools->widgetForAction(save));
        QTRY_COMPARE(bar->currentMessage(), save->statusTip());
        QVERIFY(Spoken(bar, QAccessible::StaticText, save->statusTip()) != nullptr);
        bar->clearMessage();
        QVERIFY(Spoken(bar, QAccessible::StaticText, idle) != nullptr);

        // The group's name, not what it is.
        QVERIFY(Spoken(form(), QAccessible::StaticText, QStringLiteral("Gruppe1")) != nullptr);
        // Each slot by its number, its value as value.
        for (int k = 1; k <= 10; ++k) {
            const QString slot = QStringLiteral("C%1").arg(k);
            QVERIFY2(Spoken(form(), QAccessible::Button, QStringLiteral("Edit ") + slot) != nullptr, qPrintable(slot));
            QAccessibleInterface* combo = Spoken(form(), QAccessible::ComboBox, slot);
            QVERIFY2(combo != nullptr, qPrintable(slot));
            QAccessibleInterface* optimised = Spoken(form(), QAccessible::EditableText,
                                                     QStringLiteral("Optimierung ") + slot);
            QVERIFY2(optimised != nullptr, qPrintable(slot));
            // The new group is the optimisation result: both show one value.
            QCOMPARE(combo->text(QAccessible::Value), optimised->text(QAccessible::Value));
            if (k == 1) QVERIFY(combo->text(QAccessible::Value).endsWith(QLatin1Char('F')));
        }
    }

    void cleanupTestCase() {
        doc_->document().SetModifiedFlag(false);
        frame_->closeAllDocuments();
    }
};

VANTOR_APP_TEST_MAIN(AccessibleTreeTest)

#include "AccessibleTreeTest.moc"
