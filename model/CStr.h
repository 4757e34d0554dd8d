#pragma once
// Small string value used for the label texts of the 3D chart.

#include <cstdint>
#include <string>

namespace vantor {

class CStr {
public:
    CStr() = default;
    CStr(const char* text) { Assign(text); }  // NOLINT(google-explicit-constructor)
    CStr(const std::string& text) { Assign(text); }  // NOLINT(google-explicit-constructor)

    CStr& operator=(const char* text) { Assign(text); return *this; }
    CStr& operator=(const std::string& text) { Assign(text); return *this; }
    /// Up to 16 significant digits, the shorter of plain and exponent form,
    /// without a trailing decimal point (100 gives "100").
    CStr& operator=(double value);

    /// True when the texts differ in any character or in length.
    bool DiffersFrom(const char* text) const;
    bool DiffersFrom(const CStr& other) const { return DiffersFrom(other.c_str()); }

    /// Wildcard match of the whole text, case-sensitive: "?" one character,
    /// "*" any run (including none); consecutive stars act as one.
    static bool Match(const char* pattern, const char* text);

    std::int32_t Length() const { return static_cast<std::int32_t>(text_.size()); }
    const char* c_str() const { return text_.c_str(); }
    const std::string& str() const { return text_; }
    bool IsEmpty() const { return text_.empty(); }

private:
    void Assign(const std::string& text) { text_ = text; }
    static bool MatchStar(const char* pattern, const char* text);

    std::string text_;
};

}  // namespace vantor
