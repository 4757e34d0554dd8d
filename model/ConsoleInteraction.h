#pragma once
// Interaction for the command-line tool: messages go to stderr, questions are
// answered by a policy given on the command line (never by waiting for a
// person), progress is one redrawn line on a terminal; otherwise, for logs,
// one plain line per stage and a summary line at the end.

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "Interaction.h"

namespace vantor {

class ConsoleInteraction : public Interaction, private ProgressReporter {
public:
    /// out: where messages and progress go (stderr by default).
    explicit ConsoleInteraction(std::FILE* out = stderr);

    /// The answer given to every question with these buttons; questions
    /// without a policy get the safe answer (No, Cancel).
    void setAnswer(Buttons buttons, Answer answer) { policy_[buttons] = answer; }

    void message(const std::string& text, MessageKind kind) override;
    Answer ask(const std::string& text, Buttons buttons) override;
    /// The progress line (or the plain lines) on out.
    ProgressReporter& progress() override { return *this; }

    /// Every message text shown so far, in order (for machine-readable output).
    const std::vector<std::string>& shownMessages() const { return shown_; }

    /// Forces the terminal or the plain-line form of progress (tests).
    void setTerminal(bool terminal) { terminal_ = terminal; }

private:
    void begin(const std::string& title) override;
    void range(ProgressBar bar, int maximum) override;
    void value(ProgressBar bar, int value) override;
    void text(const std::string& text) override;
    void end() override;

    void clearLine();
    void drawLine();
    void printPlain(const std::string& line);
    /// Title, percentage of the upper bar and the last text.
    std::string summary() const;

    std::FILE* out_;
    bool terminal_;
    std::map<Buttons, Answer> policy_;
    std::vector<std::string> shown_;
    std::string title_;
    std::string text_;
    int upperMax_ = 0, upperValue_ = 0, lowerMax_ = 0, lowerValue_ = 0;
    bool lineShown_ = false;
    bool inProgress_ = false;
    // Plain form: a stage starts with the title and with every new range of
    // the upper bar; its first text is printed, the others are its steps.
    bool stageStarted_ = false;
    std::string lastPlain_;
};

}  // namespace vantor
