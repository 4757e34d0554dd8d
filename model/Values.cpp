#include "Values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

namespace vantor {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void Trim(std::string& s) {
    std::size_t b = 0;
    while (b < s.size() && IsSpace(s[b])) ++b;
    std::size_t e = s.size();
    while (e > b && IsSpace(s[e - 1])) --e;
    s = s.substr(b, e - b);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest decimal number at the start of s (after an optional
// sign): digits, an optional '.', more digits, an optional exponent. Returns 0
// when no digit is found.
std::size_t NumberPrefixLength(const std::string& s, std::size_t start) {
    std::size_t i = start;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return i - start;
}

// Converts the number that starts at s[start] (sign included), locale free.
double ConvertNumber(const std::string& s, std::size_t start, std::size_t len) {
    std::size_t b = start;
    bool negative = false;
    if (s[b] == '+' || s[b] == '-') {
        negative = s[b] == '-';
        ++b;
        --len;
    }
    double v = 0.0;
    const char* first = s.data() + b;
    auto res = std::from_chars(first, first + len, v, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves v untouched; follow strtod: overflow to infinity,
        // underflow to zero.
        std::size_t mant = 0;
        while (mant < len && first[mant] != 'e' && first[mant] != 'E') ++mant;
        bool negExp = mant + 1 < len && first[mant + 1] == '-';
        v = negExp ? 0.0 : HUGE_VAL;
    } else if (res.ec != std::errc()) {
        v = 0.0;
    }
    return negative ? -v : v;
}

// 10^e by repeated squaring; negative exponents as 1 / 10^-e.
double PowerOfTen(int e) {
    bool negative = e < 0;
    unsigned n = negative ? static_cast<unsigned>(-e) : static_cast<unsigned>(e);
    double result = 1.0;
    double base = 10.0;
    while (n != 0) {
        if (n & 1u) result *= base;
        base *= base;
        n >>= 1u;
    }
    return negative ? 1.0 / result : result;
}

int PrefixExponent(char c) {
    switch (c) {
        case 'f': return -15;
        case 'p': return -12;
        case 'n': return -9;
        case 'u': return -6;
        case 'm': return -3;
        case 'c': return -2;
        case 'k': return 3;
        case 'M': return 6;
        case 'G': return 9;
        case 'T': return 12;
        default: return 0;
    }
}

const char* PrefixText(int e) {
    switch (e) {
        case -15: return "f";
        case -12: return "p";
        case -9: return "n";
        case -6: return "u";
        case -3: return "m";
        case 0: return "";
        case 3: return "k";
        case 6: return "M";
        case 9: return "G";
        case 12: return "T";
        default: return "error";
    }
}

// Fixed-point text of a finite value with the given number of decimals,
// rounded to nearest with exact halves away from zero. We take the exact
// decimal expansion of a double at 80 decimals (to_chars is exact and locale
// free), so the digit after the last kept one decides alone: five or more
// rounds the magnitude up.
std::string FixedAwayFromZero(double y, int decimals) {
    const bool negative = std::signbit(y);
    const double m = std::fabs(y);
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof buf, m, std::chars_format::fixed, 80);
    std::string exact(buf, res.ptr);
    const std::size_t dot = exact.find('.');
    std::string digits = exact.substr(0, dot) + exact.substr(dot + 1, static_cast<std::size_t>(decimals));
    const char next = exact[dot + 1 + static_cast<std::size_t>(decimals)];
    if (next >= '5') {
        int i = static_cast<int>(digits.size()) - 1;
        while (i >= 0) {
            if (digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
                --i;
            } else {
                ++digits[static_cast<std::size_t>(i)];
                break;
            }
        }
        if (i < 0) digits.insert(digits.begin(), '1');
    }
    const std::size_t intLen = digits.size() - static_cast<std::size_t>(decimals);
    std::string out = digits.substr(0, intLen);
    if (decimals > 0) out += "." + digits.substr(intLen);
    // A value that rounds to zero keeps its sign, as printf does ("-0.0").
    if (negative) out.insert(out.begin(), '-');
    while (out.size() < 2) out.insert(out.begin(), ' ');  // field width 2
    return out;
}

}  // namespace

double ParseValue(std::string text) {
    if (text.empty()) return 0.0;
    Trim(text);

    static const char* const kUnits[] = {"Hz", "F", "H", "m", "Ohm", "A"};
    for (const char* unit : kUnits) {
        const std::size_t len = std::strlen(unit);
        const std::size_t p = text.find(unit);
        if (p != std::string::npos && p > 0 && p + len == text.size()) text.replace(p, len, len, ' ');
    }

    int e = 0;
    const std::size_t prefix = text.find_first_of("fpnumckMGT");
    if (prefix != std::string::npos) {
        e = PrefixExponent(text[prefix]);
        text[prefix] = ' ';
        Trim(text);
    }

    std::size_t start = 0;
    while (start < text.size() && IsSpace(text[start])) ++start;
    const std::size_t len = NumberPrefixLength(text, start);
    if (len == 0) return 0.0;
    return ConvertNumber(text, start, len) * PowerOfTen(e);
}

std::string FormatValue(double value, const std::string& unit, int precision) {
    const double sign = value < 0 ? -1.0 : 1.0;
    double x = value * sign;
    if (x == 0.0) return "0.0" + unit;
    if (std::isnan(value)) {
        return std::string(std::signbit(value) ? "-nan" : "nan") + unit;
    }

    int e = 0;
    while (!(x >= 1.0 && x < 1000.0)) {
        if (std::isinf(x)) return "infinity";
        if (x < 1000.0) {
            x *= 1000.0;
            e -= 3;
        } else {
            x *= 0.001;
            e += 3;
        }
    }

    std::string prefix = PrefixText(e);
    if (e == -3 && unit == "m" && x >= 10.0) {
        x /= 10.0;
        prefix = "c";
    }
    const double y = sign * x;

    std::string number;
    if (precision == 0) {
        number = FixedAwayFromZero(y, 1);
        const std::size_t p = number.find(".0");
        if (p != std::string::npos) {
            number[p] = ' ';
            number[p + 1] = ' ';
            while (!number.empty() && number.back() == ' ') number.pop_back();
        }
    } else {
        const double a = std::fabs(y);
        number = FixedAwayFromZero(y, a < 10.0 ? 3 : (a < 100.0 ? 2 : 1));
    }
    return number + prefix + unit;
}

bool ParsePlainNumber(const std::string& text, double& value) {
    std::string s = text;
    Trim(s);
    if (s.empty()) return false;
    const std::size_t len = NumberPrefixLength(s, 0);
    if (len == 0 || len != s.size()) return false;
    value = ConvertNumber(s, 0, len);
    return std::isfinite(value);
}

bool ParsePlainInteger(const std::string& text, long long& value) {
    std::string s = text;
    Trim(s);
    if (s.empty()) return false;
    std::size_t b = 0;
    if (s[0] == '+') b = 1;
    auto res = std::from_chars(s.data() + b, s.data() + s.size(), value);
    return res.ec == std::errc() && res.ptr == s.data() + s.size() && b < s.size() && (b == 0 || s[b] != '-');
}

std::string ExactText(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string FormatLimit(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, res.ptr);
}

}  // namespace vantor
