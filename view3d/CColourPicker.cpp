#include "CColourPicker.h"

#include <algorithm>

#include <QColorDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPixmap>
#include <QVBoxLayout>

namespace vantor::view3d {

const NamedColour* PopupColours() {
    static const NamedColour kColours[kPopupColourCount] = {
        {"Black", 0, 0, 0},
        {"Brown", 165, 42, 42},
        {"Dark Olive Green", 0, 64, 64},
        {"Dark Green", 0, 85, 0},
        {"Dark Teal", 0, 0, 94},
        {"Dark blue", 0, 0, 139},
        {"Indigo", 75, 0, 130},
        {"Dark grey", 40, 40, 40},
        {"Magenta", 255, 0, 255},
        {"Orange", 255, 104, 32},
        {"Dark yellow", 139, 139, 0},
        {"Green", 0, 147, 0},
        {"Teal", 56, 142, 142},
        {"Blue", 0, 0, 255},
        {"Blue-grey", 123, 123, 192},
        {"Grey - 40", 102, 102, 102},
        {"Red", 255, 0, 0},
        {"Light orange", 255, 173, 91},
        {"Lime", 50, 205, 50},
        {"Sea green", 60, 179, 113},
        {"Aqua", 127, 255, 212},
        {"Light blue", 125, 158, 192},
        {"Violet", 128, 0, 128},
        {"Grey - 50", 127, 127, 127},
        {"Pink", 255, 192, 203},
        {"Gold", 255, 215, 0},
        {"Yellow", 255, 255, 0},
        {"Bright green", 0, 255, 0},
        {"Turquoise", 64, 224, 208},
        {"Skyblue", 192, 255, 255},
        {"Plum", 72, 0, 72},
        {"Light grey", 192, 192, 192},
        {"Rose", 255, 228, 225},
        {"Tan", 210, 180, 140},
        {"Light yellow", 255, 255, 224},
        {"Pale green ", 152, 251, 152},
        {"Pale turquoise", 175, 238, 238},
        {"Pale blue", 104, 131, 139},
        {"Lavender", 230, 230, 250},
        {"White", 255, 255, 255},
    };
    return kColours;
}

namespace {

QIcon Swatch(const QColor& c, int edge) {
    QPixmap p(edge, edge);
    p.fill(c);
    return QIcon(p);
}

}  // namespace

CColourPopup::CColourPopup(const QColor& current, QWidget* parent) : QFrame(parent, Qt::Popup) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    // The pop-up keeps the keyboard: the arrows move the highlight over the
    // grid, Return and Space take it. Focus on the cells would hand the
    // arrows to the buttons, which walk the focus chain instead.
    setFocusPolicy(Qt::StrongFocus);
    // The highlight must stand out, whatever the style makes of a checked button.
    setStyleSheet(
        QStringLiteral("QPushButton { border: 1px solid palette(mid); border-radius: 2px; background: palette(button);"
                       " padding: 3px 8px; }"
                       "QPushButton[colourCell=\"true\"] { padding: 0px; }"
                       "QPushButton:hover { border-color: palette(highlight); }"
                       "QPushButton:checked { border: 2px solid palette(highlight); background: palette(highlight);"
                       " color: palette(highlighted-text); }"));
    setAccessibleName(QStringLiteral("Farben"));
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    for (int i = 0; i < kPopupColourCount; ++i) {
        const NamedColour& n = PopupColours()[i];
        const QColor c(n.r, n.g, n.b);
        auto* cell = new QPushButton(this);
        cell->setIcon(Swatch(c, 14));
        cell->setFixedSize(22, 22);
        cell->setToolTip(QString::fromLatin1(n.name));
        cell->setAccessibleName(QString::fromLatin1(n.name));
        cell->setCheckable(true);
        cell->setFocusPolicy(Qt::NoFocus);
        cell->setProperty("colourCell", true);
        connect(cell, &QPushButton::clicked, this, [this, c] {
            emit chosen(c);
            close();
        });
        grid->addWidget(cell, i / kPopupColumns, i % kPopupColumns);
        cells_.append(cell);
        if (c == current) selected_ = i;
    }
    more_ = new QPushButton(QStringLiteral("More..."), this);
    more_->setAccessibleName(QStringLiteral("More..."));
    more_->setCheckable(true);
    more_->setFocusPolicy(Qt::NoFocus);
    connect(more_, &QPushButton::clicked, this, [this] {
        close();
        emit moreRequested();
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(grid);
    layout->addWidget(more_);
    select(selected_);
}

void CColourPopup::showEvent(QShowEvent* event) {
    QFrame::showEvent(event);
    setFocus(Qt::PopupFocusReason);
}

void CColourPopup::select(int index) {
    selected_ = index;
    if (index != kMoreIndex) lastCell_ = index;
    for (int i = 0; i < cells_.size(); ++i) cells_[i]->setChecked(i == selected_);
    more_->setChecked(selected_ == kMoreIndex);
}

void CColourPopup::keyPressEvent(QKeyEvent* event) {
    const int rows = (kPopupColourCount + kPopupColumns - 1) / kPopupColumns;
    const int row = selected_ / kPopupColumns;
    switch (event->key()) {
        // Left and Right run along the grid in reading order; Up and Down
        // keep the column, "More..." lies below the last row.
        case Qt::Key_Left: select(std::max(selected_ - 1, 0)); break;
        case Qt::Key_Right: select(std::min(selected_ + 1, kMoreIndex)); break;
        case Qt::Key_Up:
            if (selected_ == kMoreIndex)
                select(lastCell_);
            else if (row > 0)
                select(selected_ - kPopupColumns);
            break;
        case Qt::Key_Down:
            if (row + 1 < rows)
                select(selected_ + kPopupColumns);
            else
                select(kMoreIndex);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (selected_ == kMoreIndex)
                more_->click();
            else
                cells_[selected_]->click();
            break;
        default: QFrame::keyPressEvent(event); return;
    }
    event->accept();
}

CColourPicker::CColourPicker(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAccessibleName(text);
    setColour(colour_);
    connect(this, &QPushButton::clicked, this, &CColourPicker::openPopup);
}

void CColourPicker::setColour(const QColor& colour) {
    colour_ = colour;
    setIcon(Swatch(colour, 14));
}

void CColourPicker::openPopup() {
    auto* popup = new CColourPopup(colour_, this);
    connect(popup, &CColourPopup::chosen, this, [this](const QColor& c) {
        setColour(c);
        emit colourChanged(c);
    });
    connect(popup, &CColourPopup::moreRequested, this, [this] {
        const QColor c = QColorDialog::getColor(colour_, this);
        if (!c.isValid()) return;
        setColour(c);
        emit colourChanged(c);
    });
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
}

}  // namespace vantor::view3d
