#include "CEditCDlg.h"

#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::ui {

namespace {

QPushButton* Button(const char* text, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setAccessibleName(b->text());
    b->setAutoDefault(false);
    // Some air around the text; the style's own padding is thin.
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 2 * b->fontMetrics().height());
    return b;
}

}  // namespace

CEditCDlg::CEditCDlg(int k, int n, Actions actions, QWidget* parent) : QDialog(parent), actions_(std::move(actions)) {
    const QString caption = QStringLiteral("C%1").arg(k);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(caption + QStringLiteral(" bearbeiten..."));

    auto* frame = new QGroupBox(caption, this);
    QPushButton* remove = Button("Entfernen", frame);
    QPushButton* edit = Button("Bearbeiten...", frame);
    QPushButton* insert = Button("Neu", frame);
    auto* frameLayout = new QVBoxLayout(frame);
    for (QPushButton* b : {remove, edit, insert}) frameLayout->addWidget(b);
    QPushButton* back = Button("Zurück", this);
    back->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(back);

    const bool holdsCapacitor = k <= n;
    remove->setEnabled(holdsCapacitor);
    edit->setEnabled(holdsCapacitor);
    insert->setEnabled(k <= n + 1);

    connect(remove, &QPushButton::clicked, this, [this] {
        if (actions_.remove) actions_.remove();
        reject();
    });
    connect(insert, &QPushButton::clicked, this, [this] {
        if (actions_.insert) actions_.insert();
        reject();
    });
    connect(edit, &QPushButton::clicked, this, [this] {
        if (actions_.edit && actions_.edit())
            accept();
        else
            reject();
    });
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace vantor::ui
