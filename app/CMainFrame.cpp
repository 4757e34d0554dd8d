#include "CMainFrame.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QHelpEvent>
#include <QWhatsThis>

#include "AboutDialog.h"
#include "CVtrView.h"
#include "ContextHelp.h"
#include "DocumentFrame.h"
#include "DocumentHost.h"
#include "HelpLocation.h"
#include "HelpWindow.h"
#include "KeyboardLocks.h"
#include "LocalFileName.h"
#include "OwnMenus.h"
#include "Printable.h"
#include "ShownText.h"
#include "StatusMessageBar.h"

namespace vantor::app {

namespace {

constexpr const char* kIdleText = "Drücken Sie F1, um Hilfe zu erhalten.";
constexpr const char* kFileFilter = "Vantor Entkopplung (*.vnt)";
constexpr const char* kRecentGroup = "Recent File List";

QString PlainText(QString text) {
    text.remove(QLatin1Char('&'));
    return text.section(QLatin1Char('\t'), 0, 0);
}

}  // namespace

CMainFrame::CMainFrame(CSParameterDB& database, QWidget* parent) : QMainWindow(parent), database_(database) {
    setObjectName(QStringLiteral("CMainFrame"));
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setAccessibleName(QStringLiteral("Arbeitsbereich"));
    setCentralWidget(mdi_);
    setAcceptDrops(true);
    createActions();
    createToolBar();
    createStatusBar();
    buildMenus();
    // F1 in a dialog below the main form opens this frame's help window.
    ui::SetContextHelpHandler([this](const QString& target) { showHelpSection(target); });
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
        buildMenus();
        updateActions();
        updateTitle();
    });
    updateActions();
    updateTitle();
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    ui::SetContextHelpHandler({});
    qApp->removeEventFilter(this);
    for (DocumentHost* host : documents_) delete host;
}

QAction* CMainFrame::makeAction(const QString& text, const char* icon, int standardIcon, const QKeySequence& key,
                                const QString& tip) {
    auto* a = new QAction(text, this);
    if (icon != nullptr) {
        const QIcon fallback = standardIcon >= 0
                                   ? style()->standardIcon(static_cast<QStyle::StandardPixmap>(standardIcon))
                                   : QIcon();
        a->setIcon(QIcon::fromTheme(QString::fromLatin1(icon), fallback));
    }
    if (!key.isEmpty()) a->setShortcut(key);
    if (!tip.isEmpty()) {
        a->setStatusTip(tip);
        a->setToolTip(PlainText(text));
    }
    all_.push_back(a);
    return a;
}

