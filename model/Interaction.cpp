#include "Interaction.h"

namespace vantor {

ProgressReporter& Interaction::progress() {
    // Holds no state, so one serves every caller on every thread.
    static ProgressReporter silent;
    return silent;
}

Answer SafeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::YesNo: return Answer::No;
        case Buttons::OkCancel:
        case Buttons::YesNoCancel:
        case Buttons::RetryCancel: return Answer::Cancel;
    }
    return Answer::Cancel;
}

const char* AnswerName(Answer answer) {
    switch (answer) {
        case Answer::Ok: return "OK";
        case Answer::Cancel: return "Abbrechen";
        case Answer::Yes: return "Ja";
        case Answer::No: return "Nein";
        case Answer::Retry: return "Wiederholen";
    }
    return "";
}

}  // namespace vantor
