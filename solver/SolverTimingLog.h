#pragma once
// The stage timings of the last plane solve, one line per stage, in whole
// seconds. Kept for diagnosis; nobody shows it to the user.

#include <chrono>
#include <cstdarg>
#include <string>

#include "Printf.h"

namespace vantor {

class SolverTimingLog {
public:
    using Clock = std::chrono::steady_clock;

    void Clear() { text_.clear(); }
    /// Appends one line made as printf makes it; the compiler checks the
    /// arguments against the format.
    [[gnu::format(printf, 2, 3)]] void Add(const char* format, ...) {
        std::va_list args;
        va_start(args, format);
        text_ += VPrintf(format, args);
        va_end(args);
    }
    static int Seconds(Clock::duration d) {
        return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(d).count());
    }
    /// The whole seconds since start.
    static int Since(Clock::time_point start) { return Seconds(Clock::now() - start); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

}  // namespace vantor