void CMainFrame::createActions() {
    new_ = makeAction(QStringLiteral("&Neu\tStrg+N"), "document-new", QStyle::SP_FileIcon, QKeySequence::New,
                      QStringLiteral("Erstellt eine neue Entkopplung"));
    open_ = makeAction(QStringLiteral("Ö&ffnen...\tStrg+O"), "document-open", QStyle::SP_DialogOpenButton,
                       QKeySequence::Open, QStringLiteral("Öffnet eine gespeicherte Entkopplung"));
    close_ = makeAction(QStringLiteral("&Schließen"), nullptr, -1, {}, QStringLiteral("Schließt die Entkopplung"));
    save_ = makeAction(QStringLiteral("S&peichern\tStrg+S"), "document-save", QStyle::SP_DialogSaveButton,
                       QKeySequence::Save, QStringLiteral("Speichert die Entkopplung"));
    saveAs_ = makeAction(QStringLiteral("Speichern &unter..."), "document-save-as", -1, {},
                         QStringLiteral("Speichert die Entkopplung unter einem neuen Namen"));
    print_ = makeAction(QStringLiteral("&Drucken...\tStrg+P"), "document-print", -1, QKeySequence::Print,
                        QStringLiteral("Druckt das aktive Fenster"));
    preview_ = makeAction(QStringLiteral("Sei&tenansicht"), "document-print-preview", -1, {},
                          QStringLiteral("Zeigt die Druckseite an"));
    printSetup_ = makeAction(QStringLiteral("Drucker&einrichtung..."), "document-page-setup", -1, {},
                             QStringLiteral("Wählt Drucker und Seite"));
    exit_ = makeAction(QStringLiteral("&Beenden"), "application-exit", -1, {},
                       QStringLiteral("Beendet das Programm und fragt, ob Änderungen gespeichert werden sollen"));
    undo_ = makeAction(QStringLiteral("&Rückgängig\tStrg+Z"), "edit-undo", QStyle::SP_ArrowBack, QKeySequence::Undo,
                       QStringLiteral("Macht den letzten Schritt rückgängig"));
    redo_ = makeAction(QStringLiteral("&Wiederherstellen\tStrg+Y"), "edit-redo", QStyle::SP_ArrowForward,
                       QKeySequence(QStringLiteral("Ctrl+Y")),
                       QStringLiteral("Stellt den rückgängig gemachten Schritt wieder her"));
    cut_ = makeAction(QStringLiteral("&Ausschneiden"), "edit-cut", -1, QKeySequence::Cut,
                      QStringLiteral("Schneidet den markierten Text aus"));
    copy_ = makeAction(QStringLiteral("&Kopieren"), "edit-copy", -1, QKeySequence::Copy,
                       QStringLiteral("Kopiert den markierten Text"));
    paste_ = makeAction(QStringLiteral("E&infügen"), "edit-paste", -1, QKeySequence::Paste,
                        QStringLiteral("Fügt Text aus der Zwischenablage ein"));
    // A focused text field takes these keys for itself (Qt's shortcut
    // override), so Strg+Z in a field undoes the typing, elsewhere the step.
    toolBarShown_ = makeAction(QStringLiteral("&Symbolleiste"), nullptr, -1, {},
                               QStringLiteral("Blendet die Symbolleiste ein oder aus"));
    statusBarShown_ = makeAction(QStringLiteral("S&tatusleiste"), nullptr, -1, {},
                                 QStringLiteral("Blendet die Statusleiste ein oder aus"));
    graph_ = makeAction(QStringLiteral("&Grafikausgabe"), nullptr, -1, {},
                        QStringLiteral("Öffnet oder schließt die Grafikausgabe"));
    layerEditor_ = makeAction(QStringLiteral("&Layer-Editor"), nullptr, -1, {},
                              QStringLiteral("Öffnet oder schließt den Layer-Editor"));
    layout_ = makeAction(QStringLiteral("&Layout..."), nullptr, -1, {}, QStringLiteral("Platine und Lagenaufbau"));
    capacitors_ = makeAction(QStringLiteral("&Kondensatoren..."), nullptr, -1, {},
                             QStringLiteral("Bauform, Verlustwiderstand und Serieninduktivität der Kondensatoren"));
    targets_ = makeAction(QStringLiteral("&Optimierungsziele..."), nullptr, -1, {},
                          QStringLiteral("Grenzlinien und Eckfrequenzen der Optimierung"));
    analysisParameters_ = makeAction(QStringLiteral("&Parameter..."), nullptr, -1, {},
                                     QStringLiteral("Frequenzen und Auflösung der Feldberechnung"));
    newWindow_ = makeAction(QStringLiteral("Neues &Fenster"), "window-new", -1, {},
                            QStringLiteral("Öffnet ein weiteres Fenster der Entkopplung"));
    cascade_ = makeAction(QStringLiteral("Über&lappend"), nullptr, -1, {},
                          QStringLiteral("Ordnet die Fenster überlappend an"));
    tile_ = makeAction(QStringLiteral("&Nebeneinander"), nullptr, -1, {},
                       QStringLiteral("Ordnet die Fenster nebeneinander an"));
    arrange_ = makeAction(QStringLiteral("&Symbole anordnen"), nullptr, -1, {},
                          QStringLiteral("Ordnet die Symbole der minimierten Fenster an"));
    help_ = makeAction(QStringLiteral("&Hilfethemen"), "help-contents", QStyle::SP_DialogHelpButton,
                       QKeySequence::HelpContents, QStringLiteral("Öffnet die Hilfe"));
    web_ = makeAction(QStringLiteral("&RQX im Internet"), "internet-web-browser", -1, {},
                      QStringLiteral("Öffnet die Seite über Vantor"));
    about_ = makeAction(QStringLiteral("Inf&o über Vantor for Windows..."), "help-about", -1, {},
                        QStringLiteral("Zeigt Programm und Version"));
    whatsThis_ = QWhatsThis::createAction(this);
    whatsThis_->setShortcut(QKeySequence(QStringLiteral("Shift+F1")));
    toolBarShown_->setCheckable(true);
    statusBarShown_->setCheckable(true);
    graph_->setCheckable(true);
    layerEditor_->setCheckable(true);

    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = new QAction(this);
        connect(a, &QAction::triggered, this, [this, a] { openDocument(a->data().toString()); });
        recent_.push_back(a);
    }
    updateRecentActions();

    // The shortcuts work whichever menus the bar shows (a window with menus
    // of its own has no "&Bearbeiten").
    for (QAction* a : all_) addAction(a);

    connect(new_, &QAction::triggered, this, [this] { newDocument(); });
    connect(open_, &QAction::triggered, this, &CMainFrame::onOpen);
    connect(close_, &QAction::triggered, this, [this] {
        if (DocumentHost* host = activeDocument(); host != nullptr && host->askToSave()) host->closeAll();
    });
    connect(save_, &QAction::triggered, this, [this] {
        if (DocumentHost* host = activeDocument()) host->save();
    });
    connect(saveAs_, &QAction::triggered, this, [this] {
        if (DocumentHost* host = activeDocument()) host->saveAs();
    });
    connect(print_, &QAction::triggered, this, &CMainFrame::onPrint);
    connect(preview_, &QAction::triggered, this, &CMainFrame::onPrintPreview);
    connect(printSetup_, &QAction::triggered, this, &CMainFrame::printSetup);
    connect(exit_, &QAction::triggered, this, &QWidget::close);
    connect(undo_, &QAction::triggered, this, [this] {
        if (DocumentHost* host = activeDocument()) host->undo();
    });
    connect(redo_, &QAction::triggered, this, [this] {
        if (DocumentHost* host = activeDocument()) host->redo();
    });
    connect(cut_, &QAction::triggered, this,
            [this] { editFocused([](QWidget* w) { QMetaObject::invokeMethod(w, "cut"); }); });
    connect(copy_, &QAction::triggered, this,
            [this] { editFocused([](QWidget* w) { QMetaObject::invokeMethod(w, "copy"); }); });
    connect(paste_, &QAction::triggered, this,
            [this] { editFocused([](QWidget* w) { QMetaObject::invokeMethod(w, "paste"); }); });
    connect(toolBarShown_, &QAction::toggled, this, [this](bool on) {
        if (QToolBar* bar = findChild<QToolBar*>()) bar->setVisible(on);
    });
    connect(statusBarShown_, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });

    auto formCommand = [this](ui::FormCommand command) {
        return [this, command] {
            if (QMdiSubWindow* w = mdi_->activeSubWindow())
                if (auto* form = qobject_cast<ui::CVtrView*>(DocumentFrame::ContentOf(w))) form->runCommand(command);
            updateActions();
        };
    };
    connect(graph_, &QAction::triggered, this, formCommand(ui::FormCommand::GraphWindow));
    connect(layerEditor_, &QAction::triggered, this, formCommand(ui::FormCommand::LayerEditor));
    connect(layout_, &QAction::triggered, this, formCommand(ui::FormCommand::Layout));
    connect(capacitors_, &QAction::triggered, this, formCommand(ui::FormCommand::Capacitors));
    connect(targets_, &QAction::triggered, this, formCommand(ui::FormCommand::Targets));
    connect(analysisParameters_, &QAction::triggered, this, formCommand(ui::FormCommand::AnalysisParameters));

    connect(newWindow_, &QAction::triggered, this, [this] {
        if (DocumentHost* host = activeDocument()) host->addMainForm();
    });
    connect(cascade_, &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
    connect(tile_, &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);
    connect(arrange_, &QAction::triggered, this, &CMainFrame::arrangeIcons);
    connect(help_, &QAction::triggered, this, [this] { showHelpContents(); });
    connect(web_, &QAction::triggered, this, &CMainFrame::onWeb);
    connect(about_, &QAction::triggered, this, &CMainFrame::onAbout);
}

