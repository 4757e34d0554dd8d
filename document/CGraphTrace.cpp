#include "CGraphTrace.h"

#include "CArchive.h"

namespace vantor {

void CTracePoint::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    ar.Double(x);
    ar.Double(y);
    ar.Int32(flag);
}

void CGraphTrace::Serialize(CArchive& ar) {
    std::int32_t version = 1;
    ar.Int32(version);
    if (ar.IsLoading() && version != 1) return;
    ar.Int32(visible);
    ar.Text(caption);
    ar.Text(name);
    ar.Text(xUnit);
    ar.Text(yUnit);
}

}  // namespace vantor
