#pragma once
// Reading the files the presenter writes. The presenter rewrites each file in place, so a
// read may meet it empty or half-written: every function here says so (Torn) rather than
// show part of it. Nothing is read through a symbolic link, from a folder or from a pipe.
#include "exchange/FileStamp.h"
#include "exchange/ViewerSettings.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

class QTextDocument;

namespace quorix {

enum class ReadResult
{
    Ok,
    Missing, // not there, or not a plain file
    Torn,    // empty or shorter than it says: being written, read again shortly
    Corrupt  // complete but unreadable
};

// The file's bytes, read once, or Missing (no plain file) / Torn (changed during the
// read, or larger than any exchange file can be).
struct FileBytes
{
    ReadResult result = ReadResult::Missing;
    QByteArray bytes;
    FileStamp stamp; // of the file the bytes were read from
};
FileBytes readExchangeFile(const QString &path);

// The picture in a bitmap file, decoded by the project's bitmap reader. A file that is
// shorter than its headers say, or that changes while it is decoded, is Torn.
struct PictureFile
{
    ReadResult result = ReadResult::Missing;
    QImage image;
    QString error;
    FileStamp stamp;
};
PictureFile readPictureFile(const QString &path);

// True when the bitmap file holds `image` in a few of its rows (the top, middle and bottom
// ones): a 24-bit bottom-up bitmap of its size, as Quorix writes it. Reads those rows only.
bool bitmapRowsMatch(const QString &path, const QImage &image);

// True when a bitmap file of `fileSize` bytes that starts with `head` (its first 34 bytes
// or more) holds all that its headers promise.
bool bitmapComplete(const QByteArray &head, qint64 fileSize);

// True when an RTF text closes the group it opens (escaped braces and \binN data aside).
// Text that is not RTF counts as complete.
bool rtfComplete(const QByteArray &bytes);

// The document of a text file's bytes: RTF through the project's reader, anything else
// as plain text in the locale's encoding. Null when the RTF reader refuses it.
std::unique_ptr<QTextDocument> documentFromBytes(const QByteArray &bytes);

// The settings file's lines; Torn while it has fewer than its eight lines.
struct SettingsBytes
{
    ReadResult result = ReadResult::Torn;
    ViewerSettings settings;
};
SettingsBytes parseSettingsFile(const QByteArray &bytes);

} // namespace quorix