void CMainFrame::createToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Symbolleiste"));
    bar->setObjectName(QStringLiteral("Symbolleiste"));
    bar->setAccessibleName(bar->windowTitle());
    bar->setMovable(true);
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    for (QAction* a : {new_, open_, save_}) bar->addAction(a);
    bar->addSeparator();
    for (QAction* a : {cut_, copy_, paste_}) bar->addAction(a);
    bar->addSeparator();
    bar->addAction(print_);
    bar->addSeparator();
    bar->addAction(about_);
    bar->addAction(whatsThis_);
    for (QAction* a : bar->actions())
        if (QWidget* button = bar->widgetForAction(a)) button->setAccessibleName(PlainText(a->text()));
    toolBarShown_->setChecked(true);
}

void CMainFrame::createStatusBar() {
    auto* bar = new StatusMessageBar(QString::fromUtf8(kIdleText), this);
    setStatusBar(bar);
    bar->setAccessibleName(QStringLiteral("Statusleiste"));
    const char* names[3] = {"UF", "NUM", "RF"};
    for (int i = 0; i < 3; ++i) {
        indicators_[i] = new QLabel(QString::fromLatin1(names[i]), bar);
        indicators_[i]->setAlignment(Qt::AlignCenter);
        indicators_[i]->setMinimumWidth(indicators_[i]->fontMetrics().horizontalAdvance(QStringLiteral("NUM")) + 12);
        indicators_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        indicators_[i]->setAccessibleName(QString::fromLatin1(names[i]));
        bar->addPermanentWidget(indicators_[i]);
    }
    statusBarShown_->setChecked(true);
    updateIndicators();
}

