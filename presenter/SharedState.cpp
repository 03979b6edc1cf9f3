#include "presenter/SharedState.h"

#include "core/LineFile.h"
#include "exchange/CompactPicture.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"

namespace quorix {

namespace {

// The picture's two files: shar.bmp in place (unless only Quorix viewers are in the room),
// then the compact picture, renamed into place.
void writePicture(const QString &folder, const QImage &bitmap, bool onlyQuorixViewers)
{
    const QByteArray compact = encodeCompactPicture(bitmap);
    if (!onlyQuorixViewers)
        writeBmpFile(folder + "shar.bmp", bitmap);
    replaceWholeFile(folder + kCompactPictureName, compact);
}

} // namespace

SharedState::SharedState(QObject *parent) : QObject(parent)
{
    connect(&sender_, &SendingThread::written, this, [this](SendingThread::Kind kind) {
        if (kind == SendingThread::Kind::Picture)
            emit sent();
    });
    connect(&sender_, &SendingThread::failed, this,
            [this](SendingThread::Kind kind, const QString &why) {
                if (kind == SendingThread::Kind::Picture)
                    emit frameNotWritten(why);
            });
}

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
    writeThrough(SendingThread::Kind::Picture,
                 [&] { writePicture(sharedFolder_, bitmap, onlyQuorixViewers); });
    emit sent();
    return Sent::Written;
}

Sent SharedState::sendFrame(const QImage &frame)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    if (frame.isNull())
        return skipped(Sent::NoPicture);
    sender_.send(SendingThread::Kind::Picture,
                 [folder = sharedFolder_, frame, only = onlyQuorixViewers] {
                     writePicture(folder, frame, only);
                 });
    return Sent::Written;
}

Sent SharedState::sendBitmapFile(const Bmp24File &bmp)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    writeThrough(SendingThread::Kind::Picture, [&] {
        const QByteArray compact = encodeCompactPicture(bmp);
        if (!onlyQuorixViewers)
            writeWholeFile(sharedFolder_ + "shar.bmp",
                           {{bmp.headers.constData(), std::size_t(bmp.headers.size())},
                            {reinterpret_cast<const char *>(bmp.pixels.get()), bmp.pixelBytes}});
        replaceWholeFile(sharedFolder_ + kCompactPictureName, compact);
    });
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
    writeThrough(name.endsWith(QLatin1String(".rtf")) ? SendingThread::Kind::Text
                                                      : SendingThread::Kind::Other,
                 [&] { writeWholeFile(sharedFolder_ + name, pieces); });
    emit sent();
    return Sent::Written;
}

Sent SharedState::writeRunState()
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    writeThrough(SendingThread::Kind::Other,
                 [&] { writeLineFile(sharedFolder_ + "quorixlog.cfg", {QStringLiteral("Run")}); });
    return Sent::Written;
}

Sent SharedState::writeViewerSettings(const QStringList &lines)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    writeThrough(SendingThread::Kind::Other,
                 [&] { writeLineFile(sharedFolder_ + "quorix.cfg", lines); });
    return Sent::Written;
}

} // namespace quorix
