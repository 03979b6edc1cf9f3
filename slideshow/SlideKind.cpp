#include "slideshow/SlideKind.h"

#include <QFileInfo>
#include <QMimeDatabase>

namespace quorix {

QString upperAscii(QString text)
{
    for (QChar &c : text)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return text;
}

int FileKind(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return skNone;
    const QString ext = upperAscii(path.mid(dot));
    if (ext == QLatin1String(".JPG") || ext == QLatin1String(".JPEG"))
        return skJpeg;
    if (ext == QLatin1String(".PNG"))
        return skPng;
    if (ext == QLatin1String(".BMP"))
        return skBmp;
    if (ext == QLatin1String(".RTF"))
        return skRtf;
    if (ext == QLatin1String(".TXT"))
        return skText;
    return skNone;
}

ImageFormat imageFormatOf(int kind)
{
    switch (kind) {
    case skPng:
        return ImageFormat::Png;
    case skBmp:
        return ImageFormat::Bmp;
    default:
        return ImageFormat::Jpeg;
    }
}

qint64 FileSizeOf(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? info.size() : -1;
}

QString slideFileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString slideLocation(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

QString slideRowPath(const QString &location, const QString &name)
{
    if (location.endsWith(QLatin1Char('/')))
        return location + name;
    return location + QLatin1Char('/') + name;
}

QString slideTypeName(const QString &path)
{
    static const QMimeDatabase mimes;
    return mimes.mimeTypeForFile(path).comment().left(79);
}

QString slideDimensionsText(const QString &path, int kind)
{
    if (!isPictureKind(kind))
        return QString();
    const QSize size = imageDimensions(path, imageFormatOf(kind));
    return QStringLiteral("%1 X %2").arg(size.width()).arg(size.height());
}

} // namespace quorix
