#pragma once
// The stage timings of the last plane solve, one line per stage, in whole
// seconds. Kept for diagnosis; nobody shows it to the user.

#include <chrono>
#include <cstdio>
#include <string>

namespace vantor {

class SolverTimingLog {
public:
    using Clock = std::chrono::steady_clock;

    void Clear() { text_.clear(); }
    /// Appends format (one "%d") filled with the whole seconds since start.
    void Add(const char* format, Clock::time_point start) { Add(format, Seconds(Clock::now() - start)); }
    void Add(const char* format, int seconds) {
        char line[160];
        std::snprintf(line, sizeof line, format, seconds);
        text_ += line;
    }
    static int Seconds(Clock::duration d) {
        return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(d).count());
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

}  // namespace vantor
