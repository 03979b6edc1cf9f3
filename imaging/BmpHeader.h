#pragma once
// The fixed part of a Windows bitmap's two headers, read the same way by the decoder and by
// the viewer's check that a shar.bmp is complete.
#include <QByteArray>
#include <QtGlobal>

namespace quorix {

// Bytes from the start of the file that hold everything BmpHeader reads.
constexpr qsizetype kBmpHeadBytes = 34;

struct BmpHeader
{
    enum class Status
    {
        Ok,
        NotBitmap,    // no "BM" at the start
        CutShort,     // the bytes end inside the headers
        UnknownHeader // an info header that is neither the old 12-byte one nor 40 bytes or more
    };
    Status status = Status::CutShort;
    quint32 dataOffset = 0; // where the rows begin
    quint32 infoSize = 0;   // 12: the old OS/2 core header, with 16-bit sides
    long long width = 0;    // may be negative in a hostile file
    long long height = 0;   // a negative height in the file (top-down rows) is given positive
    quint16 bitsPerPixel = 0;
    quint32 compression = 0; // always 0 (none) for the core header

    // Uncompressed rows and bit fields have a fixed length; RLE and the rest do not.
    bool fixedRowLength() const { return compression == 0 || compression == 3 || compression == 6; }
    // One row's bytes, padded to four.
    long long rowBytes() const { return (width * bitsPerPixel + 31) / 32 * 4; }
};

// Reads the headers from the first bytes of a file (kBmpHeadBytes of them, or fewer when the
// file is shorter). dataOffset and infoSize are filled whenever 26 bytes are there.
BmpHeader parseBmpHeader(const QByteArray &head);

} // namespace quorix
