#pragma once
// Texts that may carry a name a person or a file chose (a file, group,
// probe, cut-out or choke) reach the screen through these. Qt takes any
// text that looks like HTML for rich text in labels and message boxes: a
// file named "<b>x</b>.vnt" would show in bold, and an <img> naming a FIFO
// would block the program while the label "loads" it.

#include <memory>

#include <QMessageBox>
#include <QString>

class QLabel;
class QWidget;

namespace vantor::ui {

/// A label that shows whatever it is given literally.
QLabel* NewPlainLabel(QWidget* parent, const QString& text = QString());

/// A message box that shows text literally; buttons are added by the caller.
std::unique_ptr<QMessageBox> NewMessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                                           QWidget* parent);

/// A modal message with an "OK" button, its text shown literally.
void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text);

/// A name as a menu entry: an '&' in it is shown, not taken for a shortcut.
QString MenuEntryText(QString name);

}  // namespace vantor::ui
