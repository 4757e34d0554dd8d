#pragma once
// A push button that shows its colour and opens a pop-up of 40 named
// colours with "More..." (the colour dialog); mouse and arrow keys choose.

#include <QColor>
#include <QFrame>
#include <QPushButton>
#include <QString>

namespace vantor::view3d {

struct NamedColour {
    const char* name;
    int r, g, b;
};
/// The pop-up's colours in grid order (8 columns, 5 rows).
const NamedColour* PopupColours();
inline constexpr int kPopupColourCount = 40;
inline constexpr int kPopupColumns = 8;

/// The grid of colours with "More..." below it. The pop-up has the
/// keyboard: arrows move the highlight (Up and Down by a row, "More..."
/// below the last one), Return and Space take the highlighted entry.
class CColourPopup : public QFrame {
    Q_OBJECT
public:
    CColourPopup(const QColor& current, QWidget* parent = nullptr);
    /// The highlighted colour's index, or kMoreIndex for "More...".
    int selected() const { return selected_; }
    static constexpr int kMoreIndex = kPopupColourCount;

signals:
    void chosen(const QColor& colour);
    void moreRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void select(int index);
    int selected_ = 0;
    int lastCell_ = 0;  // where Up from "More..." returns
    QList<QPushButton*> cells_;
    QPushButton* more_;
};

class CColourPicker : public QPushButton {
    Q_OBJECT
public:
    CColourPicker(const QString& text, QWidget* parent = nullptr);
    QColor colour() const { return colour_; }
    void setColour(const QColor& colour);

signals:
    void colourChanged(const QColor& colour);

private:
    void openPopup();
    QColor colour_ = Qt::black;
};

}  // namespace vantor::view3d
