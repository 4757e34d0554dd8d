#include "RecordingInteraction.h"

#include <algorithm>

namespace vantor {

void RecordingInteraction::message(const std::string& text, MessageKind kind) {
    events_.push_back({.kind = Kind::Message, .text = text, .messageKind = kind});
}

Answer RecordingInteraction::ask(const std::string& text, Buttons buttons) {
    Answer a = SafeAnswer(buttons);
    if (!answers_.empty()) a = answers_.front(), answers_.pop_front();
    events_.push_back({.kind = Kind::Question, .text = text, .buttons = buttons, .answer = a});
    return a;
}

void RecordingInteraction::begin(const std::string& title) { events_.push_back({Kind::ProgressBegin, title}); }

void RecordingInteraction::range(ProgressBar bar, int maximum) {
    events_.push_back({.kind = Kind::ProgressRange, .bar = bar, .value = maximum});
}

void RecordingInteraction::value(ProgressBar bar, int value) {
    events_.push_back({.kind = Kind::ProgressValue, .bar = bar, .value = value});
}

void RecordingInteraction::text(const std::string& text) { events_.push_back({Kind::ProgressText, text}); }

void RecordingInteraction::end() { events_.push_back({Kind::ProgressEnd, {}}); }

bool RecordingInteraction::cancelRequested() { return ++polls_, cancelAfter_ >= 0 && polls_ > cancelAfter_; }

void RecordingInteraction::busyBegin() { maxBusyDepth_ = std::max(maxBusyDepth_, ++busyDepth_); }

void RecordingInteraction::busyEnd() { --busyDepth_; }

std::vector<std::string> RecordingInteraction::messages() const {
    std::vector<std::string> out;
    for (const Event& e : events_)
        if (e.kind == Kind::Message) out.push_back(e.text);
    return out;
}

std::size_t RecordingInteraction::messageCount(const std::string& text) const {
    return std::ranges::count_if(events_, [&](const Event& e) { return e.kind == Kind::Message && e.text == text; });
}

std::size_t RecordingInteraction::questionCount() const {
    return std::ranges::count_if(events_, [](const Event& e) { return e.kind == Kind::Question; });
}

}  // namespace vantor
