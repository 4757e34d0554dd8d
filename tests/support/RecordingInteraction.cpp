#include "RecordingInteraction.h"

#include <algorithm>

namespace vantor {

void RecordingInteraction::message(const std::string& text, MessageKind kind) {
    Event e{Kind::Message, text};
    e.messageKind = kind;
    events_.push_back(e);
}

Answer RecordingInteraction::ask(const std::string& text, Buttons buttons) {
    Answer a = SafeAnswer(buttons);
    if (!answers_.empty()) {
        a = answers_.front();
        answers_.pop_front();
    }
    Event e{Kind::Question, text};
    e.buttons = buttons;
    e.answer = a;
    events_.push_back(e);
    return a;
}

void RecordingInteraction::begin(const std::string& title) { events_.push_back({Kind::ProgressBegin, title}); }

void RecordingInteraction::range(ProgressBar bar, int maximum) {
    Event e{Kind::ProgressRange, {}};
    e.bar = bar;
    e.value = maximum;
    events_.push_back(e);
}

void RecordingInteraction::value(ProgressBar bar, int value) {
    Event e{Kind::ProgressValue, {}};
    e.bar = bar;
    e.value = value;
    events_.push_back(e);
}

void RecordingInteraction::text(const std::string& text) { events_.push_back({Kind::ProgressText, text}); }

void RecordingInteraction::end() { events_.push_back({Kind::ProgressEnd, {}}); }

bool RecordingInteraction::cancelRequested() {
    ++polls_;
    return cancelAfter_ >= 0 && polls_ > cancelAfter_;
}

void RecordingInteraction::busyBegin() {
    ++busyDepth_;
    maxBusyDepth_ = std::max(maxBusyDepth_, busyDepth_);
}

void RecordingInteraction::busyEnd() { --busyDepth_; }

std::vector<std::string> RecordingInteraction::messages() const {
    std::vector<std::string> out;
    for (const Event& e : events_)
        if (e.kind == Kind::Message) out.push_back(e.text);
    return out;
}

std::size_t RecordingInteraction::messageCount(const std::string& text) const {
    return static_cast<std::size_t>(std::count_if(events_.begin(), events_.end(), [&](const Event& e) {
        return e.kind == Kind::Message && e.text == text;
    }));
}

std::size_t RecordingInteraction::questionCount() const {
    return static_cast<std::size_t>(
        std::count_if(events_.begin(), events_.end(), [](const Event& e) { return e.kind == Kind::Question; }));
}

}  // namespace vantor
