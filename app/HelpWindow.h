#pragma once
// The help window: the contents and a full-text search beside the page,
// back and forward like a browser. Links to other pages of the help stay in
// the window; anything else goes to the desktop's handler.

#include <QMainWindow>
#include <QUrl>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

namespace vantor::app {

class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    /// folder: the help pages; contents from its index.html.
    explicit HelpWindow(const QString& folder, QWidget* parent = nullptr);

    /// Shows url (a page of the help, with an anchor or not) and brings the
    /// window to the front.
    void showUrl(const QUrl& url);
    QUrl currentUrl() const;
    QTextBrowser* browser() const { return browser_; }

    /// Pages whose text holds every word of query (case ignored), as
    /// (title, file name), in contents order.
    QList<QPair<QString, QString>> search(const QString& query) const;

private:
    struct Page {
        QString file, title, text;
    };
    void loadPages();
    void runSearch();
    void openPage(const QString& file);

    QString folder_;
    QList<Page> pages_;
    QTextBrowser* browser_;
    QTabWidget* side_;
    QTreeWidget* contents_;
    QLineEdit* query_;
    QListWidget* hits_;
};

}  // namespace vantor::app
