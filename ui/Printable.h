#pragma once
// A window whose picture can go to the printer: the same drawing as on the
// screen, onto the printer's or the preview's painter.

class QPainter;
class QRectF;

namespace vantor::ui {

class Printable {
public:
    virtual ~Printable() = default;
    /// Draws the window's picture into page (device units of the painter).
    virtual void printPage(QPainter& painter, const QRectF& page) = 0;
};

}  // namespace vantor::ui
