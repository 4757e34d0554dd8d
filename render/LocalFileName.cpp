#include "LocalFileName.h"

#include <system_error>

#include <QDir>

namespace vantor::render {

namespace {

constexpr char16_t kEscape = 0xDC00;  // plus the byte, for bytes 0x80..0xFF

/// The length of the valid UTF-8 sequence at bytes[i] and its code point;
/// 0 when there is none (overlong forms and surrogates are not valid).
int Utf8Sequence(const QByteArray& bytes, qsizetype i, char32_t& code) {
    const auto b = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = b(i);
    int length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0)
        length = 2, min = 0x80, code = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, min = 0x800, code = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, min = 0x10000, code = lead & 0x07;
    else
        return 0;
    if (i + length > bytes.size()) return 0;
    for (int k = 1; k < length; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (b(i + k) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

QString FileNameFromBytes(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t code = 0;
        const int length = Utf8Sequence(bytes, i, code);
        if (length == 0) {
            name += QChar(char16_t(kEscape + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        name += QString::fromUcs4(&code, 1);
        i += length;
    }
    return name;
}

QByteArray FileNameBytes(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype from = 0;  // start of the run of ordinary characters
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        if (pair) {
            ++i;
            continue;
        }
        if (c < kEscape + 0x80 || c > kEscape + 0xFF) continue;
        bytes += QStringView(name).mid(from, i - from).toUtf8();
        bytes += static_cast<char>(c - kEscape);
        from = i + 1;
    }
    bytes += QStringView(name).mid(from).toUtf8();
    return bytes;
}

std::filesystem::path FsPath(const QString& name) { return std::filesystem::path(FileNameBytes(name).toStdString()); }

QString AbsoluteFileName(const QString& name) {
    if (name.isEmpty() || QDir::isAbsolutePath(name)) return QDir::cleanPath(name);
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    const QString folder = error ? QDir::currentPath() : FileNameFromBytes(QByteArray::fromStdString(here.native()));
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

}  // namespace vantor::render
