#include "exchange/CompactPicture.h"

#include "imaging/ImageDecoder.h"
#include "imaging/PixelRows.h"

#include "imaging/BmpFile.h"

#include <QFileInfo>
#include <QtEndian>

#include <libdeflate.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace quorix {

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// PNG allows chunks of up to 2^31 - 1 bytes; the compressed rows go out in pieces well
// below that.
constexpr std::size_t kMaxChunk = std::size_t(1) << 30;
// Work buffers larger than this (a huge one-off picture) are not kept between pictures.
constexpr std::size_t kKeepBytes = std::size_t(1) << 26;

using Bytes = std::vector<unsigned char>;

void put32(unsigned char *p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

std::uint32_t get32(const unsigned char *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void appendChunk(QByteArray &out, const char *type, const unsigned char *data, std::size_t n)
{
    unsigned char head[8];
    put32(head, std::uint32_t(n));
    std::memcpy(head + 4, type, 4);
    out.append(reinterpret_cast<const char *>(head), 8);
    if (n > 0)
        out.append(reinterpret_cast<const char *>(data), qsizetype(n));
    const std::uint32_t crc = std::uint32_t(
        libdeflate_crc32(libdeflate_crc32(0, type, 4),
                         data ? data : reinterpret_cast<const unsigned char *>(""), n));
    unsigned char tail[4];
    put32(tail, crc);
    out.append(reinterpret_cast<const char *>(tail), 4);
}

// libdeflate's compressor and decompressor, made at their first use in a thread and kept
// for the next picture. Without memory for one, that picture fails with an error and the
// next one tries again.
struct Compressor
{
    libdeflate_compressor *c = nullptr;
    ~Compressor()
    {
        if (c)
            libdeflate_free_compressor(c);
    }
    libdeflate_compressor *get()
    {
        if (!c)
            c = libdeflate_alloc_compressor(2);
        if (!c)
            throw ImageError("Not enough memory to compress the picture");
        return c;
    }
};

struct Decompressor
{
    libdeflate_decompressor *d = nullptr;
    ~Decompressor()
    {
        if (d)
            libdeflate_free_decompressor(d);
    }
    libdeflate_decompressor *get()
    {
        if (!d)
            d = libdeflate_alloc_decompressor();
        if (!d)
            throw ImageError("Not enough memory for the picture");
        return d;
    }
};

void dropIfHuge(Bytes &b)
{
    if (b.capacity() > kKeepBytes)
        Bytes().swap(b);
}

[[noreturn]] void fail(const QString &name, const QString &why)
{
    throw ImageError(QStringLiteral("Cannot read the PNG picture %1: %2")
                         .arg(QFileInfo(name).fileName(), why)
                         .toStdString());
}

// Undoes one row's filter in place (`row` holds the filtered bytes, `prev` the row above,
// all zero for the first). Returns false for an unknown filter.
bool unfilter(unsigned char type, unsigned char *row, const unsigned char *prev, std::size_t n)
{
    constexpr std::size_t bpp = 3;
    switch (type) {
    case 0:
        return true;
    case 1:
        for (std::size_t i = bpp; i < n; ++i)
            row[i] = static_cast<unsigned char>(row[i] + row[i - bpp]);
        return true;
    case 2:
        addRow(row, prev, n);
        return true;
    case 3:
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned left = i >= bpp ? row[i - bpp] : 0;
            row[i] = static_cast<unsigned char>(row[i] + ((left + prev[i]) >> 1));
        }
        return true;
    case 4:
        for (std::size_t i = 0; i < n; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0;
            const int b = prev[i];
            const int c = i >= bpp ? prev[i - bpp] : 0;
            const int p = a + b - c;
            const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            row[i] = static_cast<unsigned char>(row[i] + predictor);
        }
        return true;
    default:
        return false;
    }
}

// The PNG of a picture whose rows `rgbRow` gives as R, G, B, top row first.
QByteArray encodeRows(int width, int height, RowFilter filter, const FrameTag &tag,
                      const std::function<void(int, unsigned char *)> &rgbRow)
{
    const std::size_t stride = std::size_t(width) * 3;
    // The filtered rows, each led by its filter type, as one block for the compressor.
    thread_local Bytes raw;
    thread_local Bytes rows[2];
    raw.resize((stride + 1) * std::size_t(height));
    rows[0].resize(stride);
    rows[1].resize(stride);
    unsigned char *prev = rows[0].data();
    unsigned char *cur = rows[1].data();
    for (int y = 0; y < height; ++y) {
        unsigned char *out = raw.data() + (stride + 1) * std::size_t(y);
        rgbRow(y, cur);
        if (filter == RowFilter::Up && y > 0) {
            out[0] = 2;
            subtractRow(out + 1, cur, prev, stride);
        } else {
            out[0] = 0;
            std::memcpy(out + 1, cur, stride);
        }
        std::swap(prev, cur);
    }

    thread_local Compressor compressor;
    libdeflate_compressor *c = compressor.get();
    thread_local Bytes z;
    z.resize(libdeflate_zlib_compress_bound(c, raw.size()));
    const std::size_t zSize =
        libdeflate_zlib_compress(c, raw.data(), raw.size(), z.data(), z.size());

    QByteArray out;
    out.reserve(qsizetype(sizeof kSignature + 25 + zSize + 12 * (zSize / kMaxChunk + 2)));
    out.append(reinterpret_cast<const char *>(kSignature), sizeof kSignature);
    unsigned char header[13];
    put32(header, std::uint32_t(width));
    put32(header + 4, std::uint32_t(height));
    header[8] = 8;  // bits per channel
    header[9] = 2;  // RGB
    header[10] = 0; // deflate
    header[11] = 0; // adaptive filtering
    header[12] = 0; // not interlaced
    appendChunk(out, "IHDR", header, sizeof header);
    if (tag.present()) {
        const QByteArray text =
            QByteArray(kFrameTagKeyword) + '\0' + QByteArray::number(tag.run, 16) + ' ' +
            QByteArray::number(tag.frame) + ' ' + QByteArray::number(tag.bitmapBytes);
        appendChunk(out, "tEXt", reinterpret_cast<const unsigned char *>(text.constData()),
                    std::size_t(text.size()));
    }
    for (std::size_t at = 0; at < zSize; at += kMaxChunk)
        appendChunk(out, "IDAT", z.data() + at, std::min(kMaxChunk, zSize - at));
    appendChunk(out, "IEND", nullptr, 0);
    dropIfHuge(raw);
    dropIfHuge(z);
    return out;
}

} // namespace

