// The main form through its real widgets, over a real document with the
// sample database: what it shows, how it refuses, what it writes.

#include <cmath>
#include <filesystem>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "DesignAccess.h"
#include "CLayer.h"
#include "CVtrView.h"
#include "QuietFormHost.h"
#include "RecordingInteraction.h"
#include "StepSpin.h"
#include "Values.h"

using namespace vantor;

namespace {

// A document with the sample database behind a host that runs each command
// at once; the main form attaches itself, so no stand-in record is attached.
class TestHost : public test::QuietFormHost {
public:
    TestHost() : QuietFormHost(SampleDatabase(), false) {}

private:
    static CSParameterDB& SampleDatabase() {
        static CSParameterDB db;
        static const bool loaded = [] {
            RecordingInteraction ui;
            return db.LoadDatabase(std::filesystem::path(VANTOR_SOURCE_DIR) / "Database", ui) > 0;
        }();
        (void)loaded;
        return db;
    }
};

// Controls are found as a person or a screen reader finds them: by name.
template <class W>
W* Named(const QWidget& form, const QString& name, int nth = 0) {
    for (W* w : form.findChildren<W*>())
        if (w->accessibleName() == name && nth-- == 0) return w;
    return nullptr;
}

QString LastMessage(const TestHost& host) {
    const auto m = host.ui.messages();
    return m.empty() ? QString() : QString::fromStdString(m.back());
}

// Types text into a field that has the focus, as a person would.
void Retype(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// The current group's name, read by its text: the box around it says what it is.
QLabel* GroupNameOf(const QWidget& form) {
    for (QLabel* l : form.findChildren<QLabel*>())
        if (l->accessibleDescription() == QLatin1String("Aktuelle Gruppe")) return l;
    return nullptr;
}

struct Form {
    TestHost host;
    ui::CVtrView view{host};

    Form() {
        view.show();
        view.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&view));
    }
    QComboBox* slot(int k) const { return Named<QComboBox>(view, QStringLiteral("C%1").arg(k)); }
    QLineEdit* field(const char* name) const { return Named<QLineEdit>(view, QString::fromUtf8(name)); }
    QPushButton* button(const QString& name) const { return Named<QPushButton>(view, name); }
    QPushButton* edit(int k) const { return button(QStringLiteral("Edit C%1").arg(k)); }
    QLineEdit* optimised(int k) const { return Named<QLineEdit>(view, QStringLiteral("Optimierung C%1").arg(k)); }
    QLabel* groupName() const { return GroupNameOf(view); }
    void newGroup() { button(">> + >>")->click(); }
};

}  // namespace

class CVtrViewTest : public QObject {
    Q_OBJECT
private slots:
    void newDocumentShowsTheOptimisationAndEmptySlots() {
        Form f;
        const CCGroup& opt = f.host.doc.optimisationGroup();
        const int n = opt.CapacitorCount();
        QVERIFY(n >= 1);
        // C1 is the last capacitor of the result, the slots beyond it are empty.
        for (int k = 1; k <= 10; ++k) {
            const QString shown = f.optimised(k)->text();
            QCOMPARE(shown, k <= n ? QString::fromStdString(FormatValue(opt.Capacitor(n + 1 - k).capacitance, "F"))
                                   : QStringLiteral("------"));
            QCOMPARE(f.slot(k)->currentText(), QStringLiteral("------"));
            QCOMPARE(f.slot(k)->count(), 0);
            QCOMPARE(f.edit(k)->isEnabled(), k == 1);
        }
        QVERIFY(Named<QLabel>(f.view, "Fmax:")->text().endsWith("Hz"));
        QVERIFY(f.field("X:")->text().isEmpty() && f.field("Y:")->text().isEmpty());
        QCOMPARE(Named<QComboBox>(f.view, "Drossel")->currentText(), QStringLiteral("**  nicht verfügbar  **"));
        // Showing the design, and showing it again, is no change of it.
        f.host.doc.UpdateAllViews(ChangeHint::Everything);
        QVERIFY(!f.host.doc.IsModified());
        QVERIFY(f.host.labels.isEmpty());
    }