void CMainFrame::updateIndicators() {
    const KeyboardLocks locks = ReadKeyboardLocks();
    const bool on[3] = {locks.caps, locks.num, locks.scroll};
    for (int i = 0; i < 3; ++i) {
        // An indicator that is off stays in its place, written in grey.
        indicators_[i]->setEnabled(on[i]);
        lockState_[i] = on[i];
    }
}

void CMainFrame::buildMenus() {
    const bool design = activeDocument() != nullptr;
    QMenuBar* bar = menuBar();
    // A window with menus of its own shows them instead of the program's.
    QMdiSubWindow* active = mdi_->activeSubWindow();
    QWidget* content = active != nullptr ? DocumentFrame::ContentOf(active) : nullptr;
    auto* own = dynamic_cast<ui::OwnMenus*>(content);
    const void* owner = own != nullptr ? static_cast<const void*>(content) : design ? this : nullptr;
    if (menusBuilt_ && owner == menuOwner_) return;
    menusBuilt_ = true;
    menuOwner_ = owner;
    for (QMenu* m : bar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) m->deleteLater();
    bar->clear();
    if (own != nullptr) {
        const QList<QMenu*> menus = own->menus();
        for (qsizetype i = 0; i < menus.size(); ++i) {
            bar->addMenu(menus[i]);
            if (i == 0 && own->editsDesign()) {
                QMenu* edit = bar->addMenu(QStringLiteral("&Bearbeiten"));
                edit->addAction(undo_);
                edit->addAction(redo_);
            }
        }
        return;
    }
    QMenu* file = bar->addMenu(QStringLiteral("&Datei"));
    file->addAction(new_);
    file->addAction(open_);
    if (design) {
        file->addAction(close_);
        file->addAction(save_);
        file->addAction(saveAs_);
        file->addSeparator();
        file->addAction(print_);
        file->addAction(preview_);
    }
    file->addAction(printSetup_);
    file->addSeparator();
    for (QAction* a : recent_) file->addAction(a);
    file->addSeparator();
    file->addAction(exit_);
    if (design) {
        QMenu* edit = bar->addMenu(QStringLiteral("&Bearbeiten"));
        edit->addAction(undo_);
        edit->addAction(redo_);
        edit->addSeparator();
        edit->addAction(cut_);
        edit->addAction(copy_);
        edit->addAction(paste_);
    }
    QMenu* view = bar->addMenu(QStringLiteral("&Ansicht"));
    view->addAction(toolBarShown_);
    view->addAction(statusBarShown_);
    if (design) {
        view->addAction(graph_);
        view->addAction(layerEditor_);
        QMenu* group = bar->addMenu(QStringLiteral("&C-Gruppe"));
        group->addAction(layout_);
        group->addAction(capacitors_);
        group->addAction(targets_);
        QMenu* analysis = bar->addMenu(QStringLiteral("Analyse"));
        analysis->addAction(analysisParameters_);
        QMenu* window = bar->addMenu(QStringLiteral("&Fenster"));
        window->addAction(newWindow_);
        window->addAction(cascade_);
        window->addAction(tile_);
        window->addAction(arrange_);
        window->addSeparator();
        // The open windows, as the window menu of a desktop program lists them.
        connect(window, &QMenu::aboutToShow, this, [this, window] {
            const QList<QAction*> actions = window->actions();
            for (qsizetype i = 5; i < actions.size(); ++i) {
                window->removeAction(actions[i]);
                actions[i]->deleteLater();
            }
            int n = 1;
            for (QMdiSubWindow* w : mdi_->subWindowList()) {
                QString caption = w->windowTitle();
                caption.replace(QStringLiteral("[*]"), w->isWindowModified() ? QStringLiteral("*") : QString());
                QAction* a = window->addAction(QStringLiteral("&%1 %2").arg(n++).arg(caption));
                a->setCheckable(true);
                a->setChecked(w == mdi_->activeSubWindow());
                connect(a, &QAction::triggered, mdi_, [this, w] { mdi_->setActiveSubWindow(w); });
            }
        });
    }
    QMenu* help = bar->addMenu(QStringLiteral("&?"));
    help->addAction(help_);
    help->addAction(web_);
    help->addSeparator();
    help->addAction(about_);
    for (QAction* a : bar->actions())
        if (QMenu* m = a->menu()) m->setAccessibleName(PlainText(m->title()));
}

