#include "imaging/BmpHeader.h"

#include <QtEndian>

#include <cstdlib>

namespace quorix {

BmpHeader parseBmpHeader(const QByteArray &head)
{
    BmpHeader h;
    if (head.size() < 2 || head[0] != 'B' || head[1] != 'M') {
        h.status = BmpHeader::Status::NotBitmap;
        return h;
    }
    if (head.size() < 26)
        return h; // cut short
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    h.dataOffset = qFromLittleEndian<quint32>(p + 10);
    h.infoSize = qFromLittleEndian<quint32>(p + 14);
    if (h.infoSize == 12) {
        h.width = qFromLittleEndian<quint16>(p + 18);
        h.height = qFromLittleEndian<quint16>(p + 20);
        h.bitsPerPixel = qFromLittleEndian<quint16>(p + 24);
    } else if (h.infoSize >= 40) {
        if (head.size() < kBmpHeadBytes)
            return h; // the 40-byte header itself is cut short
        h.width = qFromLittleEndian<qint32>(p + 18);
        h.height = std::llabs(qFromLittleEndian<qint32>(p + 22));
        h.bitsPerPixel = qFromLittleEndian<quint16>(p + 28);
        h.compression = qFromLittleEndian<quint32>(p + 30);
    } else {
        h.status = BmpHeader::Status::UnknownHeader;
        return h;
    }
    h.status = BmpHeader::Status::Ok;
    return h;
}

} // namespace quorix
