#pragma once
// How the core talks to a person: messages, questions, progress and the
// wait cursor. The core never shows anything itself; it is handed an
// Interaction (console for the command-line tool, recording for tests, a Qt
// one in the desktop application).
//
// Thread rule: an Interaction is called only from the thread that owns the
// document, messages and questions above all. Work on another thread (a
// solve job) reports progress through its own thread-safe reporter and hands
// its messages back as data; the owning thread passes them on.

#include <string>

#include "Progress.h"

namespace vantor {

enum class MessageKind { Information, Warning, Error };

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

enum class Answer { Ok, Cancel, Yes, No, Retry };

class Interaction {
public:
    virtual ~Interaction() = default;

    /// A modal message with an OK button; the text is the program's own.
    virtual void message(const std::string& text, MessageKind kind = MessageKind::Information) = 0;

    /// A modal question; returns the button the person chose.
    virtual Answer ask(const std::string& text, Buttons buttons) = 0;

    /// Where the core's jobs report their progress and ask whether to stop;
    /// by default a reporter that shows nothing and never stops.
    virtual ProgressReporter& progress();

    /// Wait cursor on/off. Use BusyScope rather than calling these directly.
    virtual void busyBegin() {}
    virtual void busyEnd() {}
};

/// Shows the wait cursor for the lifetime of the scope.
class BusyScope {
public:
    explicit BusyScope(Interaction& ui) : ui_(ui) { ui_.busyBegin(); }
    ~BusyScope() { ui_.busyEnd(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    Interaction& ui_;
};

/// Something that shows the model and redraws from it when asked: the
/// document, which the optimiser tells after each value change of its
/// correction pass so that the person sees the values move.
class ViewRefresher {
public:
    virtual ~ViewRefresher() = default;
    /// The views redraw what changed from the current state.
    virtual void refreshAllViews() = 0;
};

/// Default answer of a question when nobody can be asked: the safe one.
Answer SafeAnswer(Buttons buttons);

/// "Ja", "Nein", "Wiederholen" ... as the buttons are labelled.
const char* AnswerName(Answer answer);

}  // namespace vantor
