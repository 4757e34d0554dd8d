#pragma once
// The core's Interaction on Qt widgets: message boxes with German buttons,
// the wait cursor, and progress handed to whatever progress window is
// attached (the solver's).

#include <QPointer>
#include <QString>
#include <QWidget>

#include "Interaction.h"

namespace vantor::ui {

/// The caption of the program's message boxes.
inline constexpr const char* kMessageCaption = "Vantor für Windows";

class QtInteraction : public Interaction {
public:
    /// Message boxes are owned by parent (the main window), when given.
    explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}

    void message(const std::string& text, MessageKind kind = MessageKind::Information) override;
    Answer ask(const std::string& text, Buttons buttons) override;

    /// The attached progress window; without one, progress is dropped,
    /// nobody cancels, and the wait cursor is what shows.
    ProgressReporter& progress() override;

    void busyBegin() override;
    void busyEnd() override;

    /// Progress goes to window until it is detached (null).
    void attachProgress(ProgressReporter* window) { progressWindow_ = window; }
    QWidget* parent() const { return parent_; }

private:
    QPointer<QWidget> parent_;
    ProgressReporter* progressWindow_ = nullptr;
};

/// A modal question with German buttons, for the windows' own questions.
Answer AskQuestion(QWidget* parent, const QString& text, Buttons buttons, const QString& caption = kMessageCaption);

}  // namespace vantor::ui
