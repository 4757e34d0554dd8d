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
    /// Closes without the save question (the document closes as a whole).
    void closeQuietly();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    DocumentHost& host_;
    FrameKind kind_;
    bool quiet_ = false;
};

}  // namespace vantor::app
