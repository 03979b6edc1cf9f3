#include "web/RoomSource.h"

#include "exchange/CompactPicture.h"
#include "exchange/ExchangeReader.h"
#include "exchange/FolderWatch.h"

#include <QImage>
#include <QTextDocument>

namespace quorix {

RoomSource::RoomSource(FolderWatch &watch, ExchangeReader &reader, QObject *parent)
    : QObject(parent), watch_(watch)
{
    connect(&reader, &ExchangeReader::compactPictureRead, this, &RoomSource::compactRead);
    connect(&reader, &ExchangeReader::pictureRead, this,
            [this](const QImage &image, qint64 mtimeNs, qint64) { pictureRead(image, mtimeNs); });
    connect(&reader, &ExchangeReader::textRead, this,
            [this](QSharedPointer<QTextDocument> document, qint64 mtimeNs) {
                text_ = std::move(document);
                textMtimeNs_ = mtimeNs;
                emit textChanged();
                emit stateChanged();
            });
    connect(&reader, &ExchangeReader::settingsRead, this, [this](const ViewerSettings &settings) {
        if (settings == settings_)
            return;
        settings_ = settings;
        emit stateChanged();
    });
    connect(&reader, &ExchangeReader::runStateChanged, this, [this](bool running) {
        if (running == running_)
            return;
        running_ = running;
        emit stateChanged();
    });
    connect(&watch_, &FolderWatch::fileChanged, this, [this](FolderWatch::File file) {
        if (file == FolderWatch::File::RunState)
            runFileChanged();
    });
}

RoomSource::Showing RoomSource::showing() const
{
    if (running_ && picture_.mtimeNs >= 0 && picture_.mtimeNs >= textMtimeNs_)
        return Showing::Picture;
    if (running_ && textMtimeNs_ >= 0)
        return Showing::Text;
    return Showing::Waiting;
}

void RoomSource::compactRead(const QByteArray &png, qint64 mtimeNs)
{
    // The reader announces the same picture decoded right after; its bytes go with it.
    compactBytes_ = png;
    compactMtimeNs_ = mtimeNs;
}

void RoomSource::pictureRead(const QImage &image, qint64 mtimeNs)
{
    const bool compact = !compactBytes_.isEmpty() && compactMtimeNs_ == mtimeNs;
    QByteArray png = compact ? compactBytes_ : encodeCompactPicture(image);
    compactBytes_.clear();
    if (png.isEmpty())
        return;
    picture_.png = std::move(png);
    picture_.kind = compact ? PictureKind::Compact : PictureKind::Bitmap;
    picture_.mtimeNs = mtimeNs;
    ++picture_.frame;
    emit pictureChanged();
    emit stateChanged();
}

void RoomSource::runFileChanged()
{
    // The presenter has stopped when its run file is gone from a folder that is still
    // there with its pictures or text; a share that went away (an empty mount point, an
    // unreachable folder) keeps the last picture, as the viewer program does.
    const bool runFile = watch_.stamp(FolderWatch::File::RunState).isRegular();
    const bool folderHolds =
        watch_.reachable() && (watch_.stamp(FolderWatch::File::Compact).isRegular() ||
                               watch_.stamp(FolderWatch::File::Picture).isRegular() ||
                               watch_.stamp(FolderWatch::File::Text).isRegular());
    const bool running = runFile || (running_ && !folderHolds);
    if (running == running_)
        return;
    running_ = running;
    emit stateChanged();
}

} // namespace quorix
