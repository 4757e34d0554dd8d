#pragma once
// The box for an error that escaped an event handler: what was thrown and
// which event of which object it interrupted, and the choice to end the
// program, deliver the event again or go on.

#include <QString>

class QEvent;
class QObject;

namespace vantor::app {

enum class ErrorChoice { Abort, Retry, Ignore };

/// The type of the exception being handled, demangled ("std::bad_alloc").
QString CurrentExceptionType();
/// The box's text for that type, receiver and event; without the Retry
/// line when the event cannot be delivered again.
QString ErrorBoxText(const QString& type, const QObject* receiver, const QEvent* event, bool retry = true);

}  // namespace vantor::app
