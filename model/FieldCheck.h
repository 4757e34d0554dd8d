#pragma once
// Result of a dialog's field check: which field is wrong and the message the
// person sees. Shared by the desktop dialogs, the command-line tool and tests.

#include <optional>
#include <string>

namespace vantor {

struct FieldError {
    int controlId = 0;   // the dialog control that gets the focus
    std::string field;   // its label, e.g. "Länge:"
    std::string message; // the exact message text
};

using FieldCheck = std::optional<FieldError>;

/// The framework's checks of a plain number field: "Geben Sie eine Zahl
/// ein." / "Geben Sie eine Zahl zwischen %1 und %2 ein.".
FieldCheck CheckNumberField(const std::string& text, double low, double high, int controlId,
                            const std::string& field, double& value);

/// The same for an integer field ("Geben Sie eine ganze Zahl ...").
FieldCheck CheckIntegerField(const std::string& text, long long low, long long high, int controlId,
                             const std::string& field, long long& value);

/// The framework's length check of a text field ("Geben Sie nicht mehr als
/// %1 Zeichen ein.").
FieldCheck CheckTextLength(const std::string& text, std::size_t maxChars, int controlId, const std::string& field);

/// A value text that ParseValue reads as infinite ("1e309") is no number:
/// "Geben Sie eine Zahl ein.". For value fields without a range check.
FieldCheck CheckFiniteValue(const std::string& text, int controlId, const std::string& field);

/// Number of characters of a UTF-8 text.
std::size_t Utf8Length(const std::string& text);

}  // namespace vantor
