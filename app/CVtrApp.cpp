#include "CVtrApp.h"

#include <cstdio>
#include <cstdlib>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>

#include "AboutDialog.h"
#include "CMainFrame.h"
#include "CSplashDlg.h"
#include "CVtrDoc.h"
#include "DocumentHost.h"
#include "HelpLocation.h"
#include "LocalFileName.h"
#include "NamedComboAccessible.h"
#include "ShownText.h"
#include "SingleInstance.h"
#include "QtInteraction.h"
#include "ReportPainter.h"

// The icon lives in this library's resources; a static library has to
// register them itself.
static void InitResources() { Q_INIT_RESOURCE(app); }

namespace vantor::app {

namespace {

std::function<ErrorChoice(const QString&)>& ErrorChoiceForTests() {
    static std::function<ErrorChoice(const QString&)> choose;
    return choose;
}

/// The error box; Retry only while receiver lives (it may go while the
/// box is up, its loop running).
ErrorChoice AskErrorChoice(QWidget* owner, const QString& text, const QString& textWithoutRetry,
                           const QPointer<QObject>& receiver) {
    if (ErrorChoiceForTests()) return ErrorChoiceForTests()(receiver != nullptr ? text : textWithoutRetry);
    const std::unique_ptr<QMessageBox> owned = ui::NewMessageBox(QMessageBox::Critical, QStringLiteral("Error!"), text,
                                                                 owner);
    QMessageBox& box = *owned;
    QPushButton* abort = box.addButton(QMessageBox::Abort);
    QPushButton* retry = box.addButton(QMessageBox::Retry);
    box.addButton(QMessageBox::Ignore);
    const auto withoutRetry = [&box, retry, textWithoutRetry] {
        retry->hide();
        box.setText(textWithoutRetry);
    };
    if (receiver == nullptr)
        withoutRetry();
    else
        QObject::connect(receiver, &QObject::destroyed, &box, withoutRetry);
    box.exec();
    if (box.clickedButton() == abort) return ErrorChoice::Abort;
    if (box.clickedButton() == retry) return ErrorChoice::Retry;
    return ErrorChoice::Ignore;
}

}  // namespace

CVtrApp::CVtrApp(int& argc, char** argv) : QApplication(argc, argv) {
    InitResources();
    // Icons come from the desktop's theme; where it lacks one (or there is
    // no desktop), from the Adwaita theme Debian installs.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    setOrganizationName(QStringLiteral("Orvane"));
    // No display name: the window system would append it to every title.
    setApplicationName(QStringLiteral("Vantor"));
    setApplicationVersion(QStringLiteral("4.01"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("vantor"), QIcon(QStringLiteral(":/vantor.svg"))));
    RegisterModelClasses();
    ui::InstallNamedComboAccessible();
    // Qt's own list turns a file name that is not UTF-8 into another name.
    for (int i = 0; i < argc; ++i) arguments_ << render::FileNameFromBytes(QByteArray(argv[i]));
}

CVtrApp::~CVtrApp() { delete frame_.data(); }

CMainFrame* CVtrApp::mainFrame() const { return frame_.data(); }

void CVtrApp::SetErrorChoiceForTests(std::function<ErrorChoice(const QString&)> choose) {
    ErrorChoiceForTests() = std::move(choose);
}

bool CVtrApp::ParseCommandLine(StartOptions& options, QString& error) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vantor: Entkopplung des Versorgungsnetzes einer Leiterplatte"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("Bauteilordner (S2P- und FLP-Dateien)"), QStringLiteral("DIR"));
    const QCommandLineOption print(QStringLiteral("print"),
                                   QStringLiteral("Druckt den Bericht von DATEI auf dem Standarddrucker und endet"));
    parser.addOption(database);
    parser.addOption(print);
    parser.addPositionalArgument(QStringLiteral("DATEI"), QStringLiteral("Eine Entkopplung (.vnt) zum Öffnen"));
    if (!parser.parse(arguments_)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        error = QStringLiteral("Nur eine Datei kann geöffnet werden.");
        return false;
    }
    options.instance = DefaultInstanceName();
    options.database = parser.value(database);
    options.print = parser.isSet(print);
    options.file = files.isEmpty() ? QString() : files.front();
    if (options.print && options.file.isEmpty()) {
        error = QStringLiteral("--print braucht eine Datei.");
        return false;
    }
    return true;
}

QString CVtrApp::ComponentFolder(const QString& given) {
    if (!given.isEmpty()) return given;
    const QString local = QDir::current().filePath(QStringLiteral("Database"));
    if (QFileInfo(local).isDir()) return local;
    const QString installed = DataFolderHolding(QStringLiteral("Database"));
    return installed.isEmpty() ? local : installed;
}