    void newGroupTakesTheOptimisedValuesAndDeletingItEmptiesTheSlots() {
        Form f;
        f.newGroup();
        f.newGroup();
        QCOMPARE(f.host.labels, QStringList({">> + >>", ">> + >>"}));
        QCOMPARE(f.groupName()->text(), QStringLiteral("Gruppe2"));
        QCOMPARE(f.host.doc.MainForm()->transferState, 1);
        const int n = f.host.doc.optimisationGroup().CapacitorCount();
        for (int k = 1; k <= 10; ++k) {
            // The group is the optimisation result: both boxes show the same.
            QCOMPARE(f.slot(k)->currentText(), f.optimised(k)->text());
            QCOMPARE(f.edit(k)->isEnabled(), k - 1 <= n);
        }
        // Placed at the centre of the 99 mm x 71 mm board, shown in the form's
        // compact notation (to the millimetre here).
        QVERIFY(std::abs(ParseValue(f.field("X:")->text().toStdString()) - 0.0495) <= 1e-3);
        QVERIFY(std::abs(ParseValue(f.field("Y:")->text().toStdString()) - 0.0355) <= 1e-3);
        // Moving only Y keeps X exact, though its field shows it rounded.
        const CCGroup* group = f.host.doc.currentGroup();
        const double x = group->posX;
        Retype(f.field("Y:"), QStringLiteral("20mm"));
        f.button("Analyse !")->setFocus();
        QCOMPARE(group->posX, x);
        QCOMPARE(group->posY, 0.02);

        // The value lists follow the series (their entries are tested in the
        // core); switching it is no change.
        f.host.doc.SetModifiedFlag(false);
        const int e6 = f.slot(1)->count();
        Named<QRadioButton>(f.view, "E12")->click();
        QVERIFY(f.slot(1)->count() > e6);
        QCOMPARE(f.slot(1)->currentText(), f.optimised(1)->text());
        QVERIFY(!f.host.doc.IsModified());

        // The spin goes down the list and back up; at the ends it stays.
        auto* spin = Named<ui::StepSpin>(f.view, "Gruppe wechseln");
        QTest::keyClick(spin, Qt::Key_Down);
        QCOMPARE(f.host.doc.MainForm()->currentGroupName, std::string("Gruppe1"));
        QTest::keyClick(spin, Qt::Key_Down);
        QCOMPARE(f.host.doc.MainForm()->currentGroupName, std::string("Gruppe1"));
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(f.groupName()->text(), QStringLiteral("Gruppe2"));

        // No question, and not marked modified.
        f.button("Gruppe löschen")->click();
        f.button("Gruppe löschen")->click();
        QCOMPARE(f.host.ui.questionCount(), std::size_t(0));
        QVERIFY(!f.host.doc.IsModified());
        QVERIFY(f.groupName()->text().isEmpty());
        for (int k = 1; k <= 10; ++k) QCOMPARE(f.slot(k)->currentText(), QStringLiteral("------"));
        f.newGroup();
        QCOMPARE(f.host.doc.MainForm()->currentGroupName, std::string("Gruppe1"));
    }

