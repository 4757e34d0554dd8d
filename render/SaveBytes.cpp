#include "SaveBytes.h"

#include <cstdint>
#include <string>
#include <vector>

#include "DocumentFile.h"
#include "LocalFileName.h"

namespace vantor::render {

bool SaveBytes(const QByteArray& bytes, const QString& path, QString& error) {
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    std::string reason;
    if (WriteFileAtomically(FsPath(path), data, reason)) return true;
    error = QString::fromStdString(reason);
    return false;
}

}  // namespace vantor::render
