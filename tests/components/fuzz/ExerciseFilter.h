#pragma once
// What the fuzz targets and the replay of their corpus do with the sets a
// reader gave: the choke search, which evaluates every point, then the
// trace and the point lookup of the choke it proposes.

#include <vector>

#include "CFilter.h"
#include "CSParameterDB.h"

namespace vantor::test {

inline void SearchAndTrace(const CSParameterDB& db) {
    CFilter filter;
    filter.useGroup = 0, filter.fLower = 1e6, filter.fUpper = 1e9;
    filter.minAttenuation = 10.0, filter.maxSupplyCurrent = 1.0;
    filter.SearchChokes(db);
    std::vector<FilterTracePoint> trace;
    filter.AttenuationTrace(trace);
    filter.NearestPoint(1e8);
}

}  // namespace vantor::test
