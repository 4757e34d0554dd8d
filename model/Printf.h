#pragma once
// printf into a string. The compiler checks the arguments against the
// format, so the format has to be a literal where Printf is called.

#include <cstdarg>
#include <cstdio>
#include <string>

namespace vantor {

/// For a printf-like function of its own that hands on its arguments.
[[gnu::format(printf, 1, 0)]] inline std::string VPrintf(const char* format, std::va_list args) {
    std::va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

[[gnu::format(printf, 1, 2)]] inline std::string Printf(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string text = VPrintf(format, args);
    va_end(args);
    return text;
}

}  // namespace vantor
