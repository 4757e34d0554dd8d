#pragma once
// The desktop program: the component database for the whole run, the
// start-up sequence with its loading window, the command line, and the one
// place where an error that escaped an event handler is caught.

#include <functional>
#include <memory>

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "CSParameterDB.h"
#include "ErrorBox.h"

namespace vantor::app {

class CMainFrame;
class InstanceServer;

/// What the command line asks for.
struct StartOptions {
    QString database;    // --database DIR; empty: the usual places
    QString file;        // a design to open
    bool print = false;  // --print FILE: print its report and end
    QString instance;    // the socket of the one running program; empty: none
};

class CVtrApp : public QApplication {
    Q_OBJECT
public:
    CVtrApp(int& argc, char** argv);
    ~CVtrApp() override;

    /// Parses the command line; false (after printing why) for bad usage.
    bool ParseCommandLine(StartOptions& options, QString& error);
    /// The start-up sequence: German texts, the loading window with the
    /// database, the main window, the command line's document. Returns the
    /// exit status when the program is to end at once (printing done, a
    /// file that cannot be opened), or -1 to enter the event loop.
    int Start(const StartOptions& options);

    /// The component folder: the given one, else "Database" in the working
    /// folder, else the installed one; the first of those when none exists.
    static QString ComponentFolder(const QString& given);

    CSParameterDB& database() { return database_; }
    CMainFrame* mainFrame() const;

    /// Qt's own dialogs and buttons in German (file, print, colour
    /// dialogs, standard buttons); false when the translations are missing.
    bool InstallGermanTranslations();

    /// Errors escaping an event handler end up here.
    bool notify(QObject* receiver, QEvent* event) override;

    /// Tests answer the error box without showing it.
    static void SetErrorChoiceForTests(std::function<ErrorChoice(const QString& text)> choose);

    /// The socket the one running program listens on, or empty.
    QString instanceName() const;

private:
    /// Opens the files later starts hand over (see SingleInstance.h).
    void listenForFiles(const QString& name);
    bool HandleEventError(QObject* receiver, QEvent* event);
    int PrintReport(const QString& path);

    CSParameterDB database_;
    QStringList arguments_;  // as given, after Qt took its own
    QPointer<CMainFrame> frame_;
    InstanceServer* instance_ = nullptr;
    int errorDepth_ = 0;
};

}  // namespace vantor::app
