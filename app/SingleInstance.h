#pragma once
// One running program per user: a second start hands its file to the one
// that runs, which opens it as a new document.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

namespace vantor::app {

/// The user's own socket: in the session's runtime folder, else in the
/// temporary folder with the user id in its name.
QString DefaultInstanceName();

/// Hands files (made absolute) to the program listening on name; false when
/// none listens or it did not take them.
bool HandToRunning(const QString& name, const QStringList& files);

/// The listening side; filesReceived once per connection that sent files.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr);
    /// Listens on name, taking over a socket that nobody answers on any
    /// more (left by a program that crashed). False when that fails.
    bool listen(const QString& name);
    QString name() const { return server_.fullServerName(); }

signals:
    void filesReceived(const QStringList& files);

private:
    void accept();
    QLocalServer server_;
};

}  // namespace vantor::app
