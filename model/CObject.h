#pragma once
// Base of every model class that is written to a document file by class
// name: run-time class name, dynamic creation by name, Serialize.

#include <functional>
#include <memory>
#include <string>

namespace vantor {

class CArchive;

class CObject {
public:
    virtual ~CObject() = default;
    /// The run-time class name written to files ("CLayer", "CCGroup" ...).
    virtual const char* ClassName() const = 0;
    /// Writes or reads the object's fields in their fixed order.
    virtual void Serialize(CArchive& ar) = 0;
};

/// Creates objects by class name while a file is read.
class ClassRegistry {
public:
    using Factory = std::function<std::unique_ptr<CObject>()>;

    static void Register(const std::string& name, Factory factory);
    /// A new object of the named class, or null for an unknown name.
    static std::unique_ptr<CObject> Create(const std::string& name);
    static bool Known(const std::string& name);
};

}  // namespace vantor
