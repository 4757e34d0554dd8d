#include "HeapCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> gInUse{0};
std::atomic<long long> gPeak{0};
std::atomic<long long> gBase{0};

void Count(long long delta) {
    const long long now = gInUse += delta;
    long long peak = gPeak.load();
    while (now > peak && !gPeak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    Count(static_cast<long long>(malloc_usable_size(p)));
    return p;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    Count(-static_cast<long long>(malloc_usable_size(p)));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace vantor::bench {

void ResetHeapPeak() {
    const long long now = gInUse.load();
    gBase = now;
    gPeak = now;
}

long long HeapPeakSinceReset() { return gPeak.load() - gBase.load(); }

}  // namespace vantor::bench
