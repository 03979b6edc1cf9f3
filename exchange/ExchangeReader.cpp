#include "exchange/ExchangeReader.h"

#include "exchange/ExchangeFiles.h"

#include "exchange/CompactPicture.h"
#include "imaging/ImageDecoder.h"

namespace quorix {

ExchangeReader::ExchangeReader(FolderWatch &watch, QObject *parent) : QObject(parent), watch_(watch)
{
    for (FolderWatch::File f : FolderWatch::kFiles) {
        retry_[f].setSingleShot(true);
        connect(&retry_[f], &QTimer::timeout, this, [this, f] { read(f); });
    }
    clock_.start();
    bitmapWait_.setSingleShot(true);
    // A held-back bitmap's time is up: look at its stamp once more before reading it.
    connect(&bitmapWait_, &QTimer::timeout, this, [this] {
        watch_.look();
        choosePicture();
    });
    connect(&watch_, &FolderWatch::fileChanged, this, &ExchangeReader::changed);
}

void ExchangeReader::changed(FolderWatch::File file)
{
    if (file == FolderWatch::File::Picture || file == FolderWatch::File::Compact) {
        // Both files' stamps are those of the same look.
        choice_.look(watch_.stamp(FolderWatch::File::Compact),
                     watch_.stamp(FolderWatch::File::Picture), clock_.elapsed());
        for (FolderWatch::File f : {FolderWatch::File::Picture, FolderWatch::File::Compact}) {
            retry_[f].stop();
            attempts_[f] = 0;
        }
        choosePicture();
        return;
    }
    retry_[file].stop();
    attempts_[file] = 0;
    read(file);
}

void ExchangeReader::choosePicture()
{
    // A compact picture read may leave a bitmap to check or read (one newer than it).
    for (int round = 0; round < 3; ++round) {
        // A read again already on its way goes first.
        if (retry_[FolderWatch::File::Picture].isActive() ||
            retry_[FolderWatch::File::Compact].isActive()) {
            bitmapWait_.stop();
            return;
        }
        const PictureChoice::Read which = choice_.next(clock_.elapsed());
        if (which == PictureChoice::Read::Nothing)
            break;
        if (which == PictureChoice::Read::CheckBitmap) {
            choice_.bitmapChecked(
                bitmapRowsMatch(watch_.path(FolderWatch::File::Picture), lastCompactImage_));
            continue;
        }
        read(which == PictureChoice::Read::Compact ? FolderWatch::File::Compact
                                                   : FolderWatch::File::Picture);
    }
    const qint64 wake = choice_.wakeAtMs();
    if (wake >= 0)
        bitmapWait_.start(int(qMax<qint64>(wake - clock_.elapsed(), 0)));
    else
        bitmapWait_.stop();
}

bool ExchangeReader::alreadyRead(FolderWatch::File file) const
{
    return lastRead_[file].isRegular() && stampOf(watch_.path(file)) == lastRead_[file];
}

void ExchangeReader::read(FolderWatch::File file)
{
    if (file != FolderWatch::File::RunState && alreadyRead(file)) {
        if (file == FolderWatch::File::Compact)
            choice_.compactRead(lastRead_[file], lastTag_, clock_.elapsed());
        else if (file == FolderWatch::File::Picture)
            choice_.bitmapShown(lastRead_[file]);
        return;
    }
    ++reads_[file];
    lastAttempt_[file] = attempts_[file] >= int(kRetryMs.size());
    why_.clear();
    bool done = true;
    switch (file) {
    case FolderWatch::File::Picture:
        done = readPicture();
        break;
    case FolderWatch::File::Compact:
        done = readCompact();
        break;
    case FolderWatch::File::Text:
        done = readText();
        break;
    case FolderWatch::File::Settings:
        done = readSettings();
        break;
    case FolderWatch::File::RunState:
        // Once the presenter has started, the viewer never falls back to waiting: a run
        // file gone with its share (an empty mount point) must not blank the picture.
        if (!running_ && watch_.stamp(FolderWatch::File::RunState).isRegular()) {
            running_ = true;
            emit runStateChanged(true);
        }
        break;
    }
    if (!done)
        retryLater(file, why_);
}

void ExchangeReader::retryLater(FolderWatch::File file, const QString &why)
{
    if (attempts_[file] >= int(kRetryMs.size())) {
        emit unreadable(FolderWatch::fileName(file), why);
        return;
    }
    retry_[file].start(kRetryMs[size_t(attempts_[file]++)]);
}

bool ExchangeReader::readPicture()
{
    QElapsedTimer clock;
    clock.start();
    const PictureFile picture = readPictureFile(watch_.path(FolderWatch::File::Picture));
    if (picture.result == ReadResult::Missing)
        return true; // gone: the last picture stays
    if (picture.result != ReadResult::Ok || picture.image.isNull()) {
        why_ = picture.error;
        return false;
    }
    // On a share with whole-second times only the stamp that was trusted when the read
    // began vouches for the bytes: a bitmap changed since is judged again at the next look.
    if (choice_.granularityMs() > 0 && !(picture.stamp == watch_.stamp(FolderWatch::File::Picture)))
        return true;
    lastRead_[FolderWatch::File::Picture] = picture.stamp;
    choice_.bitmapShown(picture.stamp);
    emit pictureRead(picture.image, picture.stamp.mtimeNs, clock.nsecsElapsed() / 1000);
    return true;
}

bool ExchangeReader::readCompact()
{
    QElapsedTimer clock;
    clock.start();
    const QString path = watch_.path(FolderWatch::File::Compact);
    const FileBytes file = readExchangeFile(path);
    if (file.result == ReadResult::Missing)
        return true; // being replaced: the next look brings the new one
    if (file.result != ReadResult::Ok) {
        why_ = tr("it changes while it is read");
        return false;
    }
    QImage image;
    try {
        image = decodeCompactPicture(file.bytes, path);
    } catch (const ImageError &e) {
        why_ = QString::fromUtf8(e.what());
        return false;
    }
    // The file read is the one the last look saw unless it was replaced since; a network
    // file system may answer the look (by name) and the read (by handle) with times or
    // numbers that differ in what a look does not compare, so the look's stamp is kept.
    FileStamp stamp = file.stamp;
    const FileStamp seen = watch_.stamp(FolderWatch::File::Compact);
    if (seen.inode == stamp.inode && seen.size == stamp.size && seen.mtimeNs == stamp.mtimeNs)
        stamp = seen;
    lastRead_[FolderWatch::File::Compact] = stamp;
    lastTag_ = readFrameTag(file.bytes);
    lastCompactImage_ = image;
    // An earlier frame than the picture on screen is not shown; its promise of a bitmap
    // still holds that bitmap back.
    bool show = choice_.compactRead(stamp, lastTag_, clock_.elapsed());
    // A bitmap of the promised size already there: when it is another program's, newer,
    // it is shown instead (next), not after this one.
    if (show && choice_.next(clock_.elapsed()) == PictureChoice::Read::CheckBitmap) {
        show = bitmapRowsMatch(watch_.path(FolderWatch::File::Picture), image);
        choice_.bitmapChecked(show);
    }
    if (show) {
        emit compactPictureRead(file.bytes, stamp.mtimeNs);
        emit pictureRead(image, stamp.mtimeNs, clock.nsecsElapsed() / 1000);
    }
    return true;
}

bool ExchangeReader::readText()
{
    const FileBytes file = readExchangeFile(watch_.path(FolderWatch::File::Text));
    if (file.result == ReadResult::Missing)
        return true;
    if (file.result != ReadResult::Ok) {
        why_ = tr("it changes while it is read");
        return false;
    }
    // A text that never gets its end is shown as far as it goes once the reads again are
    // spent: a hand-made file may lack the last brace.
    if (!rtfComplete(file.bytes) && !lastAttempt_[FolderWatch::File::Text]) {
        why_ = tr("the text is cut short");
        return false;
    }
    std::unique_ptr<QTextDocument> doc = documentFromBytes(file.bytes);
    if (!doc) {
        why_ = tr("not a readable text");
        return false;
    }
    lastRead_[FolderWatch::File::Text] = file.stamp;
    emit textRead(QSharedPointer<QTextDocument>(doc.release()), file.stamp.mtimeNs);
    return true;
}

bool ExchangeReader::readSettings()
{
    const FileBytes file = readExchangeFile(watch_.path(FolderWatch::File::Settings));
    if (file.result == ReadResult::Missing)
        return true; // the settings last read stay
    if (file.result != ReadResult::Ok) {
        why_ = tr("it changes while it is read");
        return false;
    }
    // A file with fewer than its eight lines may be half-written; one that stays so is
    // taken as it is, the missing lines empty.
    const SettingsBytes parsed = parseSettingsFile(file.bytes);
    if (parsed.result != ReadResult::Ok && !lastAttempt_[FolderWatch::File::Settings]) {
        why_ = tr("it has fewer than eight lines");
        return false;
    }
    lastRead_[FolderWatch::File::Settings] = file.stamp;
    emit settingsRead(parsed.settings);
    return true;
}

} // namespace quorix