    void slotValuesAreCheckedAndWrittenWhenCommitted() {
        Form f;
        f.newGroup();
        CCGroup& group = *DesignAccess::CurrentGroup(f.host.doc);
        const int n = group.CapacitorCount();
        QVERIFY(n >= 2);
        CCapa& c2 = group.Capacitor(n - 1);
        const double before = c2.capacitance;
        f.host.labels.clear();

        QComboBox* combo = f.slot(2);
        // A refused value, committed with Enter: the message, the focus back on
        // the slot with the text selected, nothing written.
        Retype(combo, QStringLiteral("0"));
        QVERIFY(f.host.ui.messages().empty());
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(LastMessage(f.host), QStringLiteral("Fehler: Kapazitätswert muß größer als Null sein !!!"));
        QVERIFY(QApplication::focusWidget() == combo || QApplication::focusWidget() == combo->lineEdit());
        QCOMPARE(combo->lineEdit()->selectedText(), QStringLiteral("0"));
        QCOMPARE(c2.capacitance, before);
        QVERIFY(f.host.labels.isEmpty());

        // Typed key by key, "0.47uF" passes through "0" and "0." without a word
        // and is written once, as one step, when committed.
        f.host.ui.clear();
        f.host.doc.SetModifiedFlag(false);
        Retype(combo, QStringLiteral("0.47uF"));
        QVERIFY(f.host.ui.messages().empty());
        QCOMPARE(c2.capacitance, before);
        QTest::keyClick(combo, Qt::Key_Return);
        QVERIFY(f.host.ui.messages().empty());
        QCOMPARE(combo->currentText(), QStringLiteral("0.47uF"));
        QCOMPARE(c2.capacitance, 0.47e-6);
        QVERIFY(f.host.doc.IsModified());
        QCOMPARE(f.host.labels, QStringList{QStringLiteral("Kapazitätswerte")});
        // Leaving the field commits as well.
        Retype(combo, QStringLiteral(".22uF"));
        f.field("X:")->setFocus();
        QCOMPARE(c2.capacitance, 0.22e-6);
        QCOMPARE(f.host.labels.size(), 2);

        // A chosen list entry is written as well; ">>>" then turns the path green.
        combo->setCurrentIndex(0);
        emit combo->textActivated(combo->currentText());
        QCOMPARE(c2.capacitance, 22e-6);
        f.button(">>>")->click();
        QCOMPARE(f.host.doc.MainForm()->transferState, 2);
        // An empty slot is not checked.
        f.host.ui.clear();
        if (n < 10) Retype(f.slot(n + 1), QStringLiteral("0"));
        QVERIFY(f.host.ui.messages().empty());
    }

