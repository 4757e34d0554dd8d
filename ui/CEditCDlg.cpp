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

CEditCDlg::CEditCDlg(int k, int n, Actions actions, QWidget* parent)
    : QDialog(parent), caption_(QStringLiteral("C%1").arg(k)), actions_(std::move(actions)) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(caption_ + QStringLiteral(" bearbeiten..."));

    auto* frame = new QGroupBox(caption_, this);
    remove_ = Button("Entfernen", frame);
    edit_ = Button("Bearbeiten...", frame);
    insert_ = Button("Neu", frame);
    auto* frameLayout = new QVBoxLayout(frame);
    for (QPushButton* b : {remove_, edit_, insert_}) frameLayout->addWidget(b);
    back_ = Button("Zurück", this);
    back_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(back_);

    const bool holdsCapacitor = k <= n;
    remove_->setEnabled(holdsCapacitor);
    edit_->setEnabled(holdsCapacitor);
    insert_->setEnabled(k <= n + 1);

    connect(remove_, &QPushButton::clicked, this, [this] {
        if (actions_.remove) actions_.remove();
        reject();
    });
    connect(insert_, &QPushButton::clicked, this, [this] {
        if (actions_.insert) actions_.insert();
        reject();
    });
    connect(edit_, &QPushButton::clicked, this, [this] {
        if (actions_.edit && actions_.edit())
            accept();
        else
            reject();
    });
    connect(back_, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace vantor::ui
