#include "exchange/ExchangeFiles.h"

#include "core/LineFile.h"
#include "imaging/BmpFile.h"
#include "imaging/BmpHeader.h"
#include "imaging/ImageDecoder.h"
#include "rtf/RtfReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>
#include <QTextDocument>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorix {

namespace {

// Room for the largest picture the decoder accepts, with its headers.
constexpr qint64 kMaxFileBytes = kMaxImagePixels * 4 + 4096;

struct Fd
{
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Why a picture is not shown, for the viewer's status line.
QString why(const char *text)
{
    return QCoreApplication::translate("quorix::ExchangeFiles", text);
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

} // namespace

FileBytes readExchangeFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return {};
    // O_NONBLOCK: a pipe planted under the name must not stop the viewer.
    Fd f{::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (f.fd < 0)
        return {};
    struct stat before
    {
    };
    if (::fstat(f.fd, &before) != 0 || !S_ISREG(before.st_mode))
        return {};
    if (before.st_size > kMaxFileBytes)
        return {ReadResult::Corrupt, {}, stampOf(before)};

    QByteArray bytes;
    bytes.resize(qsizetype(before.st_size));
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(f.fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    struct stat after
    {
    };
    if (::fstat(f.fd, &after) != 0 || got != bytes.size() || !sameFile(before, after))
        return {ReadResult::Torn, {}, stampOf(before)};
    return {ReadResult::Ok, bytes, stampOf(after)};
}

bool bitmapRowsMatch(const QString &path, const QImage &image)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || image.isNull())
        return false;
    Fd in{::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    struct stat st
    {
    };
    if (in.fd < 0 || ::fstat(in.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    uchar head[54];
    if (::pread(in.fd, head, sizeof head, 0) != ssize_t(sizeof head) || head[0] != 'B' ||
        head[1] != 'M')
        return false;
    const qint64 offset = qFromLittleEndian<quint32>(head + 10);
    const int width = qFromLittleEndian<qint32>(head + 18);
    const int height = qFromLittleEndian<qint32>(head + 22);
    if (width != image.width() || height != image.height() ||
        qFromLittleEndian<quint16>(head + 28) != 24 || qFromLittleEndian<quint32>(head + 30) != 0)
        return false;
    const std::size_t stride = bmp24Stride(width);
    QByteArray row(qsizetype(stride), '\0');
    for (const int y : {0, height / 2, height - 1}) {
        const off_t at = off_t(offset + qint64(stride) * (height - 1 - y));
        if (::pread(in.fd, row.data(), stride, at) != ssize_t(stride))
            return false;
        const auto *p = reinterpret_cast<const uchar *>(row.constData());
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < width; ++x, p += 3)
            if (p[0] != qBlue(line[x]) || p[1] != qGreen(line[x]) || p[2] != qRed(line[x]))
                return false;
    }
    return true;
}

bool bitmapComplete(const QByteArray &head, qint64 fileSize)
{
    if (head.size() < kBmpHeadBytes || fileSize < kBmpHeadBytes)
        return false;
    const BmpHeader h = parseBmpHeader(head);
    if (h.status == BmpHeader::Status::NotBitmap)
        return true; // not short, just not a bitmap: the decoder says what it is
    if (h.status != BmpHeader::Status::Ok || !h.fixedRowLength())
        return fileSize >= qint64(h.dataOffset); // compressed rows have no fixed length
    if (h.width <= 0 || h.height <= 0 || h.width * h.height > kMaxImagePixels)
        return true; // the decoder refuses it
    return fileSize >= qint64(h.dataOffset) + h.rowBytes() * h.height;
}

PictureFile readPictureFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return {};
    Fd in{::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (in.fd < 0)
        return {};
    struct stat before
    {
    };
    if (::fstat(in.fd, &before) != 0 || !S_ISREG(before.st_mode))
        return {};
    if (before.st_size > kMaxFileBytes)
        return {ReadResult::Corrupt, {}, why("the file is too large"), stampOf(before)};

    QByteArray head(64, '\0');
    const ssize_t got = ::pread(in.fd, head.data(), size_t(head.size()), 0);
    head.resize(got > 0 ? qsizetype(got) : 0);
    const FileStamp stamp = stampOf(before);
    if (!bitmapComplete(head, before.st_size))
        return {ReadResult::Torn, {}, why("the file is cut short"), stamp};
    // The decoder reads this very file (not whatever the name means by then); a file
    // rewritten while it was decoded may mix two pictures, and is read again.
    PictureFile result{ReadResult::Ok, {}, {}, stamp};
    try {
        result.image = decodeBmp(QStringLiteral("/proc/self/fd/%1").arg(in.fd));
    } catch (const ImageError &e) {
        result = {ReadResult::Corrupt, {}, QString::fromUtf8(e.what()), stamp};
    }
    struct stat after
    {
    };
    if (::fstat(in.fd, &after) != 0 || !sameFile(before, after))
        return {ReadResult::Torn, {}, why("it changes while it is read"), stamp};
    return result;
}

bool rtfComplete(const QByteArray &bytes)
{
    if (!RtfReader::looksLikeRtf(bytes))
        return !bytes.isEmpty();
    int depth = 0;
    bool opened = false;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c == '\\') {
            if (i + 1 >= n)
                return false;
            // \binN is followed by N bytes of raw data that may hold braces.
            if (bytes.mid(i + 1, 3) == "bin") {
                qsizetype j = i + 4;
                qint64 count = 0;
                while (j < n && bytes[j] >= '0' && bytes[j] <= '9' && count < kMaxFileBytes)
                    count = count * 10 + (bytes[j++] - '0');
                if (j < n && bytes[j] == ' ')
                    ++j;
                i = j + count - 1;
                continue;
            }
            ++i; // an escaped character, or the first letter of a control word
        } else if (c == '{') {
            ++depth;
            opened = true;
        } else if (c == '}') {
            if (--depth == 0 && opened)
                return true;
        }
    }
    return false;
}

std::unique_ptr<QTextDocument> documentFromBytes(const QByteArray &bytes)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    const RtfReader::Result result = RtfReader::read(bytes, *doc);
    if (result.ok())
        return doc;
    if (result.error != RtfReader::Error::NotRtf)
        return nullptr;
    doc->setPlainText(QString::fromLocal8Bit(bytes));
    return doc;
}

SettingsBytes parseSettingsFile(const QByteArray &bytes)
{
    const QStringList lines = parseLines(bytes);
    return {lines.size() < kViewerSettingsLines ? ReadResult::Torn : ReadResult::Ok,
            parseViewerSettings(lines)};
}

} // namespace quorix
