#pragma once
// What a slide file is, decided by its name's extension alone, and the facts its row in
// the slide list shows: size, type, location and picture dimensions.
#include "imaging/ImageDecoder.h"

#include <QString>

namespace quorix {

// The numbers are what slidecat prints for each kind.
enum class SlideKind
{
    Text = 0, // .txt
    Jpeg = 1, // .jpg, .jpeg
    Png = 2,  // .png
    Bmp = 3,  // .bmp
    Rtf = 4,  // .rtf
    None = 5, // anything else: no slide
};

// The text with its ASCII letters upper-cased and every other character kept: how slide
// names and extensions are compared without regard to case.
QString upperAscii(QString text);

// The slide kind of a path (or of any text): the extension is what follows the last "."
// when no "/" follows it, compared without regard to the case of ASCII letters.
SlideKind slideKindOf(const QString &path);

inline bool isPictureKind(SlideKind kind)
{
    return kind == SlideKind::Jpeg || kind == SlideKind::Png || kind == SlideKind::Bmp;
}
inline bool isTextKind(SlideKind kind)
{
    return kind == SlideKind::Text || kind == SlideKind::Rtf;
}
// The decoder of a picture kind.
ImageFormat imageFormatOf(SlideKind kind);

// The size in bytes of the file, or -1 when there is none.
qint64 slideFileSize(const QString &path);

// The file name without its folder.
QString slideFileName(const QString &path);
// The folder without its final "/", except the root "/", which stays whole.
QString slideLocation(const QString &path);
// The full path again: location, a "/" unless it already ends in one, and the name.
QString slideRowPath(const QString &location, const QString &name);

// A short human-readable type name of the file, at most 79 characters.
QString slideTypeName(const QString &path);

// "1024 X 768" for a picture, from its header; empty for the text kinds. Throws
// ImageError when a picture's header cannot be read.
QString slideDimensionsText(const QString &path, SlideKind kind);

} // namespace quorix
