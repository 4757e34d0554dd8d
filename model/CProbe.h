#pragma once
// A named observation point on a plane, where solver results are read out.

#include <string>

namespace vantor {

class CProbe {
public:
    CProbe() = default;
    CProbe(double x_, double y_, std::string name_) : x(x_), y(y_), name(std::move(name_)) {}

    std::string Name() const { return name; }

    double x = 0.0;  // m, along the plane length
    double y = 0.0;  // m, along the plane width
    std::string name;
};

}  // namespace vantor