DocumentHost* CMainFrame::activeDocument() const {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    if (w == nullptr) {
        // A modal dialog takes the activation away; the top window stays the active one.
        const QList<QMdiSubWindow*> list = mdi_->subWindowList(QMdiArea::StackingOrder);
        if (list.isEmpty()) return nullptr;
        w = list.back();
    }
    auto* f = qobject_cast<DocumentFrame*>(w);
    return f != nullptr ? &f->host() : nullptr;
}

void CMainFrame::updateActions() {
    DocumentHost* host = activeDocument();
    const bool design = host != nullptr;
    ui::CVtrView* form = nullptr;
    if (QMdiSubWindow* w = mdi_->activeSubWindow()) form = qobject_cast<ui::CVtrView*>(DocumentFrame::ContentOf(w));
    undo_->setEnabled(design && host->canUndo());
    redo_->setEnabled(design && host->canRedo());
    undo_->setStatusTip(design && host->canUndo() ? QStringLiteral("Rückgängig: ") + host->undoLabel() : QString());
    redo_->setStatusTip(design && host->canRedo() ? QStringLiteral("Wiederherstellen: ") + host->redoLabel()
                                                  : QString());
    for (QAction* a : {close_, save_, saveAs_, print_, preview_, newWindow_, cascade_, tile_, arrange_})
        a->setEnabled(design);
    for (QAction* a : {graph_, layerEditor_, layout_, capacitors_, targets_, analysisParameters_})
        a->setEnabled(form != nullptr);
    graph_->setChecked(form != nullptr && form->isChecked(ui::FormCommand::GraphWindow));
    layerEditor_->setChecked(form != nullptr && form->isChecked(ui::FormCommand::LayerEditor));
}

