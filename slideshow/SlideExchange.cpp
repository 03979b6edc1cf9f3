#include "slideshow/SlideExchange.h"

#include "imaging/ImageDecoder.h"
#include "slideshow/SlideKind.h"

namespace quorix {

bool writeSlideExchange(const QString &path, const SlideExchangeWriters &writers)
{
    const int kind = FileKind(path);
    switch (kind) {
    case skText:
    case skRtf:
        writers.text(path);
        return true;
    case skJpeg: {
        // No picture is built: the rows go from the decoder into the file.
        writers.bitmapFile(decodeJpegAsBmp24(path));
        return true;
    }
    case skPng:
    case skBmp:
        writers.picture(decodeImage(path, imageFormatOf(kind)), kind);
        return true;
    default:
        return false;
    }
}

} // namespace quorix
