#pragma once
// The main window: the work area with the documents' windows, the menus of
// the program (one set without a document, one with a design active), the
// tool bar, the status bar, the recent files, printing.

#include <memory>
#include <vector>

#include <QMainWindow>
#include <QStringList>
#include <QUrl>

#include "ContextHelp.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;

namespace vantor {
class CSParameterDB;
}

namespace vantor::ui {
class Printable;
}

namespace vantor::app {

class DocumentFrame;
class DocumentHost;
class HelpWindow;

/// How many files the "&Datei" menu lists.
inline constexpr int kRecentFileCount = 4;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CSParameterDB& database, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* mdiArea() const { return mdi_; }

    /// "&Neu": a new design in a new window.
    DocumentHost* newDocument();
    /// Opens a design; null (after the message) when it cannot be read.
    /// A file that is open already is brought to the front.
    DocumentHost* openDocument(const QString& path, bool showMessage = true, QString* error = nullptr);
    const std::vector<DocumentHost*>& documents() const { return documents_; }
    /// The document of the active window, or null.
    DocumentHost* activeDocument() const;

    /// Shows a new sub-window: maximised, except for the very first window
    /// of the run when no other is active.
    void showChildFrame(DocumentFrame* frame);
    /// Sizes the shown window so that the active window's contents fill the
    /// work area, within the screen's available area.
    void fitToActiveWindow();
    /// Puts path first in the recent-file list.
    void addRecentFile(const QString& path);
    QStringList recentFiles() const;
    /// Opens the help window at its contents.
    void showHelpContents();
    /// The help at "page.html#anchor" of the help folder.
    void showHelpSection(const QString& target);
    /// The help window once it has been shown, else null.
    HelpWindow* helpWindow() const { return help_window_; }

    /// Closes every document, asking to save each modified one; false when
    /// the person cancelled.
    bool closeAllDocuments();
    /// Offers to save each modified document (after an error).
    void offerToSaveAll();

    QPrinter& printer();
    /// The active window's picture: the report for a main form, the
    /// window's own for the others; null when there is none.
    ui::Printable* activePicture();
    /// Draws picture on printer; false when the printer refused.
    static bool printPicture(QPrinter& printer, ui::Printable& picture);
    /// The print dialog, then the picture on the chosen printer.
    void print(ui::Printable& picture);
    /// The picture in the print preview.
    void printPreview(ui::Printable& picture);
    /// "Drucker&einrichtung...": printer and page.
    void printSetup();

    /// Actions by their menu text without '&' and the shortcut, for tests.
    QAction* action(const QString& text) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    void createToolBar();
    void createStatusBar();
    /// The menu set for the active window: with a design or without.
    void buildMenus();
    void updateActions();
    void updateTitle();
    QString wantedTitle() const;
    void updateRecentActions();
    void updateIndicators();
    void adopt(DocumentHost* host);
    void onOpen();
    void onPrint();
    void onPrintPreview();
    void onAbout();
    void onWeb();
    /// Shows url in the help window, made on first use.
    void showHelpUrl(const QUrl& url);
    void arrangeIcons();
    void editFocused(void (*edit)(QWidget*));
    /// The "What's this" text of a main-form control, empty for others.
    QString formControlHelp(QWidget* widget) const;
    QAction* makeAction(const QString& text, const char* icon, int standardIcon, const QKeySequence& key = {},
                        const QString& tip = {});

    CSParameterDB& database_;
    QMdiArea* mdi_;
    std::vector<DocumentHost*> documents_;
    int untitledCount_ = 0;
    bool firstActivation_ = true;
    bool menusBuilt_ = false;
    const void* menuOwner_ = nullptr;  // whose menus show: none, this (a design) or a window
    std::unique_ptr<QPrinter> printer_;
    HelpWindow* help_window_ = nullptr;

    QAction *new_, *open_, *close_, *save_, *saveAs_, *print_, *preview_, *printSetup_, *exit_;
    QAction *undo_, *redo_, *cut_, *copy_, *paste_;
    QAction *toolBarShown_, *statusBarShown_, *graph_, *layerEditor_;
    QAction *layout_, *capacitors_, *targets_, *analysisParameters_;
    QAction *newWindow_, *cascade_, *tile_, *arrange_;
    QAction *help_, *web_, *about_, *whatsThis_;
    std::vector<QAction*> recent_;
    std::vector<QAction*> all_;
    QLabel* indicators_[3] = {nullptr, nullptr, nullptr};
    bool lockState_[3] = {false, false, false};
};

}  // namespace vantor::app
