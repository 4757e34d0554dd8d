#pragma once
// A document with the sample database behind a host that runs each
// command at once and records what the form asked of it.

#include <filesystem>

#include <QStringList>

#include "CVtrDoc.h"
#include "FormHost.h"
#include "RecordingInteraction.h"

namespace vantor::test {

inline CSParameterDB& SampleDatabase() {
    static CSParameterDB db;
    static const bool loaded = [] {
        RecordingInteraction ui;
        return db.LoadDatabase(std::filesystem::path(VANTOR_SOURCE_DIR) / "Database", ui) > 0;
    }();
    (void)loaded;
    return db;
}

class TestHost : public ui::FormHost {
public:
    TestHost() : doc(SampleDatabase(), recorder) { doc.OnNewDocument(); }

    CVtrDoc& document() override { return doc; }
    Interaction& interaction() override { return recorder; }
    void runCommand(const QString& label, const std::function<void()>& command) override {
        commands << label;
        command();
    }
    void runAnalysis() override { commands << QStringLiteral("Analyse !"); }
    void runKillMax() override { commands << QStringLiteral("KillMax"); }
    void setGraphWindowOpen(bool open) override { doc.graphWindowOpen = open; }
    void setLayerEditorOpen(bool open) override { doc.layerEditorOpen = open; }
    void showHelp(int topic) override { helpTopics << topic; }
    void print(ui::Printable&) override {}
    void printPreview(ui::Printable&) override {}
    void printSetup() override {}
    void exitProgram() override {}

    RecordingInteraction recorder;
    CVtrDoc doc;
    QStringList commands;
    QList<int> helpTopics;
};

}  // namespace vantor::test
