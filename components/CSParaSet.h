#pragma once
// The measured data set of one component (a choke) with the keys of its
// component file. Points are in file order, i.e. ascending frequency.

#include <cstdint>
#include <string>
#include <vector>

#include "CSParameter.h"
#include "CObject.h"

namespace vantor {

class CSParaSet : public CObject {
public:
    /// Format code of the source file: "S2P" 3/4/5 (MA/DB/RI), "FLP" 0/1/2.
    static constexpr std::int32_t kFormatUnknown = -1;

    const char* ClassName() const override { return "CSParaSet"; }
    /// Record: version 1, the header values and the eight texts; the points
    /// are not stored. The version is not checked.
    void Serialize(CArchive& ar) override;

    std::int32_t formatCode = kFormatUnknown;
    std::string name;  // unique in the database, case-sensitive
    std::string description;
    double fMin = 0.0;  // Hz
    double fMax = 0.0;  // Hz
    std::int32_t pointCount = 0;
    double refImpedance = 0.0;  // Ohm
    std::string datasheet;
    double nominalL = 0.0;    // H
    double maxCurrent = 0.0;  // A, 0: not given
    std::string partNumber;
    std::string maker;
    std::string dimensions;
    std::string srf;
    std::string comment;

    std::vector<CSParameter> points;
};

}  // namespace vantor
