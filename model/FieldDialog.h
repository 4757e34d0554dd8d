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

}  // namespace vantor
