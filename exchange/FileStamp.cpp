#include "exchange/FileStamp.h"

#include <QFile>

#include <sys/stat.h>

namespace quorix {

namespace {

qint64 nanoseconds(const struct timespec &t)
{
    return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

} // namespace

FileStamp stampOf(const QString &path)
{
    struct stat st
    {
    };
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || ::lstat(name.constData(), &st) != 0)
        return {};
    return stampOf(st);
}

FileStamp stampOf(const struct stat &st)
{
    FileStamp s;
    s.kind = S_ISREG(st.st_mode) ? FileStamp::Kind::Regular : FileStamp::Kind::Other;
    s.size = st.st_size;
    s.mtimeNs = nanoseconds(st.st_mtim);
    s.ctimeNs = nanoseconds(st.st_ctim);
    s.inode = st.st_ino;
    s.device = st.st_dev;
    return s;
}

bool isFolder(const QString &path)
{
    struct stat st
    {
    };
    const QByteArray name = QFile::encodeName(path);
    return !name.isEmpty() && ::stat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace quorix
