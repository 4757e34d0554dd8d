#include "DocumentFrame.h"

#include <QCloseEvent>

#include "DocumentHost.h"

namespace vantor::app {

DocumentFrame::DocumentFrame(DocumentHost& host, FrameKind kind, QWidget* content) : host_(host), kind_(kind) {
    setWidget(content);
    setAttribute(Qt::WA_DeleteOnClose);
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
