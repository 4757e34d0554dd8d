#include "SingleInstance.h"

#include <sys/socket.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>

#include <memory>

#include "LocalFileName.h"

namespace vantor::app {

namespace {
// Long enough for a busy program to look up from its event loop.
constexpr int kWaitMs = 3000;
// The running program answers with this once it has the file names.
constexpr char kTaken = '\n';
// Connections taken in one go before the event loop gets its turn.
constexpr int kMaxAcceptedAtOnce = 256;

bool OpenToOthers(mode_t mode) { return (mode & (S_IWGRP | S_IWOTH)) != 0; }
}  // namespace

QString DefaultInstanceName() {
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty()) return runtime + QStringLiteral("/vantor.socket");
    return QDir::tempPath() + QStringLiteral("/vantor-%1.socket").arg(::getuid());
}

long PeerUser(qintptr descriptor) {
    ucred peer{};
    socklen_t size = sizeof peer;
    if (descriptor < 0 || ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        size != sizeof peer)
        return -1;
    return static_cast<long>(peer.uid);
}

bool SocketFileOf(const QString& name, uid_t user) {
    const QString absolute = render::AbsoluteFileName(name);
    struct stat file {};
    struct stat folder {};
    if (::lstat(render::FileNameBytes(absolute).constData(), &file) != 0 ||
        ::stat(render::FileNameBytes(QFileInfo(absolute).path()).constData(), &folder) != 0)
        return false;
    const bool fileSafe = S_ISSOCK(file.st_mode) && file.st_uid == user && !OpenToOthers(file.st_mode);
    const bool folderSafe = (folder.st_uid == user || folder.st_uid == 0) &&
                            (!OpenToOthers(folder.st_mode) || (folder.st_mode & S_ISVTX) != 0);
    return fileSafe && folderSafe;
}

bool HandToRunning(const QString& name, const QStringList& files, uid_t user) {
    // Whoever listens there gets the names: it has to be the user's own
    // program, not one another user started on a shared name first.
    if (!SocketFileOf(name, user)) return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kWaitMs) || PeerUser(socket.socketDescriptor()) != static_cast<long>(user))
        return false;
    // Each path ends with a zero byte; an empty one ends the message.
    QByteArray message;
    for (const QString& f : files) message += render::FileNameBytes(render::AbsoluteFileName(f)) + '\0';
    message += '\0';
    socket.write(message);
    if (!socket.waitForBytesWritten(kWaitMs) || !socket.waitForReadyRead(kWaitMs)) return false;
    return socket.read(1) == QByteArray(1, kTaken);
}

InstanceServer::InstanceServer(QObject* parent, uid_t user) : QObject(parent), user_(user) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // Many starts at once (files opened together from a file manager)
    // wait in the queue instead of being turned away.
    server_.setListenBacklogSize(128);
    connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

bool InstanceServer::listen(const QString& name) {
    // Another user's socket is neither used nor removed.
    struct stat file {};
    if (::lstat(render::FileNameBytes(render::AbsoluteFileName(name)).constData(), &file) == 0 && file.st_uid != user_)
        return false;
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
    if (accepting_) return;  // the loop below takes it
    accepting_ = true;
    // Qt takes one connection per turn of the event loop; many starts at
    // once (files opened together from a file manager) are all taken and
    // answered now, not one per document opened.
    int taken = 0;
    do {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            serve(socket);
            ++taken;
        }
    } while (taken < kMaxAcceptedAtOnce && server_.waitForNewConnection(0));
    accepting_ = false;
}

void InstanceServer::serve(QLocalSocket* socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (PeerUser(socket->socketDescriptor()) != static_cast<long>(user_)) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    socket->setReadBufferSize(kMaxMessage);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] { read(socket, *buffer); });
    // The message is usually there already.
    socket->waitForReadyRead(0);
}

void InstanceServer::read(QLocalSocket* socket, QByteArray& buffer) {
    buffer += socket->readAll();
    if (buffer.size() > kMaxMessage) {
        // Not a second start of ours.
        buffer.clear();
        socket->abort();
        return;
    }
    if (!(buffer.endsWith(QByteArray(2, '\0')) || buffer == QByteArray(1, '\0'))) return;
    QStringList files;
    for (const QByteArray& f : buffer.split('\0'))
        if (!f.isEmpty()) files << render::FileNameFromBytes(f);
    buffer.clear();
    // Answered at once, opened later from the event loop: opening may ask
    // or show a message, and the later starts must not wait for that.
    socket->write(QByteArray(1, kTaken));
    socket->flush();
    socket->disconnectFromServer();
    if (files.isEmpty()) return;
    pending_.push_back(files);
    post();
}

void InstanceServer::post() {
    if (posted_) return;
    posted_ = true;
    QMetaObject::invokeMethod(this, &InstanceServer::drain, Qt::QueuedConnection);
}

void InstanceServer::drain() {
    posted_ = false;
    // Called again from the loop of a message box that opening the files
    // before shows: those finish first.
    if (draining_ || pending_.isEmpty()) return;
    const QStringList files = pending_.takeFirst();
    draining_ = true;
    QPointer<InstanceServer> alive(this);
    // Also when opening threw, so that the files after them still open.
    struct Next {
        QPointer<InstanceServer>& server;
        ~Next() {
            if (server == nullptr) return;
            server->draining_ = false;
            if (!server->pending_.isEmpty()) server->post();
        }
    } next{alive};
    emit filesReceived(files);
}

}  // namespace vantor::app
