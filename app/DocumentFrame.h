#pragma once
// A sub-window of a document in the main window's work area: a main form
// (the document's child frame), the graph window or the layer editor.

#include <QMdiSubWindow>
#include <QPointer>

namespace vantor::app {

class DocumentHost;
enum class FrameKind;

class DocumentFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    DocumentFrame(DocumentHost& host, FrameKind kind, QWidget* content);

    DocumentHost& host() const { return host_; }
    FrameKind kind() const { return kind_; }
    /// The window's contents (the form, the graph frame or the editor); the
    /// sub-window holds them in a scroll area.
    QWidget* content() const { return content_; }
    /// The contents of w when it is a document's sub-window, else null.
    static QWidget* ContentOf(QMdiSubWindow* w);
    /// Closes without the save question (the document closes as a whole).
    void closeQuietly();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    DocumentHost& host_;
    FrameKind kind_;
    QWidget* content_;
    bool quiet_ = false;
};

}  // namespace vantor::app
