#pragma once
// A design behind a host that runs each command at once, records what the
// windows asked of it and opens no window: the base of the windows' tests.

#include <functional>
#include <memory>

#include <QList>
#include <QStringList>

#include "CVtrDoc.h"
#include "FormHost.h"
#include "RecordingInteraction.h"

namespace vantor::test {

class QuietFormHost : public ui::FormHost {
public:
    /// A new design over db. With formRecord a stand-in for the main form is
    /// attached first (the tests of the other windows need its record).
    explicit QuietFormHost(CSParameterDB& db, bool formRecord = true) : doc(db, ui) {
        RegisterModelClasses();
        if (formRecord) doc.AddView(form);
        doc.OnNewDocument();
    }
    /// The same over an empty component database.
    explicit QuietFormHost(bool formRecord = true) : QuietFormHost(EmptyDatabase(), formRecord) {}
    ~QuietFormHost() override { doc.RemoveView(form); }

    CVtrDoc& document() override { return doc; }
    Interaction& interaction() override { return ui; }
    void runCommand(const QString& label, const std::function<void()>& command) override {
        labels << label;
        command();
    }
    void runAnalysis() override { labels << QStringLiteral("Analyse !"); }
    void runKillMax() override { labels << QStringLiteral("KillMax"); }
    void setGraphWindowOpen(bool open) override { doc.setGraphWindowOpen(open); }
    void setLayerEditorOpen(bool open) override { doc.setLayerEditorOpen(open); }
    void showHelpContents() override {}
    void showHelpSection(const QString& target) override { helpSections << target; }
    void print(ui::Printable&) override {}
    void printPreview(ui::Printable&) override {}
    void printSetup() override {}
    void exitProgram() override {}
    void showStatusMessage(const QString& text) override { statusMessages << text; }

    RecordingInteraction ui;
    CVtrDoc doc;
    RecordView form{doc.MainFormRecord()};
    QStringList labels;  // the commands run, by their undo labels
    QStringList helpSections;
    QStringList statusMessages;

private:
    static CSParameterDB& EmptyDatabase() {
        static CSParameterDB db;
        return db;
    }
};

}  // namespace vantor::test
