#include "CapacitorFields.h"

#include "GroupEdits.h"
#include "PackageTable.h"
#include "Values.h"

namespace vantor {

CapacitorFields CapacitorFields::FromShape(const CCapShape& shape, const BoardStackup* board) {
    CapacitorFields f;
    f.automatic = shape.packageType != 0;
    f.packageType = shape.packageType;
    f.rloss = FormatValue(shape.rloss, "Ohm");
    f.lser = FormatValue(f.automatic ? ShapeEsl(shape, board) : shape.lser, "H");
    f.name = shape.name;
    return f;
}

CapacitorFields CapacitorFields::FromShapeExact(const CCapShape& shape, const BoardStackup* board) {
    CapacitorFields f = FromShape(shape, board);
    f.rloss = ExactText(shape.rloss);
    f.lser = ExactText(f.automatic ? ShapeEsl(shape, board) : shape.lser);
    return f;
}

void CapacitorFields::ChoosePackage(int tableIndex, const BoardStackup* board) {
    const PackageTable& table = PackageTable::Application();
    if (tableIndex < 0 || tableIndex >= table.size()) return;
    packageType = tableIndex;
    if (!automatic) return;
    const CCapShape& entry = table[tableIndex];
    rloss = FormatValue(entry.rloss, "Ohm");
    lser = FormatValue(ShapeEsl(entry, board), "H");
    name = entry.name;
}

void CapacitorFields::SetAutomatic(bool on, const BoardStackup* board) {
    automatic = on;
    if (on) {
        ChoosePackage(packageType, board);
        return;
    }
    packageType = 0;
    name = PackageTable::Application()[0].name;
}

bool CapacitorFields::ApplyTo(CCapShape& shape) const {
    PackageTable& table = PackageTable::Application();
    if (packageType < 0 || packageType >= table.size()) return false;
    CCapShape& entry = table[packageType];
    entry.lser = ParseValue(lser);
    entry.rloss = ParseValue(rloss);
    shape.AssignPackage(entry);
    return true;
}

FieldCheck CapacitorFields::Check() const {
    const double r = ParseValue(rloss);
    if (!(r >= 0.01 && r <= 5.0))
        return FieldError{CapacitorField::Rloss, "Verlustwiderstand:", "Fehler: 0.01 Ohm <= Rloss <= 5 Ohm !!!"};
    const double l = ParseValue(lser);
    if (!(l >= 5e-11 && l <= 1e-8))
        return FieldError{CapacitorField::Lser, "Serieninduktivität:", "Fehler: 0.05 nH <= Lser <= 10 nH !!!"};
    return std::nullopt;
}

}  // namespace vantor
