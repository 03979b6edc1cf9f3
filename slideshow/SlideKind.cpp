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

SlideKind slideKindOf(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || path.indexOf(QLatin1Char('/'), dot) >= 0)
        return SlideKind::None;
    const QString ext = upperAscii(path.mid(dot));
    if (ext == QLatin1String(".JPG") || ext == QLatin1String(".JPEG"))
        return SlideKind::Jpeg;
    if (ext == QLatin1String(".PNG"))
        return SlideKind::Png;
    if (ext == QLatin1String(".BMP"))
        return SlideKind::Bmp;
    if (ext == QLatin1String(".RTF"))
        return SlideKind::Rtf;
    if (ext == QLatin1String(".TXT"))
        return SlideKind::Text;
    return SlideKind::None;
}

ImageFormat imageFormatOf(SlideKind kind)
{
    switch (kind) {
    case SlideKind::Png:
        return ImageFormat::Png;
    case SlideKind::Bmp:
        return ImageFormat::Bmp;
    default:
        return ImageFormat::Jpeg;
    }
}

qint64 slideFileSize(const QString &path)
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

QString slideDimensionsText(const QString &path, SlideKind kind)
{
    if (!isPictureKind(kind))
        return QString();
    const QSize size = imageDimensions(path, imageFormatOf(kind));
    return QStringLiteral("%1 X %2").arg(size.width()).arg(size.height());
}

} // namespace quorix
