#include "ErrorBox.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include <QEvent>
#include <QMetaEnum>
#include <QObject>

namespace vantor::app {

QString CurrentExceptionType() {
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type == nullptr) return QStringLiteral("unknown");
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type->name(), nullptr, nullptr, &status),
                                                      std::free);
    return QString::fromLatin1(status == 0 && name != nullptr ? name.get() : type->name());
}

QString ErrorBoxText(const QString& type, const QObject* receiver, const QEvent* event, bool retry) {
    QString object = QStringLiteral("-");
    if (receiver != nullptr) {
        object = QString::fromLatin1(receiver->metaObject()->className());
        if (!receiver->objectName().isEmpty()) object += QStringLiteral(" \"%1\"").arg(receiver->objectName());
    }
    QString what = QStringLiteral("-");
    if (event != nullptr) {
        const char* key = QMetaEnum::fromType<QEvent::Type>().valueToKey(event->type());
        what =
            QStringLiteral("%1 (%2)").arg(QString::fromLatin1(key != nullptr ? key : "User")).arg(int(event->type()));
    }
    return QStringLiteral("An unhandled error occurred in your program.\n\n") + QStringLiteral("type\t%1\n").arg(type) +
           QStringLiteral("object\t%1\nevent\t%2").arg(object, what) +
           QStringLiteral("\n\nSelect:\nAbort \tto terminate the program;") +
           (retry ? QStringLiteral("\nRetry \tto deliver the event once more; or\n") : QStringLiteral(" or\n")) +
           QStringLiteral("Ignore \tto do nothing.\n\n") +
           QStringLiteral("After this dialog, you'll have a chance to save modified documents.");
}

}  // namespace vantor::app
