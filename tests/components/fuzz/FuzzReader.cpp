// libFuzzer target of a component file reader, built once for "S2P" and once
// for "FLP" (VANTOR_FUZZ_READ names the reader): any bytes must give a set
// or a message, never a crash, a hang or an unbounded allocation. The sets
// read also go through the choke search, which evaluates every point.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "CFilter.h"
#include "ComponentFiles.h"
#include "RecordingInteraction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantor::CSParameterDB db;
    vantor::RecordingInteraction ui;
    vantor::MemorySource source(reinterpret_cast<const char*>(data), size);
    vantor::VANTOR_FUZZ_READ(source, VANTOR_FUZZ_NAME, size, db, ui);
    vantor::CFilter filter;
    filter.useGroup = 0, filter.fLower = 1e6, filter.fUpper = 1e9;
    filter.minAttenuation = 10.0, filter.maxSupplyCurrent = 1.0;
    filter.SearchChokes(db);
    std::vector<vantor::FilterTracePoint> trace;
    filter.AttenuationTrace(trace);
    filter.NearestPoint(1e8);
    return 0;
}
