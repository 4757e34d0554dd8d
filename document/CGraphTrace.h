#pragma once
// A curve of the graph window: named, with axis units and a caption, and
// its sample points.

#include <cstdint>
#include <string>
#include <vector>

#include "CObject.h"

namespace vantor {

class CTracePoint : public CObject {
public:
    CTracePoint() = default;
    CTracePoint(double x_, double y_, std::int32_t flag_ = 1) : flag(flag_), x(x_), y(y_) {}

    const char* ClassName() const override { return "CTracePoint"; }
    /// Record: version 1 (not checked), x, y, flag.
    void Serialize(CArchive& ar) override;

    std::int32_t flag = 1;
    double x = 0.0;  // Hz
    double y = 0.0;  // in the trace's Y unit
};

class CGraphTrace : public CObject {
public:
    CGraphTrace() = default;
    CGraphTrace(std::string name_, std::string xUnit_, std::string yUnit_, std::string caption_)
        : name(std::move(name_)), xUnit(std::move(xUnit_)), yUnit(std::move(yUnit_)), caption(std::move(caption_)) {}

    /// Unit of axis 0 (x) or 1 (y); empty for any other axis.
    std::string Unit(int axis) const { return axis == 0 ? xUnit : axis == 1 ? yUnit : std::string(); }

    const char* ClassName() const override { return "CGraphTrace"; }
    /// Record: version 1, visible, caption, name, X unit, Y unit; the points
    /// are not stored. Fields are read only for version 1.
    void Serialize(CArchive& ar) override;

    std::string name;
    std::int32_t visible = 1;
    std::string xUnit;
    std::string yUnit;
    std::string caption;
    std::vector<CTracePoint> points;
};

}  // namespace vantor
