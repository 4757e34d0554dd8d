#include "FieldCheck.h"

#include <cmath>

#include "Values.h"

namespace vantor {

namespace {

FieldError Error(FieldKey key, const std::string& field, std::string message) {
    return FieldError{key, field, std::move(message)};
}

}  // namespace

FieldCheck CheckNumberField(const std::string& text, double low, double high, FieldKey key, const std::string& field,
                            double& value) {
    double v = 0.0;
    if (!ParsePlainNumber(text, v)) return Error(key, field, "Geben Sie eine Zahl ein.");
    if (v < low || v > high)
        return Error(key, field,
                     "Geben Sie eine Zahl zwischen " + FormatLimit(low) + " und " + FormatLimit(high) + " ein.");
    value = v;
    return std::nullopt;
}

FieldCheck CheckIntegerField(const std::string& text, long long low, long long high, FieldKey key,
                             const std::string& field, long long& value) {
    long long v = 0;
    if (!ParsePlainInteger(text, v)) return Error(key, field, "Geben Sie eine ganze Zahl ein.");
    if (v < low || v > high)
        return Error(key, field,
                     "Geben Sie eine ganze Zahl zwischen " + std::to_string(low) + " und " + std::to_string(high) +
                         " ein.");
    value = v;
    return std::nullopt;
}

FieldCheck CheckFiniteValue(const std::string& text, FieldKey key, const std::string& field) {
    if (!std::isfinite(ParseValue(text))) return Error(key, field, "Geben Sie eine Zahl ein.");
    return std::nullopt;
}

std::size_t Utf8Length(const std::string& text) {
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0u) != 0x80u) ++n;
    return n;
}

FieldCheck CheckTextLength(const std::string& text, std::size_t maxChars, FieldKey key, const std::string& field) {
    if (Utf8Length(text) > maxChars)
        return Error(key, field, "Geben Sie nicht mehr als " + std::to_string(maxChars) + " Zeichen ein.");
    return std::nullopt;
}

}  // namespace vantor
