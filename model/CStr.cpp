#include "model/CStr.h"

#include <charconv>
#include <cstring>

namespace vantor {

CStr& CStr::operator=(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 16);
    std::string s(buf, res.ptr);
    if (!s.empty() && s.back() == '.') s.pop_back();
    Assign(s);
    return *this;
}

bool CStr::DiffersFrom(const char* text) const {
    if (text == nullptr) return !text_.empty();
    return std::strlen(text) != text_.size() || std::strcmp(text, text_.c_str()) != 0;
}

bool CStr::Match(const char* pattern, const char* text) {
    // Iterative except for the star step, which tries the rest of the pattern
    // at successive positions of the text.
    while (*pattern != '\0') {
        if (*pattern == '*') return MatchStar(pattern, text);
        if (*text == '\0') return false;
        if (*pattern != '?' && *pattern != *text) return false;
        ++pattern;
        ++text;
    }
    return *text == '\0';
}

bool CStr::MatchStar(const char* pattern, const char* text) {
    while (*pattern == '*') ++pattern;
    if (*pattern == '\0') return true;
    for (; *text != '\0'; ++text) {
        if (Match(pattern, text)) return true;
    }
    return Match(pattern, text);
}

}  // namespace vantor
