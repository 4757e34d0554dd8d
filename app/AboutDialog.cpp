#include "AboutDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace vantor::app {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Info über Vantor für Windows"));
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_LargeIconSize);
    icon->setPixmap(QApplication::windowIcon().pixmap(size, size));
    icon->setAccessibleName(QStringLiteral("Programmsymbol"));
    auto* version = new QLabel(QString::fromUtf8(kProductVersion), this);
    version->setAccessibleName(version->text());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("OK"));
    ok->setAccessibleName(ok->text());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(size / 2);
    row->addWidget(version, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

}  // namespace vantor::app
