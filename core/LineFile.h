#pragma once
// Line files: text in the locale's 8-bit encoding, read and written whole. Every line
// written is followed by CR LF; on reading, CR, LF and CR LF each end a line, a last line
// without a terminator still counts, and a line comes back with at most its first
// kMaxLineLength characters.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quorix {

constexpr qsizetype kMaxLineLength = 4096;

QStringList parseLines(const QByteArray &bytes);
QByteArray formatLines(const QStringList &lines);

// Throws FileError when the file cannot be read.
QStringList readLineFile(const QString &path);
// Throws FileError when the file cannot be written.
void writeLineFile(const QString &path, const QStringList &lines);

// Line `index`, or empty text beyond the last line.
QString lineAt(const QStringList &lines, qsizetype index);

} // namespace quorix
