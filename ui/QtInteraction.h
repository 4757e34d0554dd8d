#pragma once
// The core's Interaction on Qt widgets: message boxes with German buttons,
// the wait cursor, and progress handed to whatever progress window is
// attached (the solver's, the loading window).

#include <QPointer>
#include <QString>
#include <QWidget>

#include "Interaction.h"

namespace vantor::ui {

/// The caption of the program's message boxes.
inline constexpr const char* kMessageCaption = "Vantor für Windows";

/// Where progress goes while a job runs; the solver's window implements it.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void progressBegin(const QString& title) = 0;
    virtual void progressRange(ProgressBar bar, int maximum) = 0;
    virtual void progressValue(ProgressBar bar, int value) = 0;
    virtual void progressText(const QString& text) = 0;
    virtual void progressEnd() = 0;
    virtual bool cancelRequested() const = 0;
};

class QtInteraction : public Interaction {
public:
    /// Message boxes are owned by parent (the main window), when given.
    explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}

    void message(const std::string& text, MessageKind kind = MessageKind::Information) override;
    Answer ask(const std::string& text, Buttons buttons) override;

    void progressBegin(const std::string& title) override;
    void progressRange(ProgressBar bar, int maximum) override;
    void progressValue(ProgressBar bar, int value) override;
    void progressText(const std::string& text) override;
    void progressEnd() override;
    bool cancelRequested() override;

    void busyBegin() override;
    void busyEnd() override;

    /// Progress goes to sink until it is detached (null); without one,
    /// progress is dropped and the wait cursor shows.
    void setProgressSink(ProgressSink* sink) { sink_ = sink; }
    QWidget* parent() const { return parent_; }

private:
    QPointer<QWidget> parent_;
    ProgressSink* sink_ = nullptr;
};

/// A modal question with German buttons, for the windows' own questions.
Answer AskQuestion(QWidget* parent, const QString& text, Buttons buttons, const QString& caption = kMessageCaption);

}  // namespace vantor::ui