bool CVtrApp::InstallGermanTranslations() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool all = true;
    for (const char* name : {"qtbase_de", "qt_de"}) {
        auto* translator = new QTranslator(this);
        if (translator->load(QString::fromLatin1(name), folder)) {
            installTranslator(translator);
        } else {
            delete translator;
            all = false;
        }
    }
    return all;
}

int CVtrApp::Start(const StartOptions& options) {
    // A program that runs already opens the file itself.
    if (!options.print && !options.file.isEmpty() && !options.instance.isEmpty() &&
        HandToRunning(options.instance, {options.file}))
        return 0;
    InstallGermanTranslations();
    // The loading window comes first; the database it shows is the one
    // every document of this run uses.
    CSplashDlg splash;
    if (!options.print) {
        splash.show();
        splash.repaint();
    }
    splash.LoadDatabase(database_, ComponentFolder(options.database));

    if (options.print) return PrintReport(options.file);

    frame_ = new CMainFrame(database_);
    QSettings settings;
    const bool placed = frame_->restoreGeometry(settings.value(QStringLiteral("Fenster/Geometrie")).toByteArray());
    frame_->restoreState(settings.value(QStringLiteral("Fenster/Zustand")).toByteArray());

    QString error;
    if (options.file.isEmpty()) {
        frame_->newDocument();
    } else if (frame_->openDocument(options.file, false, &error) == nullptr) {
        splash.close();
        delete frame_.data();
        ui::QtInteraction(nullptr).message(error.toStdString(), MessageKind::Error);
        std::fprintf(stderr, "vantor: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    if (QMdiSubWindow* child = frame_->mdiArea()->activeSubWindow()) child->showMaximized();
    frame_->show();
    // Without a remembered size the window is made to fit the first form.
    if (!placed) frame_->fitToActiveWindow();
    splash.close();
    if (!options.instance.isEmpty()) listenForFiles(options.instance);
    return -1;
}

QString CVtrApp::instanceName() const { return instance_ != nullptr ? instance_->name() : QString(); }

void CVtrApp::listenForFiles(const QString& name) {
    delete instance_;
    instance_ = new InstanceServer(this);
    if (!instance_->listen(name)) return;  // another program keeps the files it is given
    connect(instance_, &InstanceServer::filesReceived, this, [this](const QStringList& files) {
        if (frame_ == nullptr) return;
        for (const QString& f : files) frame_->openDocument(f);
        if (frame_->isMinimized()) frame_->showNormal();
        frame_->raise();
        frame_->activateWindow();
    });
}

int CVtrApp::PrintReport(const QString& path) {
    ui::QtInteraction ui(nullptr);
    CVtrDoc doc(database_, ui);
    RecordView form(doc.MainFormRecord());
    doc.AddView(form);
    const CVtrDoc::OpenResult result = doc.OpenFile(render::FsPath(path));
    if (!result.ok()) {
        std::fprintf(stderr, "vantor: %s\n", result.message.c_str());
        return 1;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        std::fprintf(stderr, "vantor: Es ist kein Standarddrucker eingerichtet.\n");
        return 1;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QFileInfo(path).fileName());
    QPainter painter;
    if (!painter.begin(&printer)) {
        std::fprintf(stderr, "vantor: Der Drucker %s kann nicht drucken.\n",
                     info.printerName().toLocal8Bit().constData());
        return 1;
    }
    render::RenderReport(painter, doc, QFileInfo(path).fileName());
    return painter.end() ? 0 : 1;
}

bool CVtrApp::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        return HandleEventError(receiver, event);
    }
}

bool CVtrApp::HandleEventError(QObject* receiver, QEvent* event) {
    const QString type = CurrentExceptionType();
    const QString text = ErrorBoxText(type, receiver, event);
    // An error while the box is up (a timer of another window) is not
    // stacked on it: it is written out and dropped.
    if (errorDepth_ > 0) {
        std::fprintf(stderr, "vantor: %s\n", text.toLocal8Bit().constData());
        return false;
    }
    ++errorDepth_;
    // The box and the save questions run event loops, which may delete the
    // receiver (a socket that disconnected, a window that closed).
    const QPointer<QObject> alive(receiver);
    const ErrorChoice choice = AskErrorChoice(frame_.data(), text, ErrorBoxText(type, receiver, event, false), alive);
    for (QWidget* w : topLevelWidgets())
        if (auto* frame = qobject_cast<CMainFrame*>(w)) frame->offerToSaveAll();
    --errorDepth_;
    switch (choice) {
        case ErrorChoice::Abort:
            std::fprintf(stderr, "vantor: %s\n", text.toLocal8Bit().constData());
            std::_Exit(EXIT_FAILURE);
        case ErrorChoice::Retry:
            if (alive != nullptr) return notify(receiver, event);
            break;
        case ErrorChoice::Ignore: break;
    }
    return false;
}

}  // namespace vantor::app
