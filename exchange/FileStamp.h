#pragma once
// What a look at a file's directory entry tells without opening it: whether it is there,
// whether it is a plain file, its size and its times. Two equal stamps mean nothing was
// written in between, so a still folder costs a few stat calls and no reads.
#include <QString>
#include <QtGlobal>

struct stat;

namespace quorix {

struct FileStamp
{
    enum class Kind
    {
        Missing,
        Regular,
        Other // a folder, a symbolic link, a pipe: never read
    };
    Kind kind = Kind::Missing;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    qint64 ctimeNs = 0;
    quint64 inode = 0;
    quint64 device = 0;

    bool isRegular() const { return kind == Kind::Regular; }
    bool operator==(const FileStamp &) const = default;
};

// The entry itself, not what a symbolic link points at.
FileStamp stampOf(const QString &path);

// The stamp of what `st` (from fstat or lstat) describes.
FileStamp stampOf(const struct stat &st);

// True for an existing folder (links to one included: a mount point may be reached so).
bool isFolder(const QString &path);

} // namespace quorix