    void filterFieldsAreCheckedWhenLeft_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        // The checks are tested in the core; here when they run and where the focus goes.
        // clang-format off
        QTest::newRow("Fu above Fo")
            << "Untere Grenzfrequenz:" << "2.5GHz" << "Fehler: Fo muß größer als Fu sein!" << "Obere Grenzfrequenz:";
        QTest::newRow("A 120.5dB") << "Dämpfung:" << "120.5dB" << "Fehler: 0dB < A <= 120dB" << "Dämpfung:";
        QTest::newRow("Imax 100A") << "Maximaler Gleichstrom:" << "100A" << "" << "";
        // clang-format on
    }

    void filterFieldsAreCheckedWhenLeft() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Form f;
        const CFilter before = f.host.doc.filter();
        QLineEdit* edited = f.field(field.toUtf8());
        Retype(edited, text);
        QVERIFY(f.host.ui.messages().empty());  // typing alone is no leaving
        f.button("Analyse !")->setFocus();
        QCOMPARE(LastMessage(f.host), message);
        if (!message.isEmpty()) {
            QCOMPARE(QApplication::focusWidget(), f.field(focus.toUtf8()));
            QCOMPARE(f.host.doc.filter().fLower, before.fLower);
            QCOMPARE(f.host.doc.filter().maxSupplyCurrent, before.maxSupplyCurrent);
            QVERIFY(!f.host.doc.IsModified());
        } else {
            QCOMPARE(f.host.doc.filter().maxSupplyCurrent, 100.0);
            QVERIFY(f.host.doc.IsModified());
        }
    }

    void attenuationSpinKeepsToItsRange_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<double>("to");
        QTest::newRow("1 dB down") << 1.0 << int(Qt::Key_Down) << 1.0;
        QTest::newRow("1 dB up") << 1.0 << int(Qt::Key_Up) << 2.0;
        QTest::newRow("120 dB up") << 120.0 << int(Qt::Key_Up) << 120.0;
        QTest::newRow("120 dB down") << 120.0 << int(Qt::Key_Down) << 119.0;
    }

    void attenuationSpinKeepsToItsRange() {
        QFETCH(double, from);
        QFETCH(int, key);
        QFETCH(double, to);
        Form f;
        f.host.doc.setMinAttenuation(from);
        f.host.doc.SetModifiedFlag(false);
        auto* spin = Named<ui::StepSpin>(f.view, "Dämpfung:");
        QTest::keyClick(spin, Qt::Key(key));
        QCOMPARE(spin->lastStepAccepted(), from != to);
        QCOMPARE(f.host.doc.filter().minAttenuation, to);
        QCOMPARE(f.field("Dämpfung:")->text(), QString::fromStdString(FormatValue(to, "dB")));
        QVERIFY(f.host.ui.messages().empty());
        // A step is a change of the design that asks to be saved.
        QCOMPARE(f.host.doc.IsModified(), from != to);
    }

    void chokeSearchListsSortedCandidatesAndShowsTheChosenOne() {
        Form f;
        QPushButton* search = f.button("vv Drossel suchen... vv");
        // The schematic's "Drossel" opens the data sheet; without one it says so.
        QPushButton* sheet = f.button("Drossel");
        sheet->click();
        QCOMPARE(f.host.statusMessages, QStringList{QStringLiteral("Es ist keine Drossel gewählt.")});
        search->click();
        QCOMPARE(LastMessage(f.host), QStringLiteral("Bitte zuerst Daten in die Filterberechnung transferieren!"));

        f.newGroup();
        f.button(">>>")->click();
        search->click();
        const CFilter& filter = f.host.doc.filter();
        auto* list = Named<QComboBox>(f.view, "Drossel");
        QVERIFY(!filter.candidates.empty());
        QCOMPARE(list->count(), int(filter.candidates.size()));  // sorted as the core's list
        QCOMPARE(f.host.ui.maxBusyDepth(), 1);

        // Choosing another entry chooses its candidate and shows its data.
        list->setFocus();
        QTest::keyClick(list, list->currentIndex() + 1 < list->count() ? Qt::Key_Down : Qt::Key_Up);
        const CSParaSet& chosen = *filter.candidates[std::size_t(filter.selected)];
        QCOMPARE(list->currentText().toStdString(), ChokeLabel(chosen));
        QCOMPARE(f.field("Hersteller:")->text().toStdString(), chosen.maker);
        QCOMPARE(f.field("Bauform:")->text().toStdString(), chosen.dimensions);
        QVERIFY(!f.field("Bauart:")->text().isEmpty());
        QVERIFY(chosen.datasheet.empty());  // the sample chokes come without one
        sheet->click();
        QCOMPARE(f.host.statusMessages.last(),
                 QStringLiteral("Die Drossel %1 hat kein Datenblatt.").arg(QString::fromStdString(chosen.name)));
    }

    void everyControlIsNamedAndAnswersF1WithItsSection() {
        Form f;
        for (QWidget* w : f.view.findChildren<QWidget*>())
            if (w->parentWidget() == &f.view && !qobject_cast<QLabel*>(w) && w->isVisible())
                QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
        const std::vector<std::pair<QWidget*, QString>> sections{
            {f.slot(3), "hauptformular.html#c-werte"},
            {f.button(">> + >>"), "hauptformular.html#neue-gruppe"},
            {f.field("Obere Grenzfrequenz:"), "hauptformular.html#fo"},
            {f.field("Dämpfung:"), "hauptformular.html#daempfung"},
            {Named<QComboBox>(f.view, "Drossel"), "hauptformular.html#drosselliste"},
            {f.button("Analyse !"), "hauptformular.html#analyse"},
            {f.field("Y:"), "hauptformular.html#position"},
            {f.edit(3), "bearbeiten.html"}};
        for (const auto& [widget, section] : sections) {
            widget->setFocus();
            QTest::keyClick(widget, Qt::Key_F1);
            QCOMPARE(f.host.helpSections.last(), section);
        }
        QCOMPARE(f.host.helpSections.size(), qsizetype(sections.size()));
        f.button("Analyse !")->click();
        QCOMPARE(f.host.labels.last(), QStringLiteral("Analyse !"));
    }

    void twoFormsShareTheAttenuationAndTheExactFo() {
        // Two main forms of one design: the attenuation stepped in the first
        // is what the second shows and writes back; a Fo the second shows
        // rounded stays exact when the person edits another field.
        Form f;
        ui::CVtrView second{f.host};
        second.show();
        auto* spin = Named<ui::StepSpin>(f.view, "Dämpfung:");
        QTest::keyClick(spin, Qt::Key_Up);
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(f.host.doc.filter().minAttenuation, 37.0);
        QCOMPARE(Named<QLineEdit>(second, QStringLiteral("Dämpfung:"))->text(), QStringLiteral("37dB"));

        DesignAccess::Filter(f.host.doc).fUpper = 2.99e9;  // shown "3GHz", at the limit
        f.host.doc.UpdateAllViews(ChangeHint::Filter);
        QLineEdit* fu = Named<QLineEdit>(second, QStringLiteral("Untere Grenzfrequenz:"));
        second.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        Retype(fu, QStringLiteral("20MHz"));
        Named<QLineEdit>(second, QStringLiteral("Maximaler Gleichstrom:"))->setFocus();
        QVERIFY2(f.host.ui.messages().empty(), f.host.ui.messages().empty() ? "" : f.host.ui.messages().back().c_str());
        QCOMPARE(f.host.doc.filter().fLower, 20e6);
        QCOMPARE(f.host.doc.filter().fUpper, 2.99e9);
        QCOMPARE(f.host.doc.filter().minAttenuation, 37.0);
    }

    void twoFormsShowAndChangeTheSameGroupAndSeries() {
        // "Neues Fenster": the second form shows and edits the group the first
        // made, and the series either one chose.
        Form f;
        ui::CVtrView second{f.host};
        second.show();
        auto slotOf = [](const ui::CVtrView& form, int k) {
            return Named<QComboBox>(form, QStringLiteral("C%1").arg(k));
        };
        auto nameOf = [](const ui::CVtrView& form) { return GroupNameOf(form)->text(); };

        f.newGroup();
        QCOMPARE(nameOf(second), QStringLiteral("Gruppe1"));
        for (int k = 1; k <= 10; ++k) QCOMPARE(slotOf(second, k)->currentText(), f.slot(k)->currentText());
        QVERIFY(slotOf(second, 1)->currentText() != QStringLiteral("------"));
        QCOMPARE(Named<QLineEdit>(second, "X:")->text(), f.field("X:")->text());

        // X typed into the second form moves the group.
        second.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        Retype(Named<QLineEdit>(second, "X:"), QStringLiteral("20mm"));
        Named<QPushButton>(second, "Analyse !")->setFocus();
        QCOMPARE(f.host.doc.currentGroup()->posX, 0.02);
        QCOMPARE(f.field("X:")->text(), QString::fromStdString(FormatValue(0.02, "m")));

        // E12 chosen in one form is the series of the other.
        const int e6 = f.slot(1)->count();
        Named<QRadioButton>(second, "E12")->click();
        QVERIFY(Named<QRadioButton>(f.view, "E12")->isChecked());
        QVERIFY(f.slot(1)->count() > e6);
        Named<QRadioButton>(f.view, "E6")->click();
        QVERIFY(Named<QRadioButton>(second, "E6")->isChecked());
        QCOMPARE(slotOf(second, 1)->count(), e6);

        // "Gruppe löschen" in the second form deletes it for both.
        Named<QPushButton>(second, "Gruppe löschen")->click();
        QCOMPARE(f.host.doc.plane()->GroupCount(), 0);
        for (const ui::CVtrView* form : {&f.view, &second}) {
            QVERIFY(nameOf(*form).isEmpty());
            for (int k = 1; k <= 10; ++k) QCOMPARE(slotOf(*form, k)->currentText(), QStringLiteral("------"));
        }
    }
};

QTEST_MAIN(CVtrViewTest)
#include "CVtrViewTest.moc"
