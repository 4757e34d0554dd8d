#include "ShownText.h"

#include <QLabel>

namespace vantor::ui {

QLabel* NewPlainLabel(QWidget* parent, const QString& text) {
    auto* label = new QLabel(parent);
    // The format before the text: an automatic format would parse it first.
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

std::unique_ptr<QMessageBox> NewMessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                           QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(icon, caption, QString(), QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    return box;
}

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    const std::unique_ptr<QMessageBox> box = NewMessageBox(icon, caption, text, parent);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->exec();
}

QString MenuEntryText(QString name) { return name.replace(QLatin1Char('&'), QStringLiteral("&&")); }

}  // namespace vantor::ui
