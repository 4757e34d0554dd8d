#pragma once
// The shape every modal dialog of the core shares: it is handed its fields
// as texts, shows them, and on OK hands them back checked.

namespace vantor {

/// A dialog over the field struct Fields. exec shows the fields and returns
/// true on OK; an implementation returns true only once Fields::Check() has
/// passed, so the caller may apply the fields at once.
template <class Fields>
class FieldDialog {
public:
    virtual ~FieldDialog() = default;
    virtual bool exec(Fields& fields) = 0;
};

/// Where the person left a field as it was shown, the field takes the
/// exact text of the stored value: the shown text may be rounded ("3GHz"
/// for 2.99e9), and OK must not replace a value by its rounding. texts are
/// the text members to treat so.
template <class Fields, class... Texts>
void KeepExactWhereUnchanged(Fields& edited, const Fields& shown, const Fields& exact, Texts... texts) {
    ((edited.*texts == shown.*texts ? void(edited.*texts = exact.*texts) : void()), ...);
}

}  // namespace vantor
