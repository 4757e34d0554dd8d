#include "DocumentFrame.h"

#include <QCloseEvent>
#include <QScrollArea>

#include "DocumentHost.h"

namespace vantor::app {

DocumentFrame::DocumentFrame(DocumentHost& host, FrameKind kind, QWidget* content)
    : host_(host), kind_(kind), content_(content) {
    // A window smaller than its contents scrolls them, instead of holding
    // the work area open when the windows are tiled or the screen is small.
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);
    scroll->setFocusProxy(content);
    setWidget(scroll);
    setAttribute(Qt::WA_DeleteOnClose);
}

QWidget* DocumentFrame::ContentOf(QMdiSubWindow* w) {
    auto* frame = qobject_cast<DocumentFrame*>(w);
    return frame != nullptr ? frame->content() : nullptr;
}

void DocumentFrame::closeQuietly() {
    quiet_ = true;
    close();
}

void DocumentFrame::closeEvent(QCloseEvent* event) {
    if (!quiet_ && !host_.frameMayClose(*this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) host_.frameClosed(*this);
}

}  // namespace vantor::app
