#include "SingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>

namespace vantor::app {

namespace {
// Long enough for a busy program to look up from its event loop.
constexpr int kWaitMs = 3000;
// The running program answers with this after opening the files.
constexpr char kTaken = '\n';
}  // namespace

QString DefaultInstanceName() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) return runtime + QStringLiteral("/vantor.socket");
    return QDir::tempPath() + QStringLiteral("/vantor-%1.socket").arg(::getuid());
}

bool HandToRunning(const QString& name, const QStringList& files) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kWaitMs)) return false;
    // Each path ends with a zero byte; an empty one ends the message.
    QByteArray message;
    for (const QString& f : files) message += QFileInfo(f).absoluteFilePath().toUtf8() + '\0';
    message += '\0';
    socket.write(message);
    if (!socket.waitForBytesWritten(kWaitMs) || !socket.waitForReadyRead(kWaitMs)) return false;
    return socket.read(1) == QByteArray(1, kTaken);
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

bool InstanceServer::listen(const QString& name) {
    // With access options Qt puts its socket over any file of that name, so
    // a program that still answers is asked first; a socket nobody answers
    // on (its program crashed) is replaced.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kWaitMs)) return false;
    QLocalServer::removeServer(name);
    return server_.listen(name);
}

void InstanceServer::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (!(buffer->endsWith(QByteArray(2, '\0')) || *buffer == QByteArray(1, '\0'))) return;
            QStringList files;
            for (const QByteArray& f : buffer->split('\0'))
                if (!f.isEmpty()) files << QString::fromUtf8(f);
            buffer->clear();
            // Taken before opening: a file that cannot be read gets its
            // message here, not a second program.
            socket->write(QByteArray(1, kTaken));
            socket->flush();
            if (!files.isEmpty()) emit filesReceived(files);
        });
    }
}

}  // namespace vantor::app
