#include "presenter/SharedState.h"

#include "core/FileError.h"
#include "core/LineFile.h"
#include "exchange/CompactPicture.h"
#include "exchange/ExchangeProtocol.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <chrono>

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace quorix {

namespace {

using Topic = StatusProblems::Topic;

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
        writeBmpFile(folder + kBitmapName, bitmap);
}

// The bytes a picture takes in the folder, about: its bitmap at three bytes a pixel and a
// compact picture of a tenth of that.
qint64 pictureBytes(const QImage &bitmap, bool onlyQuorixViewers)
{
    const qint64 bmp = qint64(bitmap.width()) * bitmap.height() * 3;
    return (onlyQuorixViewers ? 0 : bmp) + bmp / 10;
}

// A cheap look at a folder that refused a write: read-only or without room for a picture
// of `bytes` says so without writing; otherwise the run-state file is written again (a
// file the viewers only look for), which fails as a picture would on a folder that is
// gone. Throws FileError.
void probe(const QString &folder, qint64 bytes)
{
    const QByteArray name = QFile::encodeName(folder);
    struct statvfs fs
    {
    };
    if (::statvfs(name.constData(), &fs) == 0) {
        if (fs.f_flag & ST_RDONLY)
            throw FileError(QStringLiteral("The shared folder is read-only"), EROFS);
        // Some network file systems tell no sizes (no blocks at all): no judgement then.
        if (fs.f_blocks > 0 && bytes > 0) {
            // The bitmap is rewritten in place: what it takes now is room for the next.
            struct stat bmp
            {
            };
            const qint64 reused =
                ::stat(QFile::encodeName(folder + kBitmapName).constData(), &bmp) == 0
                    ? qint64(bmp.st_blocks) * 512
                    : 0;
            if (qint64(fs.f_bavail) * qint64(fs.f_frsize) + reused < bytes)
                throw FileError(QStringLiteral("The shared folder is full"), ENOSPC);
        }
    }
    writeLineFile(folder + kRunStateName, {QString::fromLatin1(kRunningLine)});
}

} // namespace

QString notSentText(int code)
{
    switch (code) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return SharedState::tr("Not sent: the shared folder is full");
    case EROFS:
    case EACCES:
    case EPERM:
        return SharedState::tr("Not sent: the shared folder is read-only");
    case EBUSY:
    case ETXTBSY:
    case EEXIST:
        return SharedState::tr("Not sent: a viewer holds the picture open");
    case 0:
    case EISDIR:
    case ELOOP:
    case ENOMEM:
        return SharedState::tr("Not sent: the picture cannot be written there");
    default: // EIO, ENOENT, ENOTCONN, ETIMEDOUT, EHOSTDOWN, ESTALE, ...
        return SharedState::tr("Not sent: the shared folder cannot be reached");
    }
}

SharedState::SharedState(QObject *parent)
    : QObject(parent), run_(QRandomGenerator::system()->generate64() | 1)
{
    connect(&sender_, &SendingThread::written, this,
            [this](SendingThread::Kind kind, quint64 number) { onWritten(kind, number); });
    connect(&sender_, &SendingThread::failed, this,
            [this](SendingThread::Kind kind, const QString &why, quint64 number, int code) {
                onFailed(kind, why, number, code);
            });
    probeTimer_.setInterval(kProbeInterval);
    connect(&probeTimer_, &QTimer::timeout, this, [this] { probeFolder(); });
    stuckTimer_.setInterval(kStuckAfter / 6);
    connect(&stuckTimer_, &QTimer::timeout, this, [this] { checkStuck(); });
}

void SharedState::setSharedFolder(const QString &path)
{
    if (path == sharedFolder_)
        return;
    sharedFolder_ = path;
    // What another folder refused says nothing about this one.
    held_.reset();
    probeTimer_.stop();
    problems_.clear(Topic::Write);
    emit sharedFolderChanged();
}

FrameTag SharedState::nextTag()
{
    return {run_, ++frames_, -1};
}

Sent SharedState::skipped(Sent reason)
{
    // Settled by the next write that goes through, not by one asked before.
    problems_.report(Topic::Folder,
                     reason == Sent::NoFolder ? tr("No shared folder: choose one in Options")
                                              : tr("Nothing to send yet"),
                     sender_.lastAsked() + 1);
    emit notSent(reason);
    return reason;
}

void SharedState::writeThrough(SendingThread::Kind kind, const std::function<void()> &write)
{
    const bool told = kind != SendingThread::Kind::Other;
    std::uint64_t number = 0;
    try {
        number = sender_.sendAndWait(kind, write);
    } catch (const FileError &e) {
        if (told)
            writeFailed(e.code(), sender_.lastAsked());
        throw;
    }
    if (told) {
        // A newer picture or text went out: the frame kept is stale.
        held_.reset();
        problems_.writeSucceeded(number);
        if (!problems_.has(Topic::Write))
            probeTimer_.stop();
    }
}

