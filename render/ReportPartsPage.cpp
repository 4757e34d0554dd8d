// The report's parts list: a table of the distinct capacitors with their
// counts per group and in total, then the choke.

#include <algorithm>

#include <QFontMetricsF>
#include <QPainter>

#include "BillOfMaterials.h"
#include "ReportPagePainters.h"
#include "Values.h"

namespace vantor::render {

namespace {

struct Table {
    std::vector<QString> head;
    std::vector<std::vector<QString>> rows;
    std::vector<bool> rightAligned;
    int stretch = -1;  // the column that takes the room left, elided
};

// Columns as wide as their widest cell; the stretch column gets the rest.
double DrawTable(ReportCanvas& canvas, const QRectF& room, const Table& t) {
    QPainter& p = canvas.painter();
    const QFont body = canvas.font(9), bold = canvas.font(9, true);
    const QFontMetricsF bm(body, p.device()), hm(bold, p.device());
    const double pad = canvas.mm(2);
    const std::size_t columns = t.head.size();
    std::vector<double> width(columns, 0.0);
    for (std::size_t c = 0; c < columns; ++c) {
        width[c] = hm.horizontalAdvance(t.head[c]) + 2 * pad;
        for (const auto& row : t.rows) width[c] = std::max(width[c], bm.horizontalAdvance(row[c]) + 2 * pad);
    }
    double total = 0.0;
    for (double w : width) total += w;
    if (t.stretch >= 0) width[static_cast<std::size_t>(t.stretch)] += room.width() - total;
    const double rowHeight = bm.height() * 1.5;

    double y = room.top();
    auto drawRow = [&](const std::vector<QString>& cells, const QFont& font, const QFontMetricsF& m, bool shaded) {
        if (shaded) p.fillRect(QRectF(room.left(), y, room.width(), rowHeight), QColor(232, 232, 232));
        double x = room.left();
        p.setFont(font);
        p.setPen(QColor(10, 10, 10));
        for (std::size_t c = 0; c < columns; ++c) {
            const QRectF cell(x + pad, y, std::max(0.0, width[c] - 2 * pad), rowHeight);
            const int align = (t.rightAligned[c] ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
            p.drawText(cell, align | Qt::TextSingleLine, m.elidedText(cells[c], Qt::ElideRight, cell.width()));
            x += width[c];
        }
        y += rowHeight;
        p.setPen(QPen(QColor(150, 150, 150), 0));
        p.drawLine(QPointF(room.left(), y), QPointF(room.right(), y));
    };
    drawRow(t.head, bold, hm, true);
    for (std::size_t r = 0; r < t.rows.size() && y + rowHeight <= room.bottom(); ++r)
        drawRow(t.rows[r], body, bm, r % 2 == 1);
    return y - room.top();
}

QString GroupCounts(const BillOfMaterials& bom, const CapacitorPart& part) {
    QStringList counts;
    for (std::size_t g = 0; g < bom.groups.size(); ++g)
        if (part.perGroup[g] > 0) counts << Q(bom.groups[g]) + QStringLiteral(": ") + QString::number(part.perGroup[g]);
    return counts.join(QStringLiteral(", "));
}

}  // namespace

void RenderPartsPage(ReportCanvas& canvas, const QRectF& room, const CVtrDoc& doc) {
    const BillOfMaterials bom = MakeBillOfMaterials(doc);
    double y = room.top();
    const QFont heading = canvas.font(12, true), body = canvas.font(10);
    auto section = [&](const char* text) {
        y += canvas.paragraph(QString::fromUtf8(text), QRectF(room.left(), y, room.width(), room.height()), heading) +
             canvas.mm(2);
    };
    section("Kondensatoren");
    if (bom.capacitors.empty()) {
        y += canvas.paragraph(QStringLiteral("Auf der Ebene ist keine Kondensatorgruppe platziert."),
                              QRectF(room.left(), y, room.width(), room.height()), body);
    } else {
        Table t;
        t.head = {QStringLiteral("Wert"), QStringLiteral("Bauform"), QStringLiteral("Dielektrikum"),
                  QStringLiteral("ESL"),  QStringLiteral("ESR"),     QStringLiteral("Je Gruppe"),
                  QStringLiteral("Summe")};
        t.rightAligned = {true, false, false, true, true, false, true};
        t.stretch = 5;
        int total = 0;
        for (const CapacitorPart& part : bom.capacitors) {
            t.rows.push_back({Q(FormatValue(part.capacitance, "F")), Q(part.package), Q(part.dielectric),
                              Q(FormatValue(part.esl, "H")), Q(FormatValue(part.esr, "Ohm")), GroupCounts(bom, part),
                              QString::number(part.total)});
            total += part.total;
        }
        t.rows.push_back({QString(), QString(), QString(), QString(), QString(), QStringLiteral("Kondensatoren gesamt"),
                          QString::number(total)});
        y += DrawTable(canvas, QRectF(room.left(), y, room.width(), room.bottom() - y), t);
        y += canvas.mm(2);
        y += canvas.paragraph(QStringLiteral("ESL montiert, wie das Impedanzmodell sie verwendet; ESR bei der "
                                             "Serienresonanz des Kondensators."),
                              QRectF(room.left(), y, room.width(), room.bottom() - y), canvas.font(8));
    }
    if (!bom.hasChoke) return;
    y += canvas.mm(8);
    section("Drossel");
    Table t;
    t.head = {QStringLiteral("Hersteller"), QStringLiteral("Typ"), QStringLiteral("Bauform"), QStringLiteral("Summe")};
    t.rightAligned = {false, false, false, true};
    t.stretch = 1;
    t.rows.push_back({Q(bom.choke.maker), Q(bom.choke.type), Q(bom.choke.package), QStringLiteral("1")});
    DrawTable(canvas, QRectF(room.left(), y, room.width(), room.bottom() - y), t);
}

}  // namespace vantor::render
