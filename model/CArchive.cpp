#include "CArchive.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantor {

namespace {

// How much of a file a reading archive takes in at a time.
constexpr std::size_t kPiece = 64 * 1024;

// Code points of the bytes 0x80..0x9F; the unassigned ones keep their own.
const char32_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Cp1252ToCodePoint(unsigned char c) { return c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : c; }

int CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes UTF-8; each byte of a malformed sequence yields one '?'.
std::vector<char32_t> DecodeUtf8(const std::string& s) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        const int extra = (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 0;
        bool ok = extra > 0 && i + static_cast<std::size_t>(extra) < s.size();
        char32_t cp = c & (0x3Fu >> extra);
        for (int k = 1; ok && k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            ok = (d & 0xC0) == 0x80;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) {
            out.push_back('?');
            ++i;
            continue;
        }
        // Surrogates and values beyond Unicode are no characters.
        out.push_back((cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF ? U'?' : cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

bool FitsCp1252(const std::vector<char32_t>& text) {
    return std::all_of(text.begin(), text.end(), [](char32_t cp) { return cp == '?' || CodePointToCp1252(cp) != '?'; });
}

}  // namespace

std::string Utf8ToCp1252(const std::string& utf8) {
    std::string out;
    for (char32_t cp : DecodeUtf8(utf8)) out += static_cast<char>(CodePointToCp1252(cp));
    return out;
}

std::string Cp1252ToUtf8(const std::string& cp1252) {
    std::string out;
    for (char c : cp1252) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

CArchive::CArchive() : storing_(true) {}

CArchive::CArchive(std::vector<std::uint8_t> bytes) : storing_(false), bytes_(std::move(bytes)) {}

CArchive::CArchive(ArchiveSource& source) : storing_(false), source_(&source) {}

std::size_t CArchive::Remaining() const {
    const std::uint64_t left = bytes_.size() - pos_ + (source_ != nullptr ? source_->Left() : 0);
    return static_cast<std::size_t>(std::min<std::uint64_t>(left, SIZE_MAX));
}

void CArchive::WriteByte(std::uint8_t v) { bytes_.push_back(v); }

void CArchive::WriteWord(std::uint16_t v) {
    bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
}

void CArchive::WriteDword(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

void CArchive::WriteInt32(std::int32_t v) { WriteDword(static_cast<std::uint32_t>(v)); }

void CArchive::WriteDouble(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFF));
}

void CArchive::WriteLength(std::size_t n) {
    if (n < 255) {
        WriteByte(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteWord(static_cast<std::uint16_t>(n));
    } else {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteDword(static_cast<std::uint32_t>(n));
    }
}

void CArchive::WriteText(const std::string& utf8) {
    const std::vector<char32_t> text = DecodeUtf8(utf8);
    if (FitsCp1252(text)) {
        std::string s;
        for (char32_t cp : text) s += static_cast<char>(CodePointToCp1252(cp));
        WriteLength(s.size());
        bytes_.insert(bytes_.end(), s.begin(), s.end());
        return;
    }
    // Only texts that 1252 cannot hold take the 16-bit form, so that every
    // other file keeps its bytes.
    std::vector<std::uint16_t> units;
    for (char32_t cp : text) {
        if (cp < 0x10000) {
            units.push_back(static_cast<std::uint16_t>(cp));
        } else {
            units.push_back(static_cast<std::uint16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    WriteByte(0xFF);
    WriteWord(0xFFFE);
    WriteLength(units.size());
    for (std::uint16_t u : units) WriteWord(u);
}

void CArchive::WriteCount(std::size_t n) {
    if (n < 0xFFFF) {
        WriteWord(static_cast<std::uint16_t>(n));
    } else {
        WriteWord(0xFFFF);
        WriteDword(static_cast<std::uint32_t>(n));
    }
}

void CArchive::WriteIndex(std::uint32_t index, std::uint16_t flag) {
    if (index < 0x7FFF) {
        WriteWord(static_cast<std::uint16_t>(flag | index));
    } else {
        WriteWord(0x7FFF);
        WriteDword((flag != 0 ? 0x80000000u : 0u) | index);
    }
}

void CArchive::WriteObject(CObject* object) {
    if (object == nullptr) {
        WriteWord(0);
        return;
    }
    const std::string name = object->ClassName();
    auto it = std::find_if(writtenClasses_.begin(), writtenClasses_.end(),
                           [&](const auto& c) { return c.first == name; });
    if (it == writtenClasses_.end()) {
        WriteWord(0xFFFF);
        WriteWord(0);  // schema
        WriteWord(static_cast<std::uint16_t>(name.size()));
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        writtenClasses_.emplace_back(name, nextIndex_++);
    } else {
        WriteIndex(it->second, 0x8000);
    }
    ++nextIndex_;  // the object's own index
    object->Serialize(*this);
}

void CArchive::Need(std::size_t n, const char* what) {
    if (storing_) throw ArchiveError("Archiv wird geschrieben, nicht gelesen");
    if (Remaining() < n)
        throw ArchiveError(std::string("Unerwartetes Dateiende beim Lesen von ") + what + " (Position " +
                           std::to_string(consumed_ + pos_) + ")");
    const std::size_t have = bytes_.size() - pos_;
    if (have >= n) return;
    // Read on from the file: what the record needs, at least a piece of it,
    // never more than the file still holds.
    const std::size_t more = static_cast<std::size_t>(
        std::min<std::uint64_t>(std::max(n - have, kPiece), source_->Left()));
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(pos_));
    consumed_ += pos_;
    pos_ = 0;
    bytes_.resize(have + more);
    source_->Read(bytes_.data() + have, more);
}

std::uint8_t CArchive::ReadByte() {
    Need(1, "Byte");
    return bytes_[pos_++];
}

std::uint16_t CArchive::ReadWord() {
    Need(2, "Word");
    const std::uint16_t v = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
}

std::uint32_t CArchive::ReadDword() {
    Need(4, "Dword");
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes_[pos_ + static_cast<std::size_t>(i)]) << (8 * i);
    pos_ += 4;
    return v;
}

std::int32_t CArchive::ReadInt32() { return static_cast<std::int32_t>(ReadDword()); }

double CArchive::ReadDouble() {
    Need(8, "Double");
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<std::uint64_t>(bytes_[pos_ + static_cast<std::size_t>(i)]) << (8 * i);
    pos_ += 8;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::size_t CArchive::ReadLength(const char* what) {
    const std::uint8_t b = ReadByte();
    if (b < 0xFF) return b;
    const std::uint16_t w = ReadWord();
    if (w < 0xFFFE) return w;
    if (w == 0xFFFF) return ReadDword();
    throw ArchiveError(std::string("Ungültige Längenangabe in ") + what);
}

std::string CArchive::ReadText() {
    const std::uint8_t b = ReadByte();
    std::size_t n = b;
    bool wide = false;
    if (b == 0xFF) {
        const std::uint16_t w = ReadWord();
        if (w == 0xFFFE) {
            // 16-bit characters, with a length prefix of their own.
            wide = true;
            n = ReadLength("Text");
        } else if (w == 0xFFFF) {
            n = ReadDword();
        } else {
            n = w;
        }
    }
    if (!wide) {
        if (n > Remaining()) Need(n, "Text");
        // Converted a piece at a time: a long text is held once, as UTF-8.
        std::string utf8;
        while (n > 0) {
            const std::size_t piece = std::min(n, kPiece);
            Need(piece, "Text");
            for (std::size_t i = 0; i < piece; ++i) AppendUtf8(utf8, Cp1252ToCodePoint(bytes_[pos_ + i]));
            pos_ += piece;
            n -= piece;
        }
        return utf8;
    }
    if (n > Remaining() / 2) Need(Remaining() + 1, "Text");
    std::string utf8;
    for (std::size_t k = 0; k < n; ++k) {
        char32_t u = ReadWord();
        if (u >= 0xD800 && u < 0xDC00 && k + 1 < n) {
            Need(2, "Text");
            const std::uint16_t low = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
            if (low >= 0xDC00 && low < 0xE000) {
                pos_ += 2;
                ++k;
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        if (u >= 0xD800 && u < 0xE000) u = '?';
        AppendUtf8(utf8, u);
    }
    return utf8;
}

std::size_t CArchive::ReadCount() {
    const std::uint16_t w = ReadWord();
    if (w < 0xFFFF) return w;
    return ReadDword();
}

std::size_t CArchive::ReadListCount(std::size_t minBytes) {
    const std::size_t n = ReadCount();
    if (minBytes > 0 && n > Remaining() / minBytes)
        throw ArchiveError("Listenlänge " + std::to_string(n) + " größer als der Rest der Datei");
    return n;
}

std::unique_ptr<CObject> CArchive::ReadObject() { return ReadObjectImpl(nullptr); }

std::unique_ptr<CObject> CArchive::ReadObject(const char* expected) { return ReadObjectImpl(expected); }

std::unique_ptr<CObject> CArchive::ReadObjectImpl(const char* expected) {
    const std::uint16_t tag = ReadWord();
    if (tag == 0) return nullptr;

    std::string className;
    if (tag == 0xFFFF) {
        const std::uint16_t schema = ReadWord();
        const std::uint16_t len = ReadWord();
        Need(len, "Klassenname");
        className.assign(reinterpret_cast<const char*>(bytes_.data() + pos_), len);
        pos_ += len;
        if (!ClassRegistry::Known(className))
            throw ArchiveError("Unbekannte Klasse \"" + className + "\" in der Datei");
        if (schema != 0)
            throw ArchiveError("Unbekannte Schemanummer " + std::to_string(schema) + " der Klasse \"" + className +
                               "\"");
        readClasses_.emplace_back(nextIndex_++, className);
    } else {
        std::uint32_t index;
        bool isClass;
        if (tag == 0x7FFF) {
            const std::uint32_t d = ReadDword();
            isClass = (d & 0x80000000u) != 0;
            index = d & 0x7FFFFFFFu;
        } else {
            isClass = (tag & 0x8000) != 0;
            index = tag & 0x7FFFu;
        }
        if (!isClass) {
            const bool known = std::find(readObjects_.begin(), readObjects_.end(), index) != readObjects_.end();
            throw ArchiveError(known ? "Ein Objekt wird in der Datei mehrfach verwendet (Index " +
                                           std::to_string(index) + ")"
                                     : "Ungültiger Objektverweis " + std::to_string(index));
        }
        auto it = std::find_if(readClasses_.begin(), readClasses_.end(),
                               [&](const auto& c) { return c.first == index; });
        if (it == readClasses_.end()) throw ArchiveError("Ungültiger Klassenverweis " + std::to_string(index));
        className = it->second;
    }
    if (expected != nullptr && className != expected)
        throw ArchiveError("Objekt der Klasse \"" + className + "\" an einer Stelle, an der \"" + expected +
                           "\" stehen muss");
    std::unique_ptr<CObject> object = ClassRegistry::Create(className);
    readObjects_.push_back(nextIndex_++);
    object->Serialize(*this);
    return object;
}

}  // namespace vantor
