#pragma once
// Answers the program's modal message boxes in tests as a person would.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <functional>

/// Answers the next modal message box with the button labelled button and
/// keeps its text and the format it is shown in; as many boxes as buttons
/// are given, in order.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QStringList buttons) : buttons_(std::move(buttons)) {
        connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start(5);
    }
    QStringList texts;
    QList<Qt::TextFormat> formats;
    bool allAnswered() const { return buttons_.isEmpty(); }
    /// Boxes are answered only once this says so.
    std::function<bool()> when;

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || buttons_.isEmpty() || (when && !when())) return;
        for (QAbstractButton* b : box->buttons()) {
            if (b->text().remove(QLatin1Char('&')) == buttons_.front()) {
                texts << box->text();
                formats << box->textFormat();
                buttons_.removeFirst();
                b->click();
                return;
            }
        }
    }
    QStringList buttons_;
    QTimer timer_;
};
