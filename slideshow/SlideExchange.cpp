#include "slideshow/SlideExchange.h"

#include "platform/ImageDecoder.h"
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
        const Bmp24File bmp = decodeJpegAsBmp24(path);
        writers.bitmapFile({{bmp.headers.constData(), std::size_t(bmp.headers.size())},
                            {reinterpret_cast<const char *>(bmp.pixels.get()), bmp.pixelBytes}});
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