QString CMainFrame::wantedTitle() const {
    DocumentHost* host = activeDocument();
    // A maximised sub-window adds " - [<its title>]" to the main window's
    // title itself.
    QMdiSubWindow* active = mdi_->activeSubWindow();
    if (host == nullptr || (active != nullptr && active->isMaximized())) return QStringLiteral("Vantor");
    return QStringLiteral("Vantor - ") + host->title() + QStringLiteral("[*]");
}

void CMainFrame::updateTitle() {
    DocumentHost* host = activeDocument();
    // The mark's place is in the title as set, or in the " - [<title>[*]]" a
    // maximised window adds while it is set; a mark left set on a title
    // without its place only draws Qt's warning.
    setWindowModified(false);
    setWindowTitle(wantedTitle());
    if (windowTitle().contains(QStringLiteral("[*]")))
        setWindowModified(host != nullptr && host->document().IsModified());
}

void CMainFrame::adopt(DocumentHost* host) {
    documents_.push_back(host);
    connect(host, &DocumentHost::stateChanged, this, [this] {
        updateActions();
        updateTitle();
    });
    connect(host, &DocumentHost::closed, this, [this, host] {
        documents_.erase(std::remove(documents_.begin(), documents_.end(), host), documents_.end());
        // Its windows are deleted first: they were queued for deletion before.
        host->deleteLater();
        QTimer::singleShot(0, this, [this] {
            buildMenus();
            updateActions();
            updateTitle();
        });
    });
}

DocumentHost* CMainFrame::newDocument() {
    auto* host = new DocumentHost(*this, database_, ++untitledCount_);
    adopt(host);
    host->createNew();
    buildMenus();
    updateActions();
    updateTitle();
    return host;
}

DocumentHost* CMainFrame::openDocument(const QString& path, bool showMessage, QString* error) {
    const QString absolute = render::AbsoluteFileName(path);
    for (DocumentHost* host : documents_) {
        if (host->path() == absolute) {
            if (auto frames = host->frames(); !frames.empty()) mdi_->setActiveSubWindow(frames.front());
            return host;
        }
    }
    auto* host = new DocumentHost(*this, database_, 0);
    adopt(host);
    QString why;
    if (!host->open(path, why, showMessage)) {
        if (error != nullptr) *error = why;
        return nullptr;
    }
    addRecentFile(absolute);
    buildMenus();
    updateActions();
    updateTitle();
    return host;
}

void CMainFrame::onOpen() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Öffnen"), QString(),
                                                      QString::fromUtf8(kFileFilter));
    if (!path.isEmpty()) openDocument(path);
}

void CMainFrame::showChildFrame(DocumentFrame* frame) {
    QMdiSubWindow* active = mdi_->activeSubWindow();
    const bool maximise = active != nullptr ? active->isMaximized() : !firstActivation_;
    firstActivation_ = false;
    connect(frame, &QMdiSubWindow::windowStateChanged, this, [this] { updateTitle(); });
    if (maximise)
        frame->showMaximized();
    else
        frame->show();
    mdi_->setActiveSubWindow(frame);
}

