#pragma once
// Interaction for tests: records everything the core says and answers its
// questions from a script.

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "Interaction.h"

namespace vantor {

class RecordingInteraction : public Interaction {
public:
    enum class Kind { Message, Question, ProgressBegin, ProgressRange, ProgressValue, ProgressText, ProgressEnd };

    struct Event {
        Kind kind;
        std::string text;
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
    void progressBegin(const std::string& title) override;
    void progressRange(ProgressBar bar, int maximum) override;
    void progressValue(ProgressBar bar, int value) override;
    void progressText(const std::string& text) override;
    void progressEnd() override;
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
