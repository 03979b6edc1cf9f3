#include "platform/WholeFile.h"

#include "platform/FileError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorix {

namespace {

[[noreturn]] void fail(const char *what, const QString &path, int err)
{
    throw FileError(QStringLiteral("%1 \"%2\". %3")
                        .arg(QString::fromLatin1(what), path, QString::fromLocal8Bit(std::strerror(err)))
                        .toStdString());
}

// Closes the descriptor on every way out.
struct Fd
{
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

QByteArray readWholeFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    Fd f{::open(name.isEmpty() ? "" : name.constData(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0)
        fail("Cannot open file", path, errno);
    struct stat st{};
    if (::fstat(f.fd, &st) != 0)
        fail("Cannot open file", path, errno);
    if (S_ISDIR(st.st_mode))
        fail("Cannot open file", path, EISDIR);

    QByteArray bytes;
    bytes.reserve(st.st_size > 0 ? static_cast<qsizetype>(st.st_size) : 0);
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(f.fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot read file", path, errno);
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

void writeWholeFile(const QString &path, const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(path);
    Fd f{::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644)};
    if (f.fd < 0)
        fail("Cannot create file", path, errno);
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(f.fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot write file", path, errno);
        }
        p += n;
        left -= n;
    }
    const int fd = f.fd;
    f.fd = -1;
    if (::close(fd) != 0)
        fail("Cannot write file", path, errno);
}

bool fileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isFile();
}

QString folderPart(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString withTrailingSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace quorix
