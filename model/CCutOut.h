#pragma once
// A named rectangular hole in a plane: no metal inside it, borders included.

#include <cstdint>
#include <string>

#include "CObject.h"

namespace vantor {

class CCutOut : public CObject {
public:
    CCutOut() = default;
    /// Any two opposite corners; the edges are sorted so x1 <= x2, y1 <= y2.
    CCutOut(double x1, double y1, double x2, double y2, std::string name);

    std::string Name() const { return name; }

    const char* ClassName() const override { return "CCutOut"; }
    /// Record: version 1, y2, x1, x2, y1, inactive, name.
    void Serialize(CArchive& ar) override;

    /// True when (x, y), m, lies inside or on the border and the cut-out
    /// removes metal.
    bool contains(double x, double y) const;
    /// The same test whatever the inactive flag says (for hit tests).
    bool covers(double x, double y) const { return x1 <= x && x <= x2 && y1 <= y && y <= y2; }

    std::int32_t inactive = 0;  // nonzero: the mesh ignores this cut-out
    double y1 = 0.0;            // m
    double y2 = 0.0;            // m
    double x1 = 0.0;            // m
    double x2 = 0.0;            // m
    std::string name;
};

}  // namespace vantor
