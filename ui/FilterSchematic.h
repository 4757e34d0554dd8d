#pragma once
// The filter's little circuit on the main form: the wiring between the
// buttons for source, choke, capacitor group and load, and the path from
// ">>>" to the group coloured by how far the group got into the filter.

#include <QRect>

class QPainter;

namespace vantor::ui {

/// The button rectangles the lines join, in the form's coordinates.
struct SchematicPlaces {
    QRect source, choke, group, load, transfer;
};

/// Wiring source - choke - load in black, the branch to the group only
/// while the group is in the filter; then the path from the transfer button
/// to the group, solid then dotted, red/yellow/green for transfer state
/// 0/1/2.
void DrawFilterSchematic(QPainter& painter, const SchematicPlaces& at, bool groupInFilter, int transferState);

}  // namespace vantor::ui
