#include "BitmapExport.h"

#include <QBuffer>
#include <QFileInfo>

#include "SaveBytes.h"

namespace vantor::view3d {

QString CannotSaveMessage(const QString& path) {
    return QStringLiteral("Cannot save the BMP file <") + path + QStringLiteral("> !!!");
}

QString NoBitmapMessage() { return QStringLiteral("HDIB handle is NULL, save abort !!!"); }

bool SaveBitmap(const QImage& image, const QString& path, QString& error) {
    if (image.isNull()) {
        error = NoBitmapMessage();
        return false;
    }
    const bool png = QFileInfo(path).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // A BMP of 24-bit pixels opens in every viewer.
    const QImage pixels = png ? image : image.convertToFormat(QImage::Format_RGB888);
    QString reason;
    if (!pixels.save(&buffer, png ? "PNG" : "BMP") || !render::SaveBytes(bytes, path, reason)) {
        error = CannotSaveMessage(path);
        return false;
    }
    return true;
}

}  // namespace vantor::view3d
