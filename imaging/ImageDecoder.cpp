#include "imaging/ImageDecoder.h"

#include <QFileInfo>
#include <QPainter>

namespace quorix {

void checkImageSize(const QString &path, long long width, long long height)
{
    if (width <= 0 || height <= 0)
        throw ImageError(QStringLiteral("%1 has no pixels (%2 x %3)")
                             .arg(QFileInfo(path).fileName())
                             .arg(width)
                             .arg(height)
                             .toStdString());
    // Each side first: sides of billions would overflow the product.
    if (width > kMaxImagePixels || height > kMaxImagePixels || width * height > kMaxImagePixels)
        throw ImageError(QStringLiteral("%1 is too large a picture (%2 x %3 pixels)")
                             .arg(QFileInfo(path).fileName())
                             .arg(width)
                             .arg(height)
                             .toStdString());
}

QImage opaqueOverWhite(QImage image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage opaque(image.size(), QImage::Format_RGB32);
    if (opaque.isNull())
        throw ImageError("Not enough memory for the picture");
    opaque.fill(Qt::white);
    QPainter p(&opaque);
    p.drawImage(0, 0, image);
    return opaque;
}

QSize imageDimensions(const QString &path, ImageFormat format)
{
    switch (format) {
    case ImageFormat::Jpeg:
        return jpegDimensions(path);
    case ImageFormat::Png:
        return pngDimensions(path);
    case ImageFormat::Bmp:
        break;
    }
    return bmpDimensions(path);
}

QImage decodeImage(const QString &path, ImageFormat format, QSize atLeast)
{
    switch (format) {
    case ImageFormat::Jpeg:
        return decodeJpeg(path, atLeast);
    case ImageFormat::Png:
        return decodePng(path, atLeast);
    case ImageFormat::Bmp:
        break;
    }
    return decodeBmp(path);
}

} // namespace quorix
