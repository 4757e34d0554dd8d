#include "StatusMessageBar.h"

#include <QLabel>
#include <QPainter>
#include <QSizeGrip>
#include <QStyleOption>

#include "ShownText.h"

namespace vantor::app {

StatusMessageBar::StatusMessageBar(const QString& idleText, QWidget* parent)
    : QStatusBar(parent), idle_(idleText), message_(ui::NewPlainLabel(this, idleText)) {
    // Permanent, so that a message never hides it; it takes the room the
    // bar would paint the message in.
    insertPermanentWidget(0, message_, 1);
    message_->setObjectName(QStringLiteral("statusMessage"));
    message_->setIndent(3);  // where the bar paints its own message
    connect(this, &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            showMessage(idle_);
        else
            message_->setText(text);
    });
    showMessage(idle_);
}

void StatusMessageBar::paintEvent(QPaintEvent*) {
    // As QStatusBar paints, less the message: the label shows it.
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    for (QWidget* item : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!item->isVisible() || qobject_cast<QSizeGrip*>(item) != nullptr) continue;
        option.rect = item->geometry().adjusted(-1, -1, 1, 1);
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &option, &painter, item);
    }
}

}  // namespace vantor::app
