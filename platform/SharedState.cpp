#include "platform/SharedState.h"

#include "platform/BmpFile.h"
#include "platform/CompactPicture.h"
#include "platform/ImageDecoder.h"
#include "platform/LineFile.h"

namespace quorix {

void SharedState::setSharedFolder(const QString &path)
{
    if (path == sharedFolder_)
        return;
    sharedFolder_ = path;
    emit sharedFolderChanged();
}

Sent SharedState::skipped(Sent reason)
{
    emit notSent(reason);
    return reason;
}

Sent SharedState::sendBitmap(const QImage &bitmap)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    if (bitmap.isNull())
        return skipped(Sent::NoPicture);
    const QByteArray compact = encodeCompactPicture(bitmap);
    if (!onlyQuorixViewers)
        writeBmpFile(sharedFolder_ + "shar.bmp", bitmap);
    replaceWholeFile(sharedFolder_ + kCompactPictureName, compact);
    emit sent();
    return Sent::Written;
}

Sent SharedState::sendBitmapFile(const Bmp24File &bmp)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    const QByteArray compact = encodeCompactPicture(bmp);
    if (!onlyQuorixViewers)
        writeWholeFile(sharedFolder_ + "shar.bmp",
                       {{bmp.headers.constData(), std::size_t(bmp.headers.size())},
                        {reinterpret_cast<const char *>(bmp.pixels.get()), bmp.pixelBytes}});
    replaceWholeFile(sharedFolder_ + kCompactPictureName, compact);
    emit sent();
    return Sent::Written;
}

Sent SharedState::sendRtf(const QByteArray &rtf)
{
    return sendPieces(QStringLiteral("shar.rtf"), {{rtf.constData(), std::size_t(rtf.size())}});
}

Sent SharedState::sendPieces(const QString &name, const std::vector<FilePiece> &pieces)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    writeWholeFile(sharedFolder_ + name, pieces);
    emit sent();
    return Sent::Written;
}

Sent SharedState::writeRunState()
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    writeLineFile(sharedFolder_ + "quorixlog.cfg", {QStringLiteral("Run")});
    return Sent::Written;
}

} // namespace quorix
