#include "core/WholeFile.h"

#include "core/FileError.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <sys/stat.h>
#include <sys/uio.h>
#include <thread>
#include <unistd.h>

namespace quorix {

namespace {

[[noreturn]] void fail(const char *what, const QString &path, int err)
{
    throw FileError(
        QStringLiteral("%1 \"%2\". %3")
            .arg(QString::fromLatin1(what), path, QString::fromLocal8Bit(std::strerror(err))),
        err);
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
    struct stat st
    {
    };
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
    writeWholeFile(path, {FilePiece{bytes.constData(), static_cast<std::size_t>(bytes.size())}});
}

namespace {

// Writes every piece to the open file `fd`, then closes it; `path` names it in errors.
void writeAllAndClose(Fd &f, const QString &path, const std::vector<FilePiece> &pieces)
{
    std::vector<iovec> io;
    io.reserve(pieces.size());
    for (const FilePiece &p : pieces)
        if (p.size > 0)
            io.push_back({const_cast<char *>(p.data), p.size});
    // As many pieces per call as the system takes; a short write resumes mid-piece.
    std::size_t next = 0;
    while (next < io.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(io.size() - next, IOV_MAX));
        const ssize_t n = ::writev(f.fd, io.data() + next, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot write file", path, errno);
        }
        auto written = static_cast<std::size_t>(n);
        while (next < io.size() && written >= io[next].iov_len)
            written -= io[next++].iov_len;
        if (written > 0) {
            io[next].iov_base = static_cast<char *>(io[next].iov_base) + written;
            io[next].iov_len -= written;
        }
    }
    const int fd = f.fd;
    f.fd = -1;
    if (::close(fd) != 0)
        fail("Cannot write file", path, errno);
}

} // namespace

void writeWholeFile(const QString &path, const std::vector<FilePiece> &pieces)
{
    const QByteArray name = QFile::encodeName(path);
    // O_NONBLOCK: a pipe planted under the name fails the write instead of holding it
    // for good (for a regular file the flag changes nothing).
    Fd f{::open(name.constData(),
                O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644)};
    if (f.fd < 0)
        fail("Cannot create file", path, errno);
    writeAllAndClose(f, path, pieces);
}

QString temporaryNameFor(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return path.left(slash + 1) + QLatin1Char('.') + path.mid(slash + 1) + QStringLiteral(".part");
}

void replaceWholeFile(const QString &path, const QByteArray &bytes)
{
    const QString temporary = temporaryNameFor(path);
    const QByteArray tempName = QFile::encodeName(temporary);
    const QByteArray name = QFile::encodeName(path);
    // What lies under the temporary name (left by a write cut off, or planted there) goes
    // first; O_EXCL then makes sure the file written is a new one of ours, never a link.
    ::unlink(tempName.constData());
    Fd f{::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644)};
    if (f.fd < 0)
        fail("Cannot create file", path, errno);
    try {
        writeAllAndClose(f, path, {{bytes.constData(), std::size_t(bytes.size())}});
    } catch (...) {
        ::unlink(tempName.constData());
        throw;
    }
    // The rename replaces whatever the name held (a link included) without following it.
    // A file server refuses to replace a file that a client holds open (Samba answers as a
    // Windows server does; through libsmbclient that comes back as EEXIST, through the
    // kernel's client as EACCES or EBUSY). Readers hold it only for a read: the rename is
    // tried again after short pauses, about 200 ms in all.
    static constexpr int kPauses[] = {5, 10, 20, 30, 45, 90}; // ms
    for (std::size_t attempt = 0;; ++attempt) {
        if (::rename(tempName.constData(), name.constData()) == 0)
            return;
        const int err = errno;
        const bool busy = err == EEXIST || err == EBUSY || err == ETXTBSY || err == EACCES;
        if (!busy || attempt == std::size(kPauses)) {
            ::unlink(tempName.constData());
            fail("Cannot write file", path, err);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauses[attempt]));
    }
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
