#pragma once
// What a slide becomes for the viewers: by its kind, a JPEG goes straight from the
// decoder's rows into a 24-bit shar.bmp, a PNG or bitmap is decoded into a picture for
// shar.bmp (each with its compact picture beside it), and a text or RTF slide is written
// as shar.rtf. The slide page hands them to the shared state; slidecat --shar writes the
// same bitmap or text into a file of its own.
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"
#include "slideshow/SlideKind.h"

#include <QImage>
#include <QString>

#include <functional>

namespace quorix {

struct SlideExchangeWriters
{
    // A complete 24-bit shar.bmp, straight from the JPEG decoder (bmp24Pieces gives its
    // bytes).
    std::function<void(const Bmp24File &bmp)> bitmapFile;
    // A decoded picture for shar.bmp, with the slide kind it came from (Png or Bmp).
    std::function<void(const QImage &picture, SlideKind kind)> picture;
    // A text or RTF slide, by its path, for shar.rtf.
    std::function<void(const QString &path)> text;
};

// False, writing nothing, when the file is of no slide kind. Throws what the decoders
// throw.
bool writeSlideExchange(const QString &path, const SlideExchangeWriters &writers);

} // namespace quorix
