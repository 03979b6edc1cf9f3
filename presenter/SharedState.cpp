#include "presenter/SharedState.h"

#include "core/LineFile.h"
#include "exchange/CompactPicture.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"

#include <QRandomGenerator>

namespace quorix {

namespace {

// The picture's two files: the compact picture first, renamed into place, so Quorix's own
// viewers need not wait for the bitmap; then shar.bmp in place (unless only Quorix viewers
// are in the room). The compact picture's tag says that this frame's bitmap follows and
// how long it is: the viewer takes the next change of shar.bmp to be that bitmap and never
// reads it, and shows any other change of it (another presenter program's picture).
void writePicture(const QString &folder, const QImage &bitmap, bool onlyQuorixViewers, FrameTag tag)
{
    tag.bitmapBytes = onlyQuorixViewers ? -1
                                        : qint64(bmp24Headers(0, 0).size()) +
                                              qint64(bmp24Stride(bitmap.width())) * bitmap.height();
    replaceWholeFile(folder + kCompactPictureName,
                     encodeCompactPicture(bitmap, RowFilter::Up, tag));
    if (!onlyQuorixViewers)
        writeBmpFile(folder + "shar.bmp", bitmap);
}

} // namespace

SharedState::SharedState(QObject *parent)
    : QObject(parent), run_(QRandomGenerator::system()->generate64() | 1)
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

FrameTag SharedState::nextTag()
{
    return {run_, ++frames_, -1};
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
    writeThrough(SendingThread::Kind::Picture, [&, tag = nextTag()] {
        writePicture(sharedFolder_, bitmap, onlyQuorixViewers, tag);
    });
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
                 [folder = sharedFolder_, frame, only = onlyQuorixViewers, tag = nextTag()] {
                     writePicture(folder, frame, only, tag);
                 });
    return Sent::Written;
}

Sent SharedState::sendBitmapFile(const Bmp24File &bmp)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    writeThrough(SendingThread::Kind::Picture, [&, tag = nextTag()]() mutable {
        tag.bitmapBytes =
            onlyQuorixViewers ? -1 : qint64(bmp.headers.size()) + qint64(bmp.pixelBytes);
        replaceWholeFile(sharedFolder_ + kCompactPictureName, encodeCompactPicture(bmp, tag));
        if (!onlyQuorixViewers)
            writeWholeFile(sharedFolder_ + "shar.bmp",
                           {{bmp.headers.constData(), std::size_t(bmp.headers.size())},
                            {reinterpret_cast<const char *>(bmp.pixels.get()), bmp.pixelBytes}});
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
