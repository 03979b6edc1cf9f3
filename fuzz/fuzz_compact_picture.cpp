// libFuzzer target for the compact picture's reader: any bytes, decoded. The chunks'
// checksums are put right first, so that the mutations reach the header checks, the
// decompression and the row filters rather than stopping at the first checksum.
// Built only with clang and -DQUORIX_FUZZ=ON (see fuzz/CMakeLists.txt).
#include "exchange/CompactPicture.h"
#include "imaging/ImageDecoder.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <zlib.h>

namespace {

quint32 big32(const QByteArray &b, qsizetype at)
{
    return quint32(quint8(b[at])) << 24 | quint32(quint8(b[at + 1])) << 16 |
           quint32(quint8(b[at + 2])) << 8 | quint8(b[at + 3]);
}

// A PNG file is an 8-byte signature and then chunks: a 4-byte length, a 4-byte type, the
// data and a 4-byte checksum of type and data.
constexpr qsizetype kSignatureBytes = 8;
constexpr qsizetype kFieldBytes = 4;
constexpr qsizetype kChunkOverhead = 3 * kFieldBytes;

void fixChecksums(QByteArray &b)
{
    for (qsizetype at = kSignatureBytes; at + kChunkOverhead <= b.size();) {
        const qsizetype n = big32(b, at);
        if (n > b.size() - at - kChunkOverhead)
            return;
        const qsizetype type = at + kFieldBytes;
        const uLong crc =
            crc32(0, reinterpret_cast<const Bytef *>(b.constData() + type), uInt(kFieldBytes + n));
        for (qsizetype i = 0; i < kFieldBytes; ++i)
            b[type + kFieldBytes + n + i] = char(crc >> (24 - 8 * i));
        at += n + kChunkOverhead;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    fixChecksums(bytes);
    try {
        quorix::decodeCompactPicture(bytes, QStringLiteral("shar.png"));
    } catch (const quorix::ImageError &) {
    }
    return 0;
}
