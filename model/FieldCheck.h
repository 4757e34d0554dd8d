#pragma once
// Result of a dialog's field check: which field is wrong and the message the
// person sees. Shared by the desktop dialogs, the command-line tool and tests.

#include <optional>
#include <string>
#include <type_traits>
#include <typeindex>

namespace vantor {

/// One field of one dialog, named by that dialog's own field enum
/// (LayoutField::Width, FilterField::Fo, ...). Fields of different dialogs
/// never compare equal, even where their enums share a value; a key made
/// from nothing names no field.
class FieldKey {
public:
    FieldKey() = default;
    template <class Field, std::enable_if_t<std::is_enum_v<Field>, int> = 0>
    FieldKey(Field field) : dialog_(typeid(Field)), value_(static_cast<int>(field)) {}

    /// Whether the key names a field.
    explicit operator bool() const { return dialog_ != typeid(void); }
    bool operator==(const FieldKey& other) const { return dialog_ == other.dialog_ && value_ == other.value_; }
    /// Any strict order, for keys in ordered maps.
    bool operator<(const FieldKey& other) const {
        return dialog_ != other.dialog_ ? dialog_ < other.dialog_ : value_ < other.value_;
    }

private:
    std::type_index dialog_ = typeid(void);
    int value_ = 0;
};

struct FieldError {
    FieldKey key;         // the refused field, which then gets the focus
    std::string field;    // its label, e.g. "Länge:"
    std::string message;  // the exact message text
};

using FieldCheck = std::optional<FieldError>;

/// A plain number field must hold a number (no unit, no prefix) within
/// [low, high]: "Geben Sie eine Zahl ein." / "Geben Sie eine Zahl zwischen
/// %1 und %2 ein.".
FieldCheck CheckNumberField(const std::string& text, double low, double high, FieldKey key, const std::string& field,
                            double& value);

/// The same for an integer field ("Geben Sie eine ganze Zahl ...").
FieldCheck CheckIntegerField(const std::string& text, long long low, long long high, FieldKey key,
                             const std::string& field, long long& value);

/// A text field holds at most maxChars characters ("Geben Sie nicht mehr
/// als %1 Zeichen ein.").
FieldCheck CheckTextLength(const std::string& text, std::size_t maxChars, FieldKey key, const std::string& field);

/// A value text that ParseValue reads as infinite ("1e309") is no number:
/// "Geben Sie eine Zahl ein.". For value fields without a range check.
FieldCheck CheckFiniteValue(const std::string& text, FieldKey key, const std::string& field);

/// Number of characters of a UTF-8 text.
std::size_t Utf8Length(const std::string& text);

}  // namespace vantor
