#include "exchange/FolderWatch.h"

#include "core/WholeFile.h"
#include "exchange/ExchangeProtocol.h"

#include <QFile>

#include <sys/vfs.h>

namespace quorix {

FolderWatch::FolderWatch(const QString &folder, QObject *parent)
    : QObject(parent), folder_(withTrailingSlash(folder))
{
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &FolderWatch::look);
    picturePoll_.setInterval(kPicturePollMs);
    connect(&picturePoll_, &QTimer::timeout, this, &FolderWatch::lookAtPictures);
    // A burst of notifications (truncate, then the write) ends in one look.
    soon_.setSingleShot(true);
    soon_.setInterval(0);
    connect(&soon_, &QTimer::timeout, this, &FolderWatch::look);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &FolderWatch::lookSoon);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FolderWatch::lookSoon);
}

QString FolderWatch::fileName(File file)
{
    switch (file) {
    case File::Picture:
        return QString::fromLatin1(kBitmapName);
    case File::Text:
        return QString::fromLatin1(kTextName);
    case File::Settings:
        return QString::fromLatin1(kViewerSettingsName);
    case File::Compact:
        return QString::fromLatin1(kCompactPictureName);
    case File::RunState:
        break;
    }
    return QString::fromLatin1(kRunStateName);
}

QString FolderWatch::path(File file) const
{
    return folder_ + fileName(file);
}

void FolderWatch::start()
{
    started_ = true;
    reachable_ = isFolder(folder_);
    emit reachableChanged(reachable_);
    stamps_ = {};
    look();
    poll_.start();
    if (!notifiesChanges(folder_))
        picturePoll_.start();
}

bool FolderWatch::notifiesChanges(const QString &folder)
{
    struct statfs fs
    {
    };
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969:     // NFS
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case 0x517B:     // SMB
    case 0x65735546: // FUSE
    case 0x01021997: // 9P
    case 0x5346414F: // AFS
    case 0x00C36400: // Ceph
    case 0x73757245: // Coda
        return false;
    default:
        return true;
    }
}

void FolderWatch::lookAtPictures()
{
    if (!(stampOf(path(File::Compact)) == stamps_[File::Compact]) ||
        !(stampOf(path(File::Picture)) == stamps_[File::Picture]))
        look();
}

void FolderWatch::lookSoon()
{
    if (!soon_.isActive())
        soon_.start();
}

void FolderWatch::look()
{
    if (!started_)
        return;
    const bool reachable = isFolder(folder_);
    const FileStamp folderStamp = stampOf(folder_);
    // A folder made anew (a share mounted again) needs its notifications set up again.
    bool watchAgain = reachable != reachable_ || folderStamp.inode != folderStamp_.inode ||
                      folderStamp.device != folderStamp_.device;
    folderStamp_ = folderStamp;
    if (reachable != reachable_) {
        reachable_ = reachable;
        emit reachableChanged(reachable_);
    }
    if (!reachable_)
        return; // what was shown stays; the files come back with the folder

    PerFile<bool> changed;
    for (File f : kFiles) {
        const FileStamp now = stampOf(path(f));
        if (now == stamps_[f])
            continue;
        watchAgain = watchAgain || now.kind != stamps_[f].kind || now.inode != stamps_[f].inode;
        stamps_[f] = now;
        changed[f] = true;
    }
    if (watchAgain)
        rewatch();
    for (File f : kFiles)
        if (changed[f])
            emit fileChanged(f);
}

void FolderWatch::rewatch()
{
    const QStringList files = watcher_.files();
    const QStringList folders = watcher_.directories();
    if (!files.isEmpty())
        watcher_.removePaths(files);
    if (!folders.isEmpty())
        watcher_.removePaths(folders);
    if (!reachable_)
        return;
    QStringList paths{folder_};
    for (File f : kFiles)
        if (stamps_[f].isRegular())
            paths << path(f);
    watcher_.addPaths(paths);
}

} // namespace quorix
