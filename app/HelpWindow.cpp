#include "HelpWindow.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vantor::app {

namespace {

QString ReadUtf8(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString PlainText(const QString& html) {
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

QAction* NamedAction(QToolBar* bar, QStyle::StandardPixmap icon, const QString& text, const QKeySequence& key) {
    QAction* a = bar->addAction(bar->style()->standardIcon(icon), text);
    a->setShortcut(key);
    a->setToolTip(text);
    return a;
}

}  // namespace

HelpWindow::HelpWindow(const QString& folder, QWidget* parent) : QMainWindow(parent), folder_(folder) {
    setWindowTitle(QStringLiteral("Vantor - Hilfe"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setAccessibleName(windowTitle());

    browser_ = new QTextBrowser(this);
    browser_->setAccessibleName(QStringLiteral("Hilfeseite"));
    browser_->setSearchPaths({folder_});
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.isRelative() || url.isLocalFile())
            browser_->setSource(url.isRelative() ? browser_->source().resolved(url) : url);
        else
            QDesktopServices::openUrl(url);
    });
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(QStringLiteral("Vantor - Hilfe - ") + browser_->documentTitle()); });

    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("help-navigation"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* home = NamedAction(bar, QStyle::SP_DirHomeIcon, QStringLiteral("Inhalt"),
                                QKeySequence(Qt::ALT | Qt::Key_Home));
    QAction* back = NamedAction(bar, QStyle::SP_ArrowBack, QStringLiteral("Zurück"), QKeySequence::Back);
    QAction* forward = NamedAction(bar, QStyle::SP_ArrowForward, QStringLiteral("Vor"), QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(home, &QAction::triggered, this, [this] { openPage(QStringLiteral("index.html")); });
    connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    side_ = new QTabWidget(this);
    contents_ = new QTreeWidget(side_);
    contents_->setHeaderHidden(true);
    contents_->setAccessibleName(QStringLiteral("Inhalt"));
    connect(contents_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { openPage(item->data(0, Qt::UserRole).toString()); });
    connect(contents_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { openPage(item->data(0, Qt::UserRole).toString()); });
    side_->addTab(contents_, QStringLiteral("Inhalt"));

    auto* searchPane = new QWidget(side_);
    auto* searchLayout = new QVBoxLayout(searchPane);
    query_ = new QLineEdit(searchPane);
    query_->setPlaceholderText(QStringLiteral("Suchbegriffe"));
    query_->setAccessibleName(QStringLiteral("Suchbegriffe"));
    query_->setClearButtonEnabled(true);
    auto* go = new QPushButton(QStringLiteral("Suchen"), searchPane);
    go->setAccessibleName(go->text());
    hits_ = new QListWidget(searchPane);
    hits_->setAccessibleName(QStringLiteral("Gefundene Seiten"));
    searchLayout->addWidget(query_);
    searchLayout->addWidget(go);
    searchLayout->addWidget(hits_);
    connect(query_, &QLineEdit::returnPressed, this, [this] { runSearch(); });
    connect(go, &QPushButton::clicked, this, [this] { runSearch(); });
    auto openHit = [this](QListWidgetItem* item) {
        openPage(item->data(Qt::UserRole).toString());
        // The first place of the first word, selected in the page.
        const QString word = query_->text().split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
        if (!word.isEmpty()) browser_->find(word);
    };
    connect(hits_, &QListWidget::itemActivated, this, openHit);
    connect(hits_, &QListWidget::itemClicked, this, openHit);
    side_->addTab(searchPane, QStringLiteral("Suchen"));
    side_->setAccessibleName(QStringLiteral("Inhalt und Suche"));
    side_->tabBar()->setAccessibleName(side_->accessibleName());
    QAction* find = new QAction(QStringLiteral("Suchen"), this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        side_->setCurrentIndex(1);
        query_->setFocus();
        query_->selectAll();
    });
    addAction(find);

    auto* split = new QSplitter(this);
    split->addWidget(side_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 3);
    setCentralWidget(split);
    resize(900, 640);

    loadPages();
    // The contents column is as wide as its longest title, so none is cut.
    int longest = 0;
    for (const Page& page : pages_) longest = std::max(longest, contents_->fontMetrics().horizontalAdvance(page.title));
    const int side = longest + contents_->indentation() + 2 * contents_->frameWidth() +
                     style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 16;
    split->setSizes({side, std::max(width() - side, width() / 2)});
}

void HelpWindow::loadPages() {
    // The contents follow the links of index.html, each page once.
    const QString index = ReadUtf8(folder_ + QStringLiteral("/index.html"));
    static const QRegularExpression link(QStringLiteral(R"re(href="([^"#]+\.html)")re"));
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    QStringList files = {QStringLiteral("index.html")};
    for (auto it = link.globalMatch(index); it.hasNext();) {
        const QString file = it.next().captured(1);
        if (!files.contains(file)) files << file;
    }
    for (const QString& file : QDir(folder_).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name))
        if (!files.contains(file)) files << file;
    for (const QString& file : files) {
        const QString html = ReadUtf8(folder_ + QLatin1Char('/') + file);
        if (html.isEmpty()) continue;
        Page page{file, title.match(html).captured(1), PlainText(html)};
        if (page.title.isEmpty()) page.title = file;
        auto* item = new QTreeWidgetItem(contents_, {page.title});
        item->setToolTip(0, page.title);
        item->setData(0, Qt::UserRole, file);
        pages_ << page;
    }
}

QList<QPair<QString, QString>> HelpWindow::search(const QString& query) const {
    const QStringList words = query.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QList<QPair<QString, QString>> found;
    if (words.isEmpty()) return found;
    for (const Page& page : pages_) {
        bool all = true;
        for (const QString& w : words) all = all && page.text.contains(w, Qt::CaseInsensitive);
        if (all) found.append({page.title, page.file});
    }
    return found;
}

void HelpWindow::runSearch() {
    hits_->clear();
    const auto found = search(query_->text());
    for (const auto& [title, file] : found) {
        auto* item = new QListWidgetItem(title, hits_);
        item->setData(Qt::UserRole, file);
    }
    if (found.isEmpty() && !query_->text().trimmed().isEmpty())
        new QListWidgetItem(QStringLiteral("Keine Seite gefunden."), hits_);
}

void HelpWindow::openPage(const QString& file) {
    if (!file.isEmpty()) browser_->setSource(QUrl::fromLocalFile(folder_ + QLatin1Char('/') + file));
}

void HelpWindow::showUrl(const QUrl& url) {
    browser_->setSource(url);
    // Over a modal dialog the help must take input itself.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal != nullptr && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    show();
    raise();
    activateWindow();
}

QUrl HelpWindow::currentUrl() const { return browser_->source(); }

}  // namespace vantor::app
