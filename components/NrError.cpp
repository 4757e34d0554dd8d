#include "NrError.h"

#include <cstdio>
#include <mutex>

namespace vantor {

void NrError(const std::string& text) {
    static std::mutex lock;
    static std::FILE* log = nullptr;
    static bool opened = false;

    const std::lock_guard<std::mutex> guard(lock);
    // Standard output carries the tools' data: the report goes beside it.
    std::fprintf(stderr, "Numerical Recipes run-time error...\n%s\n...now exiting to system...\n", text.c_str());
    if (!opened) {
        opened = true;
        log = std::fopen("nrerror.log", "wt");
    }
    // A log that cannot be created costs only the file copy of the report.
    if (log != nullptr) {
        std::fprintf(log, "Numerical Recipes run-time error...\n%s\n...now exiting to system...\n", text.c_str());
        std::fflush(log);
    }
}

}  // namespace vantor
