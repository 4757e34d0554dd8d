#include "BlasSetup.h"

#include <dlfcn.h>
#include <strings.h>

#include <cstdlib>
#include <mutex>

namespace vantor {

namespace {

// Our BLAS; Debian's reference BLAS name, which UMFPACK links, leads to the
// same library. Its functions beyond CBLAS are looked up, so that a BLAS
// built for one processor only (without them) still runs.
constexpr const char* kOpenBlas = "libopenblas.so.0";

using NameFunction = char* (*)();
using VoidFunction = void (*)();
using ThreadsFunction = void (*)(int);

// OpenBLAS chooses its kernels by the processor's family and model number
// when it loads. A processor newer than the library (Debian 12 ships
// 0.3.21) is not in its table, and it falls back to its generic SSE3
// kernels ("Prescott"), which run the complex block products of the
// factorisation at about half the speed of the AVX2 or AVX-512 kernels the
// processor has. The kernels for a family are chosen by the instruction sets
// it needs, which the processor reports (and the system enables) as such.
const char* BetterKernels() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vl"))
        return "SkylakeX";
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) return "Haswell";
    if (__builtin_cpu_supports("avx")) return "Sandybridge";
    return nullptr;
}

// The library's dynamic choice made again with the kernel set named in
// OPENBLAS_CORETYPE, the variable it reads for a choice made by hand.
void ChooseKernels(void* library, const char* kernels) {
    auto quit = reinterpret_cast<VoidFunction>(dlsym(library, "gotoblas_dynamic_quit"));
    auto init = reinterpret_cast<VoidFunction>(dlsym(library, "gotoblas_dynamic_init"));
    if (!quit || !init) return;  // built for one processor only
    setenv("OPENBLAS_CORETYPE", kernels, 1);
    quit();
    init();
    unsetenv("OPENBLAS_CORETYPE");
}

void SetUpEveryBlas() {
    // A choice made by hand in the environment stands.
    const char* kernels = std::getenv("OPENBLAS_CORETYPE") ? nullptr : BetterKernels();
    void* library = dlopen(kOpenBlas, RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return;
    auto coreName = reinterpret_cast<NameFunction>(dlsym(library, "openblas_get_corename"));
    auto setThreads = reinterpret_cast<ThreadsFunction>(dlsym(library, "openblas_set_num_threads"));
    if (coreName && kernels && strcasecmp(coreName(), "Prescott") == 0) ChooseKernels(library, kernels);
    if (setThreads) setThreads(1);
    dlclose(library);
}

// Done while the program starts, before any other thread might read the
// environment that the kernel choice sets for a moment.
struct BlasSetUpAtStart {
    BlasSetUpAtStart() { BlasOnOneThread(); }
} blasSetUpAtStart;

}  // namespace

void BlasOnOneThread() {
    static std::once_flag once;
    std::call_once(once, SetUpEveryBlas);
}

std::string BlasKernelName() {
    BlasOnOneThread();
    void* library = dlopen(kOpenBlas, RTLD_LAZY | RTLD_NOLOAD);
    if (!library) return {};
    auto coreName = reinterpret_cast<NameFunction>(dlsym(library, "openblas_get_corename"));
    std::string name = coreName ? coreName() : "";
    dlclose(library);
    return name;
}

}  // namespace vantor
