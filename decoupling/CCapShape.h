#pragma once
// A capacitor package: parasitics and body geometry.

#include <cstdint>
#include <string>

#include "CArchive.h"

namespace vantor {

class CCapShape {
public:
    /// Package type of a shape not taken from the table.
    static constexpr std::int32_t kFreshType = 16;
    /// Package type of a group's plane-capacitance entry.
    static constexpr std::int32_t kPlaneEntryType = 17;

    CCapShape() = default;
    /// A fresh shape (type 16, no name, no geometry).
    CCapShape(double inductance, double loss, double low, double high)
        : lser(inductance), rloss(loss), capHigh(high), capLow(low) {}
    CCapShape(const CCapShape& other) {
        AssignPackage(other);
        owner = nullptr;
    }
    /// Assignment copies the package and keeps this shape's owner.
    CCapShape& operator=(const CCapShape& other) {
        AssignPackage(other);
        return *this;
    }

    /// Copies type, the seven doubles and the name; keeps the owner.
    void AssignPackage(const CCapShape& other) {
        packageType = other.packageType;
        lser = other.lser;
        rloss = other.rloss;
        capHigh = other.capHigh;
        capLow = other.capLow;
        bodyWidth = other.bodyWidth;
        bodyThickness = other.bodyThickness;
        bodyLength = other.bodyLength;
        name = other.name;
    }

    /// Record: version 1, type, lser, capHigh, rloss, capLow, name, body
    /// thickness, width, length (the version is not checked on reading).
    void Serialize(CArchive& ar) {
        std::int32_t version = 1;
        ar.Int32(version);
        ar.Int32(packageType);
        ar.Double(lser);
        ar.Double(capHigh);
        ar.Double(rloss);
        ar.Double(capLow);
        ar.Text(name);
        ar.Double(bodyThickness);
        ar.Double(bodyWidth);
        ar.Double(bodyLength);
    }

    std::int32_t packageType = kFreshType;
    double lser = 0.0;           // H, the ESL without automatic parasitics
    double rloss = 0.0;          // Ohm, ESR or coefficient of the ESR law
    double capHigh = 0.0;        // F
    double capLow = 0.0;         // F
    double bodyWidth = 0.0;      // m
    double bodyThickness = 0.0;  // m
    double bodyLength = 0.0;     // m
    std::string name;
    void* owner = nullptr;  // the object that contains the shape; not stored
};

}  // namespace vantor
