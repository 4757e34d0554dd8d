#pragma once
// The document file's byte stream: little-endian primitives, texts in code
// page 1252 (16-bit where 1252 cannot hold them) with their length forms,
// list counts and object references with a class table. One reader and one
// writer for every model class.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "CObject.h"

namespace vantor {

/// A damaged or foreign file: says what is wrong and where.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Where a reading archive's bytes come from, front to back: a file read a
/// piece at a time, so that no more of it is held than the records need.
class ArchiveSource {
public:
    virtual ~ArchiveSource() = default;
    /// Bytes not yet read.
    virtual std::uint64_t Left() const = 0;
    /// Reads exactly n bytes (at most Left()) into to; throws when it cannot.
    virtual void Read(std::uint8_t* to, std::size_t n) = 0;
};

/// UTF-8 to code page 1252; characters it cannot hold become '?'.
std::string Utf8ToCp1252(const std::string& utf8);
/// Code page 1252 to UTF-8; the five unassigned bytes keep their code
/// points (U+0081 ...), so that reading and writing gives the same bytes.
std::string Cp1252ToUtf8(const std::string& cp1252);

class CArchive {
public:
    /// An archive that writes into memory.
    CArchive();
    /// An archive that reads the given bytes.
    explicit CArchive(std::vector<std::uint8_t> bytes);
    /// An archive that reads from source (which must outlive it) as far as
    /// the records go.
    explicit CArchive(ArchiveSource& source);

    bool IsStoring() const { return storing_; }
    bool IsLoading() const { return !storing_; }

    /// The bytes written so far.
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    /// Bytes not yet read: what every count is checked against before
    /// anything is allocated for it.
    std::size_t Remaining() const;

    void WriteInt32(std::int32_t v);
    void WriteByte(std::uint8_t v);
    void WriteWord(std::uint16_t v);
    void WriteDword(std::uint32_t v);
    void WriteDouble(double v);
    /// A UTF-8 text, written in code page 1252 when that holds every
    /// character, else in the 16-bit form (UTF-16LE).
    void WriteText(const std::string& utf8);
    void WriteCount(std::size_t n);
    /// Null, or the object's class record (first time) or class reference,
    /// followed by its own record.
    void WriteObject(CObject* object);

    std::int32_t ReadInt32();
    std::uint8_t ReadByte();
    std::uint16_t ReadWord();
    std::uint32_t ReadDword();
    double ReadDouble();
    /// A text in either character form, returned as UTF-8.
    std::string ReadText();
    std::size_t ReadCount();
    /// A list count, refused when the bytes left cannot hold that many
    /// elements of at least minBytes each.
    std::size_t ReadListCount(std::size_t minBytes = 2);
    /// A new object created by class name and read; null for the null
    /// reference. A reference to an object already read is refused: every
    /// object belongs to exactly one list.
    std::unique_ptr<CObject> ReadObject();
    /// The same for a list that holds only objects of class `expected`:
    /// another class is refused before anything is created, so a damaged
    /// file cannot nest objects where they do not belong.
    std::unique_ptr<CObject> ReadObject(const char* expected);

    /// Either direction through one call, for Serialize.
    void Int32(std::int32_t& v) { storing_ ? WriteInt32(v) : void(v = ReadInt32()); }
    void Double(double& v) { storing_ ? WriteDouble(v) : void(v = ReadDouble()); }
    void Text(std::string& v) { storing_ ? WriteText(v) : void(v = ReadText()); }

private:
    std::unique_ptr<CObject> ReadObjectImpl(const char* expected);
    /// Makes sure n bytes lie in bytes_ from pos_ on; refuses a record
    /// that runs past the end.
    void Need(std::size_t n, const char* what);
    std::size_t ReadLength(const char* what);
    void WriteLength(std::size_t n);
    void WriteIndex(std::uint32_t index, std::uint16_t flag);

    bool storing_;
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    ArchiveSource* source_ = nullptr;                                    // the rest after bytes_, when reading a file
    std::uint64_t consumed_ = 0;                                         // bytes dropped from the front of bytes_
    std::uint32_t nextIndex_ = 1;                                        // 0 stands for null
    std::vector<std::pair<std::string, std::uint32_t>> writtenClasses_;  // name, index
    std::vector<std::pair<std::uint32_t, std::string>> readClasses_;     // index, name
    std::vector<std::uint32_t> readObjects_;                             // object indices
};

/// One element of a list of T (class name `className`): null references and
/// other classes are refused.
template <class T>
std::unique_ptr<T> ReadListElement(CArchive& ar, const char* className) {
    std::unique_ptr<CObject> o = ar.ReadObject(className);
    T* typed = dynamic_cast<T*>(o.get());
    if (typed == nullptr) throw ArchiveError(std::string("Nullverweis in einer Liste von ") + className);
    o.release();
    return std::unique_ptr<T>(typed);
}

}  // namespace vantor
