#include "GroupEdits.h"

#include "CCapa.h"
#include "PackageTable.h"
#include "Values.h"

namespace vantor {

bool EditTargets(CCGroup& group, TargetDialog& dialog, double maxFrequency) {
    const TargetFields shown = TargetFields::FromGroup(group, maxFrequency);
    TargetFields fields = shown;
    if (!dialog.exec(fields)) return false;
    using F = TargetFields;
    KeepExactWhereUnchanged(fields, shown, F::FromGroupExact(group, maxFrequency), &F::zmaxFu, &F::zminFu, &F::zmaxFo,
                            &F::zminFo, &F::fo);
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
    const CapacitorFields shown = CapacitorFields::FromShape(shape, board);
    CapacitorFields fields = shown;
    if (!dialog.exec(fields)) return false;
    using F = CapacitorFields;
    KeepExactWhereUnchanged(fields, shown, F::FromShapeExact(shape, board), &F::rloss, &F::lser);
    // A dialog that hands back unchecked values changes nothing.
    if (fields.Check()) return false;
    return fields.ApplyTo(shape);
}

}  // namespace vantor
