#include "SaveBytes.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <QFile>

#include "DocumentFile.h"

namespace vantor::render {

bool SaveBytes(const QByteArray& bytes, const QString& path, QString& error) {
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    std::string reason;
    if (WriteFileAtomically(std::filesystem::path(QFile::encodeName(path).toStdString()), data, reason)) return true;
    error = QString::fromStdString(reason);
    return false;
}

}  // namespace vantor::render
