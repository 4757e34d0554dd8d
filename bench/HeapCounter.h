#pragma once
// Heap use of a benchmark program: every allocation through operator new is
// counted, so the peak of one solve can be read off.

namespace vantor::bench {

/// Starts a new peak measurement at the heap in use now.
void ResetHeapPeak();

/// Bytes of heap above the level at the last reset, at their highest.
long long HeapPeakSinceReset();

}  // namespace vantor::bench
