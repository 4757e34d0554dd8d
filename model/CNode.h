#pragma once
// One point of a plane's square mesh; created only by the mesh builder.

#include <array>
#include <cstdint>

#include "CObject.h"

namespace vantor {

class CNode : public CObject {
public:
    CNode() = default;
    CNode(std::int32_t number_, std::int32_t active_, std::int32_t row_, std::int32_t column_, double x_, double y_)
        : number(number_), active(active_), row(row_), column(column_), x(x_), y(y_) {}

    const char* ClassName() const override { return "CNode"; }
    /// Record: version 1, active, x, y, column, number, row.
    void Serialize(CArchive& ar) override;

    std::int32_t number = 0;              // grid sequence number from 1, row by row
    std::int32_t active = 0;              // 1 on metal, 0 inside a cut-out
    std::int32_t row = 0;                 // y index
    std::int32_t column = 0;              // x index
    double x = 0.0;                       // m
    double y = 0.0;                       // m
    std::array<std::int32_t, 4> state{};  // reserved, not stored
};

}  // namespace vantor
