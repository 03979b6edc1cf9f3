#include "core/LineFile.h"

#include "core/WholeFile.h"

namespace quorix {

QStringList parseLines(const QByteArray &bytes)
{
    QStringList lines;
    const char *p = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    qsizetype i = 0;
    auto take = [&](qsizetype end) {
        lines.append(QString::fromLocal8Bit(p + start, end - start).left(kMaxLineLength));
    };
    while (i < n) {
        const char c = p[i];
        if (c == '\r' || c == '\n') {
            take(i);
            i += (c == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        take(n);
    return lines;
}

QByteArray formatLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toLocal8Bit();
        bytes += "\r\n";
    }
    return bytes;
}

QStringList readLineFile(const QString &path)
{
    return parseLines(readWholeFile(path));
}

void writeLineFile(const QString &path, const QStringList &lines)
{
    writeWholeFile(path, formatLines(lines));
}

QString lineAt(const QStringList &lines, qsizetype index)
{
    return index >= 0 && index < lines.size() ? lines.at(index) : QString();
}

} // namespace quorix
