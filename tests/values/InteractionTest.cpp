#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ConsoleInteraction.h"
#include "RecordingInteraction.h"

using namespace vantor;

namespace {

std::string ReadAll(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string out;
    char buf[256];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    return out;
}

}  // namespace

TEST(ConsoleInteraction, AnswersByPolicyAndFallsBackToTheSafeAnswer) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ConsoleInteraction ui(out);
    ui.setTerminal(false);
    EXPECT_EQ(ui.ask("Optimierung fortsetzen?\n", Buttons::RetryCancel), Answer::Cancel);
    ui.setAnswer(Buttons::RetryCancel, Answer::Retry);
    EXPECT_EQ(ui.ask("Optimierung fortsetzen?\n", Buttons::RetryCancel), Answer::Retry);
    // A policy answer that the buttons do not offer is not taken.
    ui.setAnswer(Buttons::YesNo, Answer::Retry);
    EXPECT_EQ(ui.ask("Übernehmen?", Buttons::YesNo), Answer::No);
    ui.message("Keine Lösung!", MessageKind::Warning);
    const std::string text = ReadAll(out);
    EXPECT_NE(text.find("Optimierung fortsetzen? [Wiederholen/Abbrechen] -> Abbrechen"), std::string::npos) << text;
    EXPECT_NE(text.find("-> Wiederholen"), std::string::npos);
    EXPECT_NE(text.find("\nKeine Lösung!\n"), std::string::npos);
    ASSERT_EQ(ui.shownMessages().size(), 1u);
    std::fclose(out);
}

// In a log, a sweep of 101 frequencies is one stage: its title, its first
// step and a summary; every new range of the upper bar starts a new stage.
TEST(ConsoleInteraction, PlainProgressIsOneLinePerStageAndASummary) {
    struct Case {
        std::vector<int> stageLengths;
        std::string expected;
    };
    const Case cases[] = {
        {{101}, "FEM-Solver busy...\nf0\nFEM-Solver busy... 100% f100\n"},
        {{2, 3}, "FEM-Solver busy...\nf0\nf2\nFEM-Solver busy... 100% f4\n"},
        {{}, "FEM-Solver busy...\n"},
    };
    for (const Case& c : cases) {
        std::FILE* out = std::tmpfile();
        ASSERT_NE(out, nullptr);
        ConsoleInteraction ui(out);
        ui.setTerminal(false);
        ui.progressBegin("FEM-Solver busy...");
        int step = 0;
        for (int length : c.stageLengths) {
            ui.progressRange(ProgressBar::Upper, length);
            ui.progressRange(ProgressBar::Lower, 10);
            for (int i = 0; i < length; ++i) {
                ui.progressValue(ProgressBar::Lower, 1);
                ui.progressText("f" + std::to_string(step++));
                ui.progressValue(ProgressBar::Lower, 9);
                ui.progressValue(ProgressBar::Upper, i + 1);
            }
        }
        ui.progressEnd();
        EXPECT_EQ(ReadAll(out), c.expected);
        std::fclose(out);
    }
}

TEST(ConsoleInteraction, TerminalProgressRedrawsOneLine) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ConsoleInteraction ui(out);
    ui.setTerminal(true);
    ui.progressBegin("Laden");
    ui.progressRange(ProgressBar::Upper, 4);
    ui.progressValue(ProgressBar::Upper, 2);
    ui.message("Hinweis", MessageKind::Information);
    ui.progressEnd();
    const std::string text = ReadAll(out);
    EXPECT_NE(text.find("Laden [###############...............]  50%"), std::string::npos) << text;
    // A message clears the progress line before it is printed on its own line.
    EXPECT_NE(text.find("\r\033[KHinweis\n"), std::string::npos);
    EXPECT_EQ(text.find('\n'), text.find("Hinweis\n") + 7);
    std::fclose(out);
}
