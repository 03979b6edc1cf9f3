#include "platform/BmpFile.h"

#include "platform/OpaqueCopy.h"
#include "platform/WholeFile.h"

#include <cstring>
#include <vector>

namespace quorix {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kHeadersSize = kFileHeaderSize + kInfoHeaderSize;

void put16(char *p, quint16 v)
{
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

void put32(char *p, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The file and info headers of a bottom-up picture of width x height.
void putHeaders(char *h, quint32 width, quint32 height, quint16 bits = 32)
{
    const quint64 stride = bits == 24 ? bmp24Stride(int(width)) : quint64(width) * 4;
    const quint64 pixelBytes = stride * height;
    std::memset(h, 0, kHeadersSize);
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, static_cast<quint32>(kHeadersSize + pixelBytes));
    put32(h + 10, kHeadersSize);
    char *info = h + kFileHeaderSize;
    put32(info + 0, kInfoHeaderSize);
    put32(info + 4, width);
    put32(info + 8, height); // positive: rows are stored bottom-up
    put16(info + 12, 1);     // planes
    put16(info + 14, bits);  // bits per pixel
    put32(info + 16, 0);     // BI_RGB
    put32(info + 20, static_cast<quint32>(pixelBytes));
    put32(info + 24, 3780); // 96 dpi in pixels per metre
    put32(info + 28, 3780);
}

// Encodes into `bytes`, reusing its memory when it is the right size and held nowhere else.
void encodeInto(QByteArray &bytes, const QImage &source)
{
    // Format_RGB32 / ARGB32 are stored as B, G, R, A bytes on little-endian machines: the
    // BMP pixel order. Other formats are converted once.
    QImage image = source;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32 &&
        !image.isNull())
        image = image.convertToFormat(QImage::Format_RGB32);

    const quint32 width = image.isNull() ? 0 : static_cast<quint32>(image.width());
    const quint32 height = image.isNull() ? 0 : static_cast<quint32>(image.height());
    const quint64 pixelBytes = quint64(width) * height * 4;

    bytes.resize(kHeadersSize + static_cast<qsizetype>(pixelBytes));
    char *h = bytes.data();
    putHeaders(h, width, height);

    char *out = h + kHeadersSize;
    for (quint32 row = 0; row < height; ++row) {
        const auto *in =
            reinterpret_cast<const quint32 *>(image.constScanLine(int(height - 1 - row)));
        opaqueCopy(out, in, width);
        out += std::size_t(width) * 4;
    }
}

} // namespace

std::size_t bmp24Stride(int width)
{
    return (std::size_t(width) * 3 + 3) & ~std::size_t(3);
}

QByteArray bmp24Headers(int width, int height)
{
    QByteArray h(kHeadersSize, '\0');
    putHeaders(h.data(), quint32(width), quint32(height), 24);
    return h;
}

QByteArray encodeBmp(const QImage &image)
{
    QByteArray bytes;
    encodeInto(bytes, image);
    return bytes;
}

void writeBmpFile(const QString &path, const QImage &image)
{
    // Format_RGB32 rows are already the file's pixels (its fourth byte is 255 by the
    // format's own rule), so a capture of several megabytes goes out straight from the
    // picture, row by row, without being copied first.
    if (image.format() == QImage::Format_RGB32 && !image.isNull()) {
        char headers[kHeadersSize];
        const auto width = static_cast<quint32>(image.width());
        const auto height = static_cast<quint32>(image.height());
        putHeaders(headers, width, height);
        std::vector<FilePiece> pieces;
        pieces.reserve(height + 1);
        pieces.push_back({headers, sizeof headers});
        for (quint32 row = 0; row < height; ++row)
            pieces.push_back(
                {reinterpret_cast<const char *>(image.constScanLine(int(height - 1 - row))),
                 std::size_t(width) * 4});
        writeWholeFile(path, pieces);
        return;
    }
    thread_local QByteArray buffer;
    encodeInto(buffer, image);
    writeWholeFile(path, buffer);
    if (buffer.capacity() > (qsizetype(1) << 26))
        buffer = QByteArray(); // a huge one-off picture is not kept
}

} // namespace quorix
