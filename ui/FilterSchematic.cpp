#include "FilterSchematic.h"

#include <array>

#include <QPainter>
#include <QPen>

namespace vantor::ui {

namespace {

struct TransferPens {
    std::array<QPen, 3> dotted, solid;
};

// Created once: red, yellow, green, each dotted and solid, one pixel wide.
const TransferPens& Pens() {
    static const TransferPens pens = [] {
        const std::array<QColor, 3> colours{QColor(255, 0, 0), QColor(255, 255, 0), QColor(50, 150, 30)};
        TransferPens p;
        for (std::size_t i = 0; i < colours.size(); ++i) {
            p.dotted[i] = QPen(colours[i], 1, Qt::DotLine);
            p.solid[i] = QPen(colours[i], 1, Qt::SolidLine);
        }
        return p;
    }();
    return pens;
}

QPoint TopMid(const QRect& r) { return QPoint(r.center().x(), r.top()); }
QPoint BottomMid(const QRect& r) { return QPoint(r.center().x(), r.bottom()); }
QPoint LeftMid(const QRect& r) { return QPoint(r.left(), r.center().y()); }
QPoint RightMid(const QRect& r) { return QPoint(r.right(), r.center().y()); }

}  // namespace

void DrawFilterSchematic(QPainter& painter, const SchematicPlaces& at, bool groupInFilter, int transferState) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    // The choke sits above the line of source, group and load; the rail
    // runs at the choke's height.
    const int rail = at.choke.center().y();
    const QPoint source = TopMid(at.source);
    const QPoint load = TopMid(at.load);
    painter.drawPolyline(QPolygon{source, QPoint(source.x(), rail), LeftMid(at.choke)});
    painter.drawPolyline(QPolygon{RightMid(at.choke), QPoint(load.x(), rail), load});
    if (groupInFilter) painter.drawLine(QPoint(at.group.center().x(), rail), TopMid(at.group));

    const std::size_t state = transferState >= 0 && transferState <= 2 ? std::size_t(transferState) : 0;
    const QPoint from = RightMid(at.transfer);
    const QPoint corner(at.group.center().x(), from.y());
    painter.setPen(Pens().solid[state]);
    painter.drawLine(from, corner);
    painter.setPen(Pens().dotted[state]);
    painter.drawLine(corner, BottomMid(at.group));
    painter.restore();
}

}  // namespace vantor::ui