void CMainFrame::fitToActiveWindow() {
    QMdiSubWindow* child = mdi_->activeSubWindow();
    QWidget* content = DocumentFrame::ContentOf(child);
    if (content == nullptr) return;
    // Measured as laid out: a hidden window's work area has no size yet.
    const QSize chrome = size() - mdi_->viewport()->size();
    // The sub-window's own frame, maximised or not, as laid out.
    const QSize decoration = child->widget() != nullptr ? child->size() - child->widget()->size() : QSize();
    QSize wanted = chrome + decoration + content->sizeHint();
    if (const QScreen* s = screen()) {
        // The window manager's frame comes on top of the window.
        const QSize frameMargins = frameGeometry().size() - geometry().size();
        wanted = wanted.boundedTo(s->availableGeometry().size() - frameMargins);
    }
    resize(wanted);
}

QStringList CMainFrame::recentFiles() const {
    QSettings settings;
    QStringList files;
    settings.beginGroup(QString::fromLatin1(kRecentGroup));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString f = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!f.isEmpty()) files << f;
    }
    return files;
}

void CMainFrame::addRecentFile(const QString& path) {
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFileCount) files.removeLast();
    QSettings settings;
    settings.beginGroup(QString::fromLatin1(kRecentGroup));
    for (int i = 1; i <= kRecentFileCount; ++i)
        settings.setValue(QStringLiteral("File%1").arg(i), i <= files.size() ? files[i - 1] : QString());
    updateRecentActions();
}

void CMainFrame::updateRecentActions() {
    const QStringList files = recentFiles();
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = recent_[static_cast<std::size_t>(i)];
        const bool used = i < files.size();
        a->setVisible(used);
        if (!used) continue;
        a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(ui::MenuEntryText(QDir::toNativeSeparators(files[i]))));
        a->setData(files[i]);
        a->setStatusTip(QStringLiteral("Öffnet ") + files[i]);
    }
}

void CMainFrame::showHelpContents() { showHelpUrl(QUrl::fromLocalFile(HelpPage(QStringLiteral("index.html")))); }

void CMainFrame::showHelpSection(const QString& target) { showHelpUrl(HelpTargetUrl(target)); }

void CMainFrame::showHelpUrl(const QUrl& url) {
    const QString folder = HelpFolder();
    if (folder.isEmpty() || url.isEmpty() || url.toLocalFile().isEmpty()) {
        statusBar()->showMessage(QStringLiteral("Die Hilfe ist nicht installiert."), 5000);
        return;
    }
    if (help_window_ == nullptr) {
        help_window_ = new HelpWindow(folder, this);
        help_window_->setWindowFlag(Qt::Window);
        help_window_->setWindowIcon(windowIcon());
    }
    help_window_->showUrl(url);
}

bool CMainFrame::closeAllDocuments() {
    for (DocumentHost* host : std::vector<DocumentHost*>(documents_))
        if (!host->askToSave()) return false;
    for (DocumentHost* host : std::vector<DocumentHost*>(documents_)) host->closeAll();
    return true;
}

void CMainFrame::offerToSaveAll() {
    for (DocumentHost* host : std::vector<DocumentHost*>(documents_)) host->askToSave();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!closeAllDocuments()) {
        event->ignore();
        return;
    }
    QSettings settings;
    settings.setValue(QStringLiteral("Fenster/Geometrie"), saveGeometry());
    settings.setValue(QStringLiteral("Fenster/Zustand"), saveState());
    event->accept();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Companion windows of designs opened before the window showed are
    // sized against the work area as it is now.
    for (DocumentHost* host : documents_) host->openCompanions();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) openDocument(url.toLocalFile());
    event->acceptProposedAction();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::QueryWhatsThis || event->type() == QEvent::WhatsThis) {
        // The main form's controls explain themselves with their help section.
        const QString text = formControlHelp(qobject_cast<QWidget*>(watched));
        if (!text.isEmpty()) {
            if (event->type() == QEvent::WhatsThis)
                QWhatsThis::showText(static_cast<QHelpEvent*>(event)->globalPos(), text,
                                     static_cast<QWidget*>(watched));
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) updateIndicators();
    } else if (event->type() == QEvent::WindowActivate && watched == this) {
        updateIndicators();
    }
    return QMainWindow::eventFilter(watched, event);
}

