#pragma once
// Whole-file reads and writes for the exchange and configuration files. Writes truncate
// and rewrite the file in place under its fixed name with one write, and never follow a
// symbolic link: a link planted in a shared folder makes the write fail instead of
// redirecting it.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <vector>

namespace quorix {

// Throws FileError when the file cannot be opened or read.
QByteArray readWholeFile(const QString &path);

// Throws FileError when the file cannot be created or fully written.
void writeWholeFile(const QString &path, const QByteArray &bytes);

// The same for a file made of several pieces of memory, written in order (a picture's
// rows, say, without first copying them into one block).
struct FilePiece
{
    const char *data;
    std::size_t size;
};
void writeWholeFile(const QString &path, const std::vector<FilePiece> &pieces);

// Writes the file under a temporary name beside it (temporaryNameFor) and renames it
// into place, so that a reader meets either the old file or the new one whole, never a
// part. Neither name is followed if it is a symbolic link. For files only this program's
// own readers take: the shared folder's fixed-name files are rewritten in place.
// Throws FileError; the temporary file does not stay behind.
void replaceWholeFile(const QString &path, const QByteArray &bytes);
// ".NAME.part" in the same folder.
QString temporaryNameFor(const QString &path);

// True for an existing regular file (not a folder).
bool fileExists(const QString &path);

// The folder part of a path: everything up to and including the last "/", empty when
// there is none.
QString folderPart(const QString &path);

// The path with a trailing "/" appended unless it already ends in one.
QString withTrailingSlash(const QString &path);

} // namespace quorix
