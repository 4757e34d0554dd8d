#pragma once
// A named observation point on a plane, where solver results are read out.

#include <string>

#include "CObject.h"

namespace vantor {

class CProbe : public CObject {
public:
    CProbe() = default;
    CProbe(double x_, double y_, std::string name_) : x(x_), y(y_), name(std::move(name_)) {}

    std::string Name() const { return name; }

    const char* ClassName() const override { return "CProbe"; }
    /// Record: version 2, x, y, name (version 1 files hold no name).
    void Serialize(CArchive& ar) override;

    double x = 0.0;  // m, along the plane length
    double y = 0.0;  // m, along the plane width
    std::string name;
};

}  // namespace vantor
