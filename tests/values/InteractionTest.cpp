#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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

TEST(ConsoleInteraction, PlainProgressLinesWhenNotATerminal) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    ConsoleInteraction ui(out);
    ui.setTerminal(false);
    ui.progressBegin("FEM-Solver busy...");
    ui.progressRange(ProgressBar::Upper, 3);
    for (int i = 0; i < 3; ++i) {
        ui.progressText("f = " + std::to_string(i));
        ui.progressValue(ProgressBar::Upper, i + 1);
    }
    ui.progressEnd();
    const std::string text = ReadAll(out);
    EXPECT_EQ(text, "FEM-Solver busy...\nf = 0\nf = 1\nf = 2\n");
    std::fclose(out);
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
