#pragma once
// Writing a captured picture of the 3D view as a bitmap file: BMP, or PNG
// when the name ends in .png. Whole or not at all.

#include <QImage>
#include <QString>

namespace vantor::view3d {

/// "Cannot save the BMP file <path> !!!"
QString CannotSaveMessage(const QString& path);
/// "HDIB handle is NULL, save abort !!!"
QString NoBitmapMessage();

/// Writes image to path; on failure error holds the message and no file
/// (not even a partial one) is left at path.
bool SaveBitmap(const QImage& image, const QString& path, QString& error);

}  // namespace vantor::view3d
