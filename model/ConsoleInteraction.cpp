#include "ConsoleInteraction.h"

#include <unistd.h>

#include <algorithm>

namespace vantor {

namespace {

bool Allowed(Buttons buttons, Answer a) {
    switch (buttons) {
        case Buttons::Ok: return a == Answer::Ok;
        case Buttons::OkCancel: return a == Answer::Ok || a == Answer::Cancel;
        case Buttons::YesNo: return a == Answer::Yes || a == Answer::No;
        case Buttons::YesNoCancel: return a == Answer::Yes || a == Answer::No || a == Answer::Cancel;
        case Buttons::RetryCancel: return a == Answer::Retry || a == Answer::Cancel;
    }
    return false;
}

const char* ButtonsText(Buttons b) {
    switch (b) {
        case Buttons::Ok: return "[OK]";
        case Buttons::OkCancel: return "[OK/Abbrechen]";
        case Buttons::YesNo: return "[Ja/Nein]";
        case Buttons::YesNoCancel: return "[Ja/Nein/Abbrechen]";
        case Buttons::RetryCancel: return "[Wiederholen/Abbrechen]";
    }
    return "";
}

// Message texts carry their own line breaks, often a trailing one.
std::string WithoutTrailingNewlines(std::string s) {
    while (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
}

// Share of the upper bar, scaled to full; wide arithmetic, since a bar may
// count the bytes of a large file.
int Share(int value, int maximum, int full) {
    if (maximum <= 0) return 0;
    return static_cast<int>(
        std::clamp(static_cast<long long>(value) * full / maximum, 0LL, static_cast<long long>(full)));
}

}  // namespace

ConsoleInteraction::ConsoleInteraction(std::FILE* out) : out_(out), terminal_(isatty(fileno(out)) != 0) {}

void ConsoleInteraction::message(const std::string& text, MessageKind kind) {
    shown_.push_back(text);
    clearLine();
    // The text is the program's own message; it says itself what it is.
    (void)kind;
    std::fprintf(out_, "%s\n", WithoutTrailingNewlines(text).c_str());
    std::fflush(out_);
    drawLine();
}

Answer ConsoleInteraction::ask(const std::string& text, Buttons buttons) {
    Answer a = SafeAnswer(buttons);
    auto it = policy_.find(buttons);
    if (it != policy_.end() && Allowed(buttons, it->second)) a = it->second;
    clearLine();
    std::fprintf(out_, "Frage: %s %s -> %s\n", WithoutTrailingNewlines(text).c_str(), ButtonsText(buttons),
                 AnswerName(a));
    std::fflush(out_);
    drawLine();
    return a;
}

void ConsoleInteraction::begin(const std::string& title) {
    inProgress_ = true;
    title_ = title;
    text_.clear();
    upperMax_ = upperValue_ = lowerMax_ = lowerValue_ = 0;
    stageStarted_ = true;
    if (!terminal_) printPlain(title);
    drawLine();
}

void ConsoleInteraction::range(ProgressBar bar, int maximum) {
    (bar == ProgressBar::Upper ? upperMax_ : lowerMax_) = std::max(0, maximum);
    if (bar == ProgressBar::Upper) stageStarted_ = true;
    drawLine();
}

void ConsoleInteraction::value(ProgressBar bar, int value) {
    (bar == ProgressBar::Upper ? upperValue_ : lowerValue_) = value;
    drawLine();
}

void ConsoleInteraction::text(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    if (!terminal_ && inProgress_ && stageStarted_) {
        printPlain(text);
        stageStarted_ = false;
    }
    drawLine();
}

void ConsoleInteraction::end() {
    clearLine();
    if (!terminal_ && inProgress_) {
        const std::string last = summary();
        if (last != lastPlain_) printPlain(last);
    }
    inProgress_ = false;
}

void ConsoleInteraction::printPlain(const std::string& line) {
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
    lastPlain_ = line;
}

std::string ConsoleInteraction::summary() const {
    std::string line = title_;
    if (upperMax_ > 0) line += " " + std::to_string(Share(upperValue_, upperMax_, 100)) + "%";
    if (!text_.empty()) line += " " + text_;
    return line;
}

void ConsoleInteraction::clearLine() {
    if (!lineShown_) return;
    std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
    lineShown_ = false;
}

void ConsoleInteraction::drawLine() {
    if (!terminal_ || !inProgress_) return;
    constexpr int kWidth = 30;
    const int filled = Share(upperValue_, upperMax_, kWidth);
    const int percent = Share(upperValue_, upperMax_, 100);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(out_, "\r\033[K%s [%s] %3d%%", title_.c_str(), bar.c_str(), percent);
    if (lowerMax_ > 0) std::fprintf(out_, " (%d/%d)", lowerValue_, lowerMax_);
    if (!text_.empty()) std::fprintf(out_, " %s", text_.c_str());
    std::fflush(out_);
    lineShown_ = true;
}

}  // namespace vantor