QString CMainFrame::formControlHelp(QWidget* widget) const {
    if (widget == nullptr || !widget->whatsThis().isEmpty()) return {};
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QString target = ui::CVtrView::HelpTarget(w);
        if (target.isEmpty()) continue;
        for (QWidget* form = w; form != nullptr; form = form->parentWidget())
            if (qobject_cast<ui::CVtrView*>(form) != nullptr) return HelpTargetSnippet(target);
        return {};
    }
    return {};
}

void CMainFrame::editFocused(void (*edit)(QWidget*)) {
    QWidget* w = QApplication::focusWidget();
    if (auto* combo = qobject_cast<QComboBox*>(w); combo != nullptr && combo->lineEdit() != nullptr)
        w = combo->lineEdit();
    if (qobject_cast<QLineEdit*>(w) != nullptr) edit(w);
}

QPrinter& CMainFrame::printer() {
    if (printer_ == nullptr) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

ui::Printable* CMainFrame::activePicture() {
    QMdiSubWindow* w = mdi_->activeSubWindow();
    DocumentHost* host = activeDocument();
    if (w == nullptr || host == nullptr) return nullptr;
    QWidget* content = DocumentFrame::ContentOf(w);
    if (qobject_cast<ui::CVtrView*>(content) != nullptr) return &host->report();
    return dynamic_cast<ui::Printable*>(content);
}

bool CMainFrame::printPicture(QPrinter& printer, ui::Printable& picture) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The painter's origin is the corner of the printable area already.
    const QSizeF printable = printer.pageLayout().paintRectPixels(printer.resolution()).size().toSizeF();
    picture.printPage(painter, QRectF(QPointF(0, 0), printable));
    return painter.end();
}

void CMainFrame::print(ui::Printable& picture) {
    QPrintDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("Drucken"));
    if (dialog.exec() == QDialog::Accepted && !printPicture(printer(), picture))
        statusBar()->showMessage(QStringLiteral("Der Druck ist fehlgeschlagen."), 5000);
}

void CMainFrame::printPreview(ui::Printable& picture) {
    QPrintPreviewDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("Seitenansicht"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* p) { printPicture(*p, picture); });
    dialog.exec();
}

void CMainFrame::onPrint() {
    if (ui::Printable* picture = activePicture()) print(*picture);
}

void CMainFrame::onPrintPreview() {
    if (ui::Printable* picture = activePicture()) printPreview(*picture);
}

void CMainFrame::printSetup() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.setWindowTitle(QStringLiteral("Druckereinrichtung"));
    dialog.exec();
}

void CMainFrame::onAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

void CMainFrame::onWeb() {
    // The maker's page is part of the help; the desktop's browser shows it.
    const QString page = HelpPage(QStringLiteral("about.html"));
    if (page.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(page))) onAbout();
}

void CMainFrame::arrangeIcons() {
    // Minimised windows in a row along the bottom of the work area.
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    int x = 0;
    for (QMdiSubWindow* w : windows) {
        if (!w->isMinimized()) continue;
        const QSize size = w->size();
        w->move(x, mdi_->viewport()->height() - size.height());
        x += size.width();
    }
}

QAction* CMainFrame::action(const QString& text) const {
    for (QAction* a : all_)
        if (PlainText(a->text()) == text) return a;
    return nullptr;
}

}  // namespace vantor::app
