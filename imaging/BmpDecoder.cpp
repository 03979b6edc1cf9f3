// Windows bitmaps through Qt's reader, which opens every variant a presenter meets (1, 4,
// 8, 16, 24 and 32 bits, RLE4 and RLE8, top-down rows, bit fields, V4 and V5 headers). The
// size comes from the file's own header first, so an absurd one is refused before anything
// is allocated.
#include "imaging/ImageDecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>

namespace quorix {

namespace {

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw ImageError(QStringLiteral("Cannot read the bitmap %1: %2")
                         .arg(QFileInfo(path).fileName(), why)
                         .toStdString());
}

} // namespace

QSize bmpDimensions(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    const QByteArray h = file.read(26);
    if (h.size() < 2 || h[0] != 'B' || h[1] != 'M')
        fail(path, QStringLiteral("not a bitmap file"));
    if (h.size() < 26)
        fail(path, QStringLiteral("the file is cut short"));
    const auto *p = reinterpret_cast<const uchar *>(h.constData());
    const quint32 infoSize = qFromLittleEndian<quint32>(p + 14);
    long long width = 0;
    long long height = 0;
    if (infoSize == 12) { // the old OS/2 core header: 16-bit sides
        width = qFromLittleEndian<quint16>(p + 18);
        height = qFromLittleEndian<quint16>(p + 20);
    } else if (infoSize >= 40) {
        width = qFromLittleEndian<qint32>(p + 18);
        height = std::llabs(qFromLittleEndian<qint32>(p + 22)); // negative: top-down rows
    } else {
        fail(path, QStringLiteral("unknown header"));
    }
    checkImageSize(path, width, height);
    return {int(width), int(height)};
}

namespace {

// Qt's reader shows the rows it found of a file cut short; a file too short for the rows
// its header promises is refused here instead. Compressed rows have no fixed length.
void checkUncompressedLength(const QString &path, QSize size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    const QByteArray h = file.read(34);
    if (h.size() < 26)
        fail(path, QStringLiteral("the file is cut short"));
    const auto *p = reinterpret_cast<const uchar *>(h.constData());
    const quint32 dataOffset = qFromLittleEndian<quint32>(p + 10);
    const bool core = qFromLittleEndian<quint32>(p + 14) == 12;
    const quint16 bits = qFromLittleEndian<quint16>(p + (core ? 24 : 28));
    const quint32 compression = core || h.size() < 34 ? 0 : qFromLittleEndian<quint32>(p + 30);
    if (compression != 0 && compression != 3 && compression != 6)
        return;
    const long long stride = (static_cast<long long>(size.width()) * bits + 31) / 32 * 4;
    if (dataOffset + stride * size.height() > file.size())
        fail(path, QStringLiteral("the file is cut short"));
}

} // namespace

QImage decodeBmp(const QString &path)
{
    const QSize size = bmpDimensions(path);
    checkUncompressedLength(path, size);
    // Qt's own limit (256 MB) is below what the pixel limit admits.
    const int neededMb = int(4LL * size.width() * size.height() / (1024 * 1024)) + 1;
    if (QImageReader::allocationLimit() < neededMb)
        QImageReader::setAllocationLimit(neededMb);
    QImageReader reader(path, "bmp");
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull())
        fail(path, reader.errorString());
    return opaqueOverWhite(std::move(image));
}

} // namespace quorix
