// The dialogs driven as a person drives them: typing into the fields named
// by their labels, pressing the buttons named by their texts. Messages go
// to a RecordingInteraction, so nothing waits for an answer.

#include <functional>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include "DesignAccess.h"
#include "CAnaDomainDlg.h"
#include "CEditCapaDlg.h"
#include "CEditFreqDlg.h"
#include "CEditLayDlg.h"
#include "CEditOptDlg.h"
#include "CVtrDoc.h"
#include "FormDialogs.h"
#include "FormHost.h"
#include "MainFormLogic.h"
#include "PackageTable.h"
#include "QuietFormHost.h"
#include "RecordingInteraction.h"
#include "Values.h"

using namespace vantor;
using namespace vantor::ui;

namespace {

QString U(const std::string& s) { return QString::fromStdString(s); }

template <class W>
W* Named(QWidget& dialog, const QString& name) {
    for (W* w : dialog.findChildren<W*>())
        if (w->accessibleName() == name) return w;
    qFatal("no control named %s", qPrintable(name));
}

QLineEdit* Field(QWidget& d, const char* label) { return Named<QLineEdit>(d, QString::fromUtf8(label)); }

void Type(QWidget& d, const char* label, const char* text) {
    QLineEdit* e = Field(d, label);
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, QString::fromUtf8(text));
}

void Press(QWidget& d, const char* button) { Named<QAbstractButton>(d, QString::fromUtf8(button))->click(); }

using Script = std::function<void(QWidget&)>;

// A dialog script: each label's field retyped in turn, then OK.
Script TypedThenOk(std::vector<std::pair<const char*, const char*>> typed) {
    return [typed](QWidget& d) {
        for (const auto& [label, text] : typed) Type(d, label, text);
        Press(d, "OK");
    };
}

// Toggles a check box from the keyboard, as a person tabbing to it does.
void Toggle(QWidget& d, const char* box) {
    auto* b = Named<QWidget>(d, QString::fromUtf8(box));
    b->setFocus();
    QTest::keyClick(b, Qt::Key_Space);
}

bool Checked(QWidget& d, const char* box) {
    return Named<QWidget>(d, QString::fromUtf8(box))->property("checked").toBool();
}

// What the person can do with each control of the capacitor dialog:
// "off" (disabled), "shown" (read-only) or "typed".
QString CapacitorControls(QWidget& d) {
    QStringList states;
    for (const char* label : {"Bauform:", "Verlustwiderstand:", "Serieninduktivität:", "Bezeichnung:"}) {
        QWidget* w = Named<QWidget>(d, QString::fromUtf8(label));
        auto* edit = qobject_cast<QLineEdit*>(w);
        states << QString::fromUtf8(label) + (!w->isEnabled()                         ? " off"
                                              : edit != nullptr && edit->isReadOnly() ? " shown"
                                                                                      : " typed");
    }
    return states.join(", ");
}

// Runs script on the next modal dialog once it shows; a dialog the script
// left open (an OK refused by mistake) is cancelled, so the test fails
// rather than waits.
void OnShow(Script script) {
    QTimer::singleShot(0, qApp, [script] {
        QPointer<QDialog> d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (d == nullptr) qFatal("no modal dialog shown");
        script(*d);
        if (d != nullptr && d->isVisible()) d->reject();
    });
}

// Presses OK and tells what the refusal left behind: "message -> field"
// when the dialog stayed open with the field focused and all its text
// selected, more otherwise.
QString PressOk(QWidget& d, RecordingInteraction& ui) {
    ui.clear();
    Press(d, "OK");
    QStringList said;
    for (const std::string& m : ui.messages()) said << U(m);
    QWidget* f = d.focusWidget();
    auto* e = qobject_cast<QLineEdit*>(f);
    const bool selected = e != nullptr && !e->text().isEmpty() && e->selectedText() == e->text();
    return said.join('|') + " -> " + (f != nullptr ? f->accessibleName() : QString()) +
           (selected ? "" : " (text not selected)") + (d.isVisible() ? "" : " (closed)");
}

QString Refused(const QString& message, const QString& field) { return message + " -> " + field; }

// Runs every command at once and notes its label.
struct TestHost : test::QuietFormHost {
    TestHost() : QuietFormHost(false) {}
};

}  // namespace

class UiDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void layoutRefusals_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        // Which field refuses what is tested in the core; here where the
        // refusal leaves the focus. A zero length makes the width the longer
        // side: the sides swap and the zero is refused as the width.
        const QString a = QString::fromUtf8(kMessageNotPositive);
        // clang-format off
        QTest::newRow("length 0") << "Länge:" << "0" << a << "Breite:";
        QTest::newRow("plane spacing 0") << "Abstand Vcc <> GND:" << "0" << a << "Abstand Vcc <> GND:";
        // clang-format on
    }

    void layoutRefusals() {
        QFETCH(QString, label);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        RecordingInteraction ui;
        CCircuitBoard board;
        const LayoutFields before = LayoutFields::FromBoard(board);
        LayoutFields fields = before;
        CEditLayDlg dialog(ui);
        QString r, focusedText;
        OnShow([&](QWidget& d) {
            Type(d, label.toUtf8().constData(), typed.toUtf8().constData());
            r = PressOk(d, ui);
            focusedText = Field(d, focus.toUtf8().constData())->text();
            Press(d, "Abbrechen");
        });
        QVERIFY(!dialog.exec(fields));
        QCOMPARE(r, Refused(message, focus));
        QCOMPARE(focusedText, typed);
        QCOMPARE(fields.length, before.length);  // cancel hands nothing back
    }

    void layoutOkOrdersSidesAndFollowsFrequency() {
        RecordingInteraction ui;
        CCircuitBoard board;
        LayoutFields fields = LayoutFields::FromBoard(board);
        CEditLayDlg dialog(ui);
        OnShow(TypedThenOk(
            {{"Breite:", "160mm"}, {"Länge:", "100mm"}, {"Epsilon r:", "4.5"}, {"Abstand Vcc <> GND:", "100um"}}));
        QVERIFY(dialog.exec(fields));
        QVERIFY(ui.messages().empty());
        QCOMPARE(U(fields.length), QStringLiteral("160mm"));
        QCOMPARE(U(fields.width), QStringLiteral("100mm"));
        // 2.7e8 / (2 * 0.16 m * sqrt(4.5)), recomputed as the fields change.
        QCOMPARE(U(fields.maxFrequency), QStringLiteral("397.7MHz"));
        QCOMPARE(Field(dialog, "Länge:")->text(), QStringLiteral("160mm"));
    }

    void frequencyStepDisplayAndChecks() {
        RecordingInteraction ui;
        FrequencyRangeFields fields{"1MHz", "1GHz", "100"};
        CEditFreqDlg dialog("250MHz", ui);
        // The step follows each keystroke; the checks themselves are tested in the core.
        QStringList shown;
        QString equalEnds;
        OnShow([&](QWidget& d) {
            Type(d, "Anzahl Schritte:", "999");
            shown << dialog.stepText();
            Type(d, "Fstart:", "1GHz");
            shown << dialog.stepText();
            equalEnds = PressOk(d, ui);
            TypedThenOk({{"Fstart:", "1MHz"}, {"Fstop::", "3GHz"}})(d);
        });
        QVERIFY(dialog.exec(fields));
        QCOMPARE(shown, QStringList({"1MHz", "---------"}));
        QCOMPARE(equalEnds, Refused("Fehler: Fstart muß < 1GHz sein!", "Fstart:"));
        QCOMPARE(U(fields.stop), QStringLiteral("3GHz"));
        QCOMPARE(U(fields.steps), QStringLiteral("999"));
        QCOMPARE(Field(dialog, "Obere Grenzfrequenz der Entkopplung:")->text(), QStringLiteral("250MHz"));
    }

    void capacitorAutoSwitchAndCheck() {
        RecordingInteraction ui;
        CCircuitBoard board;
        const CCapShape& largest = PackageTable::Application()[PackageTable::kSize - 1];
        CapacitorFields fields = CapacitorFields::FromShape(DefaultPackage(), &board);
        CEditCapaDlg dialog(&board, ui);
        QStringList seen;  // package list, Rloss, name, list enabled, Rloss locked
        QString refused;
        OnShow([&](QWidget& d) {
            auto* list = Named<QComboBox>(d, "Bauform:");
            auto* rloss = Field(d, "Verlustwiderstand:");
            const auto look = [&] {
                seen << list->currentText() + " " + rloss->text() + " " + Field(d, "Bezeichnung:")->text() +
                            (list->isEnabled() ? " list" : "") + (rloss->isReadOnly() ? " locked" : "");
            };
            list->setCurrentIndex(list->findData(PackageTable::kSize - 1));
            look();
            Toggle(d, "Auto:");
            Type(d, "Verlustwiderstand:", "5.1Ohm");
            look();
            refused = PressOk(d, ui);
            TypedThenOk({{"Verlustwiderstand:", "1Ohm"}})(d);
        });
        QVERIFY(dialog.exec(fields));
        const QString name = U(largest.name);
        QCOMPARE(seen, QStringList({name + " " + U(FormatValue(largest.rloss, "Ohm")) + " " + name + " list locked",
                                    "Benutzerdefiniert 5.1Ohm Benutzerdefiniert"}));
        QCOMPARE(refused, Refused("Fehler: 0.01 Ohm <= Rloss <= 5 Ohm !!!", "Verlustwiderstand:"));
        QCOMPARE(fields.packageType, 0);
        QVERIFY(!fields.automatic);
        QCOMPARE(U(fields.rloss), QStringLiteral("1Ohm"));
    }

    void capacitorAutoOffOpensWithValuesTyped() {
        // Auto switched off, OK, and the dialog opened afresh: the values are
        // typed, only the package list is off; through a slot's "Bearbeiten..."
        // and through "Kondensatoren...".
        const QString autoOff = QString::fromUtf8(
            "Bauform: off, Verlustwiderstand: typed, Serieninduktivität: typed, Bezeichnung: shown");
        TestHost host;
        QStringList seen;
        const auto look = [&](QWidget& d) {
            seen << (Checked(d, "Auto:") ? "Auto on: " : "Auto off: ") + CapacitorControls(d);
        };
        const auto switchOff = [&](QWidget& d) {
            Toggle(d, "Auto:");
            look(d);
            Press(d, "OK");
        };
        const auto reopen = [&](QWidget& d) {
            look(d);
            Press(d, "Abbrechen");
        };

        const CCGroup& group = *host.doc.newGroup();  // the slot dialog edits a placed group
        for (const Script& script : {Script(switchOff), Script(reopen)}) {
            OnShow([&, script](QWidget& slot) {
                OnShow(script);
                Press(slot, "Bearbeiten...");
            });
            RunSlotCommand(host, group, 1, nullptr);
        }
        QCOMPARE(seen, QStringList({"Auto off: " + autoOff, "Auto off: " + autoOff}));

        seen.clear();
        OnShow([&](QWidget& d) {
            Toggle(d, "Auto:");
            look(d);
            TypedThenOk({{"Verlustwiderstand:", "100mOhm"}, {"Serieninduktivität:", "1nH"}})(d);
        });
        RunCapacitorCommand(host, nullptr);
        QCOMPARE(host.doc.optimisationGroup().defaultPackage.packageType, 0);
        OnShow(reopen);
        RunCapacitorCommand(host, nullptr);
        QCOMPARE(seen, QStringList({"Auto off: " + autoOff, "Auto off: " + autoOff}));
    }

    void targetAndAnalysisPassHiddenFields() {
        RecordingInteraction ui;
        CCGroup group;
        group.fo = 5e9;
        TargetFields targets = TargetFields::FromGroup(group, 3e9);
        CEditOptDlg targetDialog(ui);
        OnShow(TypedThenOk({{"Fu - Zmin:", "1mOhm"}, {"Fu - Zmax:", "2mOhm"}}));
        QVERIFY(targetDialog.exec(targets));
        QCOMPARE(U(targets.zminFu), QStringLiteral("1mOhm"));
        QCOMPARE(U(targets.limit), QStringLiteral("3GHz"));

        CAnalysisDomain domain;
        domain.timeSteps = 77;
        domain.logarithmic = 1;
        AnalysisFields analysis = AnalysisFields::FromDomain(domain);
        const AnalysisFields before = analysis;
        CAnaDomainDlg analysisDialog(ui);
        OnShow(TypedThenOk({{"Startfrequenz:", "2MHz"}}));
        QVERIFY(analysisDialog.exec(analysis));
        QCOMPARE(U(analysis.startFrequency), QStringLiteral("2MHz"));
        QCOMPARE(analysis.frequencySteps, before.frequencySteps);
        QCOMPARE(analysis.timeSteps, before.timeSteps);
        QCOMPARE(analysis.stopTime, before.stopTime);
        QCOMPARE(analysis.logarithmic, 1);
    }

    void slotDialogChangesGroupThroughDocument_data() {
        QTest::addColumn<int>("slotFromEnd");  // k - n
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("press");
        QTest::addColumn<int>("countChange");
        // clang-format off
        QTest::newRow("first free slot") << 1 << "Neu,Zurück" << "Neu" << 1;
        QTest::newRow("last capacitor") << 0 << "Entfernen,Bearbeiten...,Neu,Zurück" << "Entfernen" << -1;
        QTest::newRow("beyond the free slot") << 2 << "Zurück" << "Zurück" << 0;
        // clang-format on
    }

    void slotDialogChangesGroupThroughDocument() {
        QFETCH(int, slotFromEnd);
        QFETCH(QString, enabled);
        QFETCH(QString, press);
        QFETCH(int, countChange);
        TestHost host;
        const CCGroup& group = *host.doc.newGroup();  // the slot dialog edits a placed group
        host.doc.SetModifiedFlag(false);
        const int n = group.CapacitorCount();
        QVERIFY(n >= 2 && n <= 8);
        const int k = n + slotFromEnd;
        const SlotTexts before = GroupSlotTexts(&group);
        QStringList enabledSeen;
        QString title, frame;
        OnShow([&](QWidget& d) {
            title = d.windowTitle();
            frame = d.findChild<QGroupBox*>()->title();
            for (QAbstractButton* b : d.findChildren<QAbstractButton*>())
                if (b->isEnabled()) enabledSeen << b->text();
            Press(d, press.toUtf8().constData());
        });
        RunSlotCommand(host, group, k, nullptr);
        QCOMPARE(title, QStringLiteral("C%1 bearbeiten...").arg(k));
        QCOMPARE(frame, QStringLiteral("C%1").arg(k));
        QCOMPARE(enabledSeen, enabled.split(','));
        QCOMPARE(group.CapacitorCount(), n + countChange);
        QCOMPARE(host.labels.size(), countChange == 0 ? 0 : 1);
        QCOMPARE(host.doc.IsModified(), countChange != 0);  // a changed group is asked to be saved
        // The slots below keep their values; a removed Cn leaves its slot
        // empty, a new capacitor shows in the free slot.
        const SlotTexts after = GroupSlotTexts(&group);
        for (int i = 0; i < n - (countChange < 0 ? 1 : 0); ++i) QCOMPARE(after[i], before[i]);
        if (countChange != 0) QCOMPARE(after[countChange < 0 ? n - 1 : n] == kEmptySlot, countChange < 0);
    }

    void commandsRunAsOneStep() {
        TestHost host;
        OnShow(TypedThenOk({{"Länge:", "120mm"}}));
        RunLayoutCommand(host, nullptr);
        QCOMPARE(host.labels, QStringList{QStringLiteral("Layout")});
        QCOMPARE(host.doc.board().length, 0.12);

        // "Bearbeiten..." of slot C1 opens the capacitor's own properties.
        const CCGroup& group = *host.doc.newGroup();  // the slot dialog edits a placed group
        const int n = group.CapacitorCount();
        OnShow([&](QWidget& slot) {
            OnShow([&](QWidget& d) {
                Toggle(d, "Auto:");
                TypedThenOk({{"Verlustwiderstand:", "1Ohm"}, {"Serieninduktivität:", "1nH"}})(d);
            });
            Press(slot, "Bearbeiten...");
        });
        RunSlotCommand(host, group, 1, nullptr);
        const CCapShape& edited = group.Capacitor(SlotElement(n, 1)).shape;
        QCOMPARE(edited.packageType, 0);
        QCOMPARE(edited.rloss, 1.0);
        QCOMPARE(edited.lser, 1e-9);
        QCOMPARE(host.labels.last(), QStringLiteral("C1 bearbeiten"));
    }
};

QTEST_MAIN(UiDialogsTest)
#include "UiDialogsTest.moc"
