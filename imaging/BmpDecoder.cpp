// Windows bitmaps through Qt's reader, which opens every variant a presenter meets (1, 4,
// 8, 16, 24 and 32 bits, RLE4 and RLE8, top-down rows, bit fields, V4 and V5 headers). The
// size comes from the file's own header first, so an absurd one is refused before anything
// is allocated.
#include "imaging/BmpHeader.h"
#include "imaging/ImageDecoder.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace quorix {

namespace {

[[noreturn]] void fail(const QString &path, const QString &why)
{
    throw ImageError(QStringLiteral("Cannot read the bitmap %1: %2")
                         .arg(QFileInfo(path).fileName(), why)
                         .toStdString());
}

} // namespace

namespace {

// The headers of the file, checked as far as they go: its sides within the pixel limit.
BmpHeader readHeader(const QString &path, qint64 *fileSize = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(path, file.errorString());
    const BmpHeader h = parseBmpHeader(file.read(kBmpHeadBytes));
    switch (h.status) {
    case BmpHeader::Status::NotBitmap:
        fail(path, QStringLiteral("not a bitmap file"));
    case BmpHeader::Status::CutShort:
        fail(path, QStringLiteral("the file is cut short"));
    case BmpHeader::Status::UnknownHeader:
        fail(path, QStringLiteral("unknown header"));
    case BmpHeader::Status::Ok:
        break;
    }
    checkImageSize(path, h.width, h.height);
    if (fileSize)
        *fileSize = file.size();
    return h;
}

} // namespace

QSize bmpDimensions(const QString &path)
{
    const BmpHeader h = readHeader(path);
    return {int(h.width), int(h.height)};
}

QImage decodeBmp(const QString &path)
{
    qint64 fileSize = 0;
    const BmpHeader h = readHeader(path, &fileSize);
    // Qt's reader shows the rows it found of a file cut short; a file too short for the rows
    // its header promises is refused here instead. Compressed rows have no fixed length.
    if (h.fixedRowLength() && h.dataOffset + h.rowBytes() * h.height > fileSize)
        fail(path, QStringLiteral("the file is cut short"));
    const QSize size(int(h.width), int(h.height));
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
