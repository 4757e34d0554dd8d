// libFuzzer target of a component file reader, built once for "S2P" and once
// for "FLP" (VANTOR_FUZZ_READ names the reader): any bytes must give a set
// or a message, never a crash, a hang or an unbounded allocation. The sets
// read also go through the choke search, which evaluates every point.

#include <cstddef>
#include <cstdint>

#include "ComponentFiles.h"
#include "ExerciseFilter.h"
#include "RecordingInteraction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantor::CSParameterDB db;
    vantor::RecordingInteraction ui;
    vantor::MemorySource source(reinterpret_cast<const char*>(data), size);
    vantor::VANTOR_FUZZ_READ(source, VANTOR_FUZZ_NAME, size, db, ui);
    vantor::test::SearchAndTrace(db);
    return 0;
}
