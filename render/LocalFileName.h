#pragma once
// File names are bytes to the system. Qt decodes them as UTF-8 and turns a
// byte that is not UTF-8 into U+FFFD, so such a file could never be reached
// again. Here each such byte is kept as a lone surrogate (U+DC80..U+DCFF)
// and turned back into the same byte on the way out; valid names come out
// exactly as QFile::decodeName/encodeName give them.

#include <filesystem>

#include <QByteArray>
#include <QString>

namespace vantor::render {

/// The name for the system's bytes of a file name.
QString FileNameFromBytes(const QByteArray& bytes);
/// The system's bytes of a name made by FileNameFromBytes (or any name).
QByteArray FileNameBytes(const QString& name);
/// The name as a path for the core.
std::filesystem::path FsPath(const QString& name);
/// The name made absolute against the working folder and cleaned, without
/// going through Qt's decoding.
QString AbsoluteFileName(const QString& name);

}  // namespace vantor::render