QByteArray encodeCompactPicture(const QImage &source, RowFilter filter, const FrameTag &tag)
{
    if (source.isNull())
        return {};
    QImage image = source;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    return encodeRows(image.width(), image.height(), filter, tag,
                      [&image](int y, unsigned char *rgb) {
                          bgrxToRgb(rgb, image.constScanLine(y), image.width());
                      });
}

QByteArray encodeCompactPicture(const Bmp24File &bmp, const FrameTag &tag)
{
    const auto *h = reinterpret_cast<const uchar *>(bmp.headers.constData());
    if (bmp.headers.size() < 54)
        return {};
    const int width = qFromLittleEndian<qint32>(h + 18);
    const int height = qFromLittleEndian<qint32>(h + 22);
    if (width <= 0 || height <= 0)
        return {};
    const std::size_t stride = bmp24Stride(width);
    return encodeRows(width, height, RowFilter::Up, tag, [&](int y, unsigned char *rgb) {
        // Bottom-up rows.
        bgrToRgb(rgb, bmp.pixels.get() + stride * std::size_t(height - 1 - y), width);
    });
}

FrameTag readFrameTag(const QByteArray &bytes)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const std::size_t size = std::size_t(bytes.size());
    if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return {};
    const QByteArray keyword = QByteArray(kFrameTagKeyword) + '\0';
    for (std::size_t at = sizeof kSignature; size - at >= 12;) {
        const std::size_t n = get32(data + at);
        if (n > size - at - 12)
            return {};
        const unsigned char *type = data + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            return {};
        const QByteArray body(reinterpret_cast<const char *>(type + 4), qsizetype(n));
        if (std::memcmp(type, "tEXt", 4) == 0 && body.startsWith(keyword) &&
            std::uint32_t(libdeflate_crc32(0, type, n + 4)) == get32(type + 4 + n)) {
            const QList<QByteArray> fields = body.mid(keyword.size()).split(' ');
            bool ok[3] = {};
            FrameTag tag;
            if (fields.size() == 3) {
                tag.run = fields[0].toULongLong(&ok[0], 16);
                tag.frame = fields[1].toULongLong(&ok[1]);
                tag.bitmapBytes = fields[2].toLongLong(&ok[2]);
            }
            if (!ok[0] || !ok[1] || !ok[2] || tag.run == 0 || tag.bitmapBytes < -1)
                return {};
            return tag;
        }
        at += n + 12;
    }
    return {};
}

