#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ConsoleInteraction.h"

using namespace vantor;

namespace {

// What the console prints for the actions done on it.
std::string Printed(bool terminal, const std::function<void(ConsoleInteraction&)>& act) {
    std::FILE* f = std::tmpfile();
    if (f == nullptr) return "no temporary file";
    ConsoleInteraction ui(f);
    ui.setTerminal(terminal);
    act(ui);
    std::fflush(f);
    std::rewind(f);
    std::string out;
    char buf[256];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    std::fclose(f);
    return out;
}

}  // namespace

TEST(ConsoleInteraction, AnswersByPolicyAndFallsBackToTheSafeAnswer) {
    const std::string text = Printed(false, [](ConsoleInteraction& ui) {
        EXPECT_EQ(ui.ask("Optimierung fortsetzen?\n", Buttons::RetryCancel), Answer::Cancel);
        ui.setAnswer(Buttons::RetryCancel, Answer::Retry);
        EXPECT_EQ(ui.ask("Optimierung fortsetzen?\n", Buttons::RetryCancel), Answer::Retry);
        ui.setAnswer(Buttons::YesNo, Answer::Retry);  // not offered by these buttons: not taken
        EXPECT_EQ(ui.ask("Übernehmen?", Buttons::YesNo), Answer::No);
        ui.message("Keine Lösung!", MessageKind::Warning);
        EXPECT_EQ(ui.shownMessages().size(), 1u);
    });
    EXPECT_NE(text.find("Optimierung fortsetzen? [Wiederholen/Abbrechen] -> Abbrechen"), std::string::npos) << text;
    EXPECT_NE(text.find("-> Wiederholen"), std::string::npos);
    EXPECT_NE(text.find("\nKeine Lösung!\n"), std::string::npos);
}

// In a log, a sweep of 101 frequencies is one stage: its title, its first
// step and a summary; every new range of the upper bar starts a new stage.
TEST(ConsoleInteraction, PlainProgressIsOneLinePerStageAndASummary) {
    const std::pair<std::vector<int>, std::string> cases[] = {
        {{101}, "FEM-Solver busy...\nf0\nFEM-Solver busy... 100% f100\n"},
        {{2, 3}, "FEM-Solver busy...\nf0\nf2\nFEM-Solver busy... 100% f4\n"},
        {{}, "FEM-Solver busy...\n"},
    };
    for (const auto& [stageLengths, expected] : cases) {
        const std::string printed = Printed(false, [&](ConsoleInteraction& ui) {
            ProgressReporter& p = ui.progress();
            p.begin("FEM-Solver busy...");
            int step = 0;
            for (int length : stageLengths) {
                p.range(ProgressBar::Upper, length), p.range(ProgressBar::Lower, 10);
                for (int i = 0; i < length; ++i) {
                    p.value(ProgressBar::Lower, 1), p.text("f" + std::to_string(step++));
                    p.value(ProgressBar::Lower, 9), p.value(ProgressBar::Upper, i + 1);
                }
            }
            p.end();
        });
        EXPECT_EQ(printed, expected);
    }
}

TEST(ConsoleInteraction, TerminalProgressRedrawsOneLine) {
    const std::string text = Printed(true, [](ConsoleInteraction& ui) {
        ui.progress().begin("Laden"), ui.progress().range(ProgressBar::Upper, 4);
        ui.progress().value(ProgressBar::Upper, 2);
        ui.message("Hinweis", MessageKind::Information);
        ui.progress().end();
    });
    EXPECT_NE(text.find("Laden [###############...............]  50%"), std::string::npos) << text;
    // A message clears the progress line before it is printed on its own line.
    EXPECT_NE(text.find("\r\033[KHinweis\n"), std::string::npos);
    EXPECT_EQ(text.find('\n'), text.find("Hinweis\n") + 7);
}
