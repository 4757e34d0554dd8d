#include "QtInteraction.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ShownText.h"

namespace vantor::ui {

namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning: return QMessageBox::Warning;
        case MessageKind::Error: return QMessageBox::Critical;
        case MessageKind::Information: break;
    }
    return QMessageBox::Information;
}

}  // namespace

Answer AskQuestion(QWidget* parent, const QString& text, Buttons buttons, const QString& caption) {
    const std::unique_ptr<QMessageBox> owned = NewMessageBox(QMessageBox::Question, caption, text, parent);
    QMessageBox& box = *owned;
    // The buttons carry the program's own words whatever translation loaded.
    struct Choice {
        Answer answer;
        const char* label;
        QMessageBox::ButtonRole role;
    };
    std::vector<Choice> choices;
    switch (buttons) {
        case Buttons::Ok: choices = {{Answer::Ok, "OK", QMessageBox::AcceptRole}}; break;
        case Buttons::OkCancel:
            choices = {{Answer::Ok, "OK", QMessageBox::AcceptRole},
                       {Answer::Cancel, "Abbrechen", QMessageBox::RejectRole}};
            break;
        case Buttons::YesNo:
            choices = {{Answer::Yes, "Ja", QMessageBox::YesRole}, {Answer::No, "Nein", QMessageBox::NoRole}};
            break;
        case Buttons::YesNoCancel:
            choices = {{Answer::Yes, "Ja", QMessageBox::YesRole},
                       {Answer::No, "Nein", QMessageBox::NoRole},
                       {Answer::Cancel, "Abbrechen", QMessageBox::RejectRole}};
            break;
        case Buttons::RetryCancel:
            choices = {{Answer::Retry, "Wiederholen", QMessageBox::AcceptRole},
                       {Answer::Cancel, "Abbrechen", QMessageBox::RejectRole}};
            break;
    }
    std::vector<QPushButton*> made;
    for (const Choice& c : choices) made.push_back(box.addButton(QString::fromUtf8(c.label), c.role));
    box.setDefaultButton(made.front());
    if (choices.size() > 1) box.setEscapeButton(made.back());
    box.exec();
    for (std::size_t i = 0; i < made.size(); ++i)
        if (box.clickedButton() == made[i]) return choices[i].answer;
    return SafeAnswer(buttons);
}

void QtInteraction::message(const std::string& text, MessageKind kind) {
    ShowMessage(parent_, IconOf(kind), QString::fromUtf8(kMessageCaption), QString::fromStdString(text));
}

Answer QtInteraction::ask(const std::string& text, Buttons buttons) {
    return AskQuestion(parent_, QString::fromStdString(text), buttons);
}

ProgressReporter& QtInteraction::progress() {
    return progressWindow_ != nullptr ? *progressWindow_ : Interaction::progress();
}

void QtInteraction::busyBegin() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtInteraction::busyEnd() { QApplication::restoreOverrideCursor(); }

}  // namespace vantor::ui