Sent SharedState::sendBitmap(const QImage &bitmap)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    if (bitmap.isNull())
        return skipped(Sent::NoPicture);
    writeThrough(SendingThread::Kind::Picture, [&, counts = counts_.get(), tag = nextTag()] {
        ++counts->frames;
        counts->pictureBytes = pictureBytes(bitmap, onlyQuorixViewers);
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
    HeldFrame held{sharedFolder_, frame, onlyQuorixViewers};
    if (problems_.has(Topic::Write)) {
        // The folder refuses writes: the newest frame waits for it to take one again.
        held_ = std::move(held);
        if (!probeTimer_.isActive())
            probeTimer_.start();
        return Sent::Written;
    }
    queueFrame(std::move(held));
    return Sent::Written;
}

void SharedState::queueFrame(HeldFrame held)
{
    lastQueued_ = sender_.send(
        SendingThread::Kind::Picture, [held = std::move(held), counts = counts_, tag = nextTag()] {
            ++counts->frames;
            counts->pictureBytes = pictureBytes(held.frame, held.onlyQuorixViewers);
            writePicture(held.folder, held.frame, held.onlyQuorixViewers, tag);
        });
    if (!stuckTimer_.isActive())
        stuckTimer_.start();
}

void SharedState::onWritten(SendingThread::Kind kind, std::uint64_t number)
{
    lastAnswered_ = std::max(lastAnswered_, number);
    if (lastAnswered_ >= lastQueued_)
        stuckTimer_.stop();
    problems_.writeSucceeded(number);
    if (kind == SendingThread::Kind::Picture)
        emit sent();
    if (problems_.has(Topic::Write))
        return;
    // The folder takes writes again: the frame kept goes out now, unless automatic
    // sending was switched off meanwhile.
    probeTimer_.stop();
    if (held_) {
        HeldFrame held = std::move(*held_);
        held_.reset();
        if (held.folder == sharedFolder_ && autoSend)
            queueFrame(std::move(held));
    }
}

void SharedState::onFailed(SendingThread::Kind kind, const QString &text, std::uint64_t number,
                           int code)
{
    lastAnswered_ = std::max(lastAnswered_, number);
    if (lastAnswered_ >= lastQueued_)
        stuckTimer_.stop();
    if (kind == SendingThread::Kind::Picture || number == probe_)
        writeFailed(code, number);
    if (kind == SendingThread::Kind::Picture)
        emit frameNotWritten(text);
}

void SharedState::writeFailed(int code, std::uint64_t number)
{
    problems_.report(Topic::Write, notSentText(code), number);
    if (!probeTimer_.isActive())
        probeTimer_.start();
}

void SharedState::probeFolder()
{
    if (!problems_.has(Topic::Write) || sharedFolder_.isEmpty()) {
        probeTimer_.stop();
        return;
    }
    if (lastAnswered_ < lastQueued_)
        return; // a write is still under way (a share that holds it): no look behind it
    probe_ = sender_.send(SendingThread::Kind::Other, [folder = sharedFolder_, counts = counts_] {
        ++counts->probes;
        probe(folder, counts->pictureBytes);
    });
    lastQueued_ = probe_;
    if (!stuckTimer_.isActive())
        stuckTimer_.start();
}

void SharedState::checkStuck()
{
    const auto since = sender_.busySince();
    if (since == std::chrono::steady_clock::time_point{} || problems_.has(Topic::Write))
        return;
    if (std::chrono::steady_clock::now() - since >= std::chrono::milliseconds(kStuckAfter))
        // The write under way settles it if it ever goes through.
        writeFailed(ETIMEDOUT, lastAnswered_ + 1);
}

Sent SharedState::sendBitmapFile(const Bmp24File &bmp)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    writeThrough(
        SendingThread::Kind::Picture, [&, counts = counts_.get(), tag = nextTag()]() mutable {
            ++counts->frames;
            tag.bitmapBytes =
                onlyQuorixViewers ? -1 : qint64(bmp.headers.size()) + qint64(bmp.pixelBytes);
            replaceWholeFile(sharedFolder_ + kCompactPictureName, encodeCompactPicture(bmp, tag));
            if (!onlyQuorixViewers)
                writeWholeFile(sharedFolder_ + kBitmapName, bmp24Pieces(bmp));
        });
    emit sent();
    return Sent::Written;
}

Sent SharedState::sendRtf(const QByteArray &rtf)
{
    return sendPieces(QString::fromLatin1(kTextName), {{rtf.constData(), std::size_t(rtf.size())}});
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
    writeThrough(SendingThread::Kind::Other, [&] {
        writeLineFile(sharedFolder_ + kRunStateName, {QString::fromLatin1(kRunningLine)});
    });
    return Sent::Written;
}

Sent SharedState::writeViewerSettings(const QStringList &lines)
{
    if (sharedFolder_.isEmpty())
        return skipped(Sent::NoFolder);
    writeThrough(SendingThread::Kind::Other,
                 [&] { writeLineFile(sharedFolder_ + kViewerSettingsName, lines); });
    return Sent::Written;
}

} // namespace quorix
