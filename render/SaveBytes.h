#pragma once
// Files the drawings write (report, graph pictures, curves) are saved as a
// design is: whole or not at all.

#include <QByteArray>
#include <QString>

namespace vantor::render {

/// Writes bytes to path through a temporary file and a rename; the old file
/// stays on failure. False with the reason (German) in error.
bool SaveBytes(const QByteArray& bytes, const QString& path, QString& error);

}  // namespace vantor::render
