#pragma once
// Interaction for tests and benchmarks: records everything the core says,
// progress included, and answers its questions from a script.

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "Interaction.h"

namespace vantor {

class RecordingInteraction : public Interaction, public ProgressReporter {
public:
    enum class Kind { Message, Question, ProgressBegin, ProgressRange, ProgressValue, ProgressText, ProgressEnd };

    struct Event {
        Kind kind;
        std::string text = {};
        MessageKind messageKind = MessageKind::Information;
        Buttons buttons = Buttons::Ok;
        Answer answer = Answer::Ok;
        ProgressBar bar = ProgressBar::Upper;
        int value = 0;
    };

    /// Queues the answer to the next question; an empty script gives the
    /// safe answer.
    void script(Answer answer) { answers_.push_back(answer); }
    /// Asks for cancellation after the given number of cancel polls.
    void cancelAfterPolls(int polls) { cancelAfter_ = polls; }

    void message(const std::string& text, MessageKind kind) override;
    Answer ask(const std::string& text, Buttons buttons) override;
    ProgressReporter& progress() override { return *this; }
    void begin(const std::string& title) override;
    void range(ProgressBar bar, int maximum) override;
    void value(ProgressBar bar, int value) override;
    void text(const std::string& text) override;
    void end() override;
    /// Counts the polls; true once cancelAfterPolls() polls have passed.
    bool cancelRequested() override;
    void busyBegin() override;
    void busyEnd() override;

    const std::vector<Event>& events() const { return events_; }
    /// All message texts in order.
    std::vector<std::string> messages() const;
    /// How often exactly this message text was shown.
    std::size_t messageCount(const std::string& text) const;
    std::size_t questionCount() const;
    int busyDepth() const { return busyDepth_; }
    int maxBusyDepth() const { return maxBusyDepth_; }
    void clear() { events_.clear(); }

private:
    std::vector<Event> events_;
    std::deque<Answer> answers_;
    int busyDepth_ = 0;
    int maxBusyDepth_ = 0;
    int cancelAfter_ = -1;
    int polls_ = 0;
};

}  // namespace vantor
