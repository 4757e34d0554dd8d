#include "GroupEdits.h"

#include "CCapa.h"
#include "PackageTable.h"
#include "Values.h"

namespace vantor {

bool EditTargets(CCGroup& group, TargetDialog& dialog, double maxFrequency) {
    TargetFields fields = TargetFields::FromGroup(group, maxFrequency);
    if (!dialog.exec(fields)) return false;
    // A dialog that hands back unchecked values changes nothing.
    if (fields.Check()) return false;
    fields.ApplyTo(group);
    return true;
}

double ShapeEsl(const CCapShape& shape, const BoardStackup* board) {
    if (shape.packageType == 0 || board == nullptr) return shape.lser;
    return MountedEsl(shape, *board);
}

bool EditShape(CCapShape& shape, CapacitorDialog& dialog, const BoardStackup* board) {
    CapacitorFields fields;
    fields.automatic = shape.packageType != 0;
    fields.packageType = shape.packageType;
    fields.rloss = FormatValue(shape.rloss, "Ohm");
    fields.lser = FormatValue(fields.automatic ? ShapeEsl(shape, board) : shape.lser, "H");
    fields.name = shape.name;
    if (!dialog.exec(fields) || fields.Check()) return false;
    PackageTable& table = PackageTable::Application();
    if (fields.packageType < 0 || fields.packageType >= table.size()) return false;
    CCapShape& entry = table[fields.packageType];
    entry.lser = ParseValue(fields.lser);
    entry.rloss = ParseValue(fields.rloss);
    shape.AssignPackage(entry);
    return true;
}

}  // namespace vantor
