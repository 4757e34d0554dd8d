#pragma once
// One running program per user: a second start hands its file to the one
// that runs, which opens it as a new document.

#include <sys/types.h>
#include <unistd.h>

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

namespace vantor::app {

/// The user's own socket: in the session's runtime folder, else in the
/// temporary folder with the user id in its name.
QString DefaultInstanceName();

/// The user at the other end of a connected local socket, or -1.
long PeerUser(qintptr descriptor);

/// True when the socket file name belongs to user and nobody else can
/// connect to it or put another in its place (its folder is the user's or
/// root's, and open to others only with the sticky bit).
bool SocketFileOf(const QString& name, uid_t user);

/// Hands files (made absolute) to a program of user listening on name;
/// false when none listens, it did not take them, or the socket or the
/// program at its other end belongs to someone else.
bool HandToRunning(const QString& name, const QStringList& files, uid_t user = ::getuid());

/// The listening side; filesReceived once per connection that sent files,
/// from the event loop after the connection has been answered.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    /// Serves the later starts of user only.
    explicit InstanceServer(QObject* parent = nullptr, uid_t user = ::getuid());
    /// Listens on name, taking over a socket of user's that nobody answers
    /// on any more (left by a program that crashed). False when that fails
    /// or the name is someone else's.
    bool listen(const QString& name);
    QString name() const { return server_.fullServerName(); }

    /// The longest message a second start sends: a few file names.
    static constexpr qsizetype kMaxMessage = 64 * 1024;

signals:
    void filesReceived(const QStringList& files);

private:
    void accept();
    /// A connection from a start of the user's; others are dropped.
    void serve(QLocalSocket* socket);
    void read(QLocalSocket* socket, QByteArray& buffer);
    void post();
    /// Hands on one connection's files per turn of the event loop.
    void drain();

    QLocalServer server_;
    uid_t user_;
    QList<QStringList> pending_;
    bool accepting_ = false;
    bool posted_ = false;
    bool draining_ = false;
};

}  // namespace vantor::app
