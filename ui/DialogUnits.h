#pragma once
// Dialog units: a form laid out in units of its font (a quarter of the
// average character width across, an eighth of the line height down), so
// that it keeps its proportions at any font size and screen scaling.

#include <QFontMetrics>
#include <QRect>
#include <QSize>

namespace vantor::ui {

class DialogUnits {
public:
    explicit DialogUnits(const QFontMetrics& fm) {
        // The horizontal base unit: the average letter width rounded to whole
        // pixels (the 52 letters over 26 give twice the average).
        const int letters = fm.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        baseX_ = (letters / 26 + 1) / 2;
        baseY_ = fm.height();
    }

    int x(int dlu) const { return (dlu * baseX_ + 2) / 4; }
    int y(int dlu) const { return (dlu * baseY_ + 4) / 8; }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(x(left), y(top), x(left + width) - x(left), y(top + height) - y(top));
    }
    QSize size(int width, int height) const { return QSize(x(width), y(height)); }

private:
    int baseX_ = 6;
    int baseY_ = 13;
};

}  // namespace vantor::ui