QImage decodeCompactPicture(const QByteArray &bytes, const QString &name)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const std::size_t size = std::size_t(bytes.size());
    if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        fail(name, QStringLiteral("not a PNG file"));

    std::uint32_t width = 0, height = 0;
    bool simple = false, header = false, end = false;
    std::vector<std::pair<const unsigned char *, std::size_t>> idat;
    std::size_t idatBytes = 0;
    for (std::size_t at = sizeof kSignature; !end;) {
        if (size - at < 12)
            fail(name, QStringLiteral("the file is cut short"));
        const std::size_t n = get32(data + at);
        if (n > size - at - 12)
            fail(name, QStringLiteral("the file is cut short"));
        const unsigned char *type = data + at + 4;
        const unsigned char *body = type + 4;
        if (std::uint32_t(libdeflate_crc32(0, type, n + 4)) != get32(body + n))
            fail(name, QStringLiteral("the file is damaged"));
        if (!header) {
            if (std::memcmp(type, "IHDR", 4) != 0 || n < 13)
                fail(name, QStringLiteral("the header is missing"));
            header = true;
            width = get32(body);
            height = get32(body + 4);
            simple =
                body[8] == 8 && body[9] == 2 && body[10] == 0 && body[11] == 0 && body[12] == 0;
            if (!simple) // another kind of PNG: the general reader takes it
                return decodePngBytes(bytes, name, QSize()).convertToFormat(QImage::Format_RGB32);
            checkImageSize(name, width, height);
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            idat.emplace_back(body, n);
            idatBytes += n;
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            end = true;
        }
        at += n + 12;
    }

    // The compressed stream in one piece: as it lies in the file when there is one IDAT.
    thread_local Bytes joined;
    const unsigned char *z = idat.empty() ? data : idat.front().first;
    if (idat.size() > 1) {
        joined.clear();
        joined.reserve(idatBytes);
        for (const auto &[p, n] : idat)
            joined.insert(joined.end(), p, p + n);
        z = joined.data();
    }
    const std::size_t stride = std::size_t(width) * 3;
    thread_local Bytes raw;
    raw.resize((stride + 1) * height);
    thread_local Decompressor decompressor;
    if (libdeflate_zlib_decompress(decompressor.get(), z, idatBytes, raw.data(), raw.size(),
                                   nullptr) != LIBDEFLATE_SUCCESS)
        fail(name, QStringLiteral("the pixels are damaged or cut short"));

    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        throw ImageError("Not enough memory for the picture");
    thread_local Bytes zeros;
    zeros.assign(stride, 0);
    const unsigned char *prev = zeros.data();
    for (std::uint32_t y = 0; y < height; ++y) {
        unsigned char *row = raw.data() + (stride + 1) * y;
        if (!unfilter(row[0], row + 1, prev, stride))
            fail(name, QStringLiteral("the file is damaged"));
        rgbToOpaque(reinterpret_cast<std::uint32_t *>(image.scanLine(int(y))), row + 1, int(width));
        prev = row + 1;
    }
    dropIfHuge(raw);
    dropIfHuge(joined);
    return image;
}

} // namespace quorix
