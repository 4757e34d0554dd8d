#pragma once
// The main window's status bar. Qt paints a status bar's message on the bar
// itself, where no screen reader finds it; here a label shows it, so the
// idle text and every fly-by text are what the bar's first item reads.

#include <QStatusBar>

class QLabel;

namespace vantor::app {

class StatusMessageBar : public QStatusBar {
    Q_OBJECT
public:
    /// idleText stands whenever no other message does.
    StatusMessageBar(const QString& idleText, QWidget* parent = nullptr);

    /// The label that shows the message.
    QLabel* messageLabel() const { return message_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString idle_;
    QLabel* message_;
};

}  // namespace vantor::app
