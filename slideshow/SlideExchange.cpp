#include "slideshow/SlideExchange.h"

#include "imaging/ImageDecoder.h"
#include "slideshow/SlideKind.h"

namespace quorix {

bool writeSlideExchange(const QString &path, const SlideExchangeWriters &writers)
{
    const SlideKind kind = slideKindOf(path);
    switch (kind) {
    case SlideKind::Text:
    case SlideKind::Rtf:
        writers.text(path);
        return true;
    case SlideKind::Jpeg: {
        // No picture is built: the rows go from the decoder into the file.
        writers.bitmapFile(decodeJpegAsBmp24(path));
        return true;
    }
    case SlideKind::Png:
    case SlideKind::Bmp:
        writers.picture(decodeImage(path, imageFormatOf(kind)), kind);
        return true;
    default:
        return false;
    }
}

} // namespace quorix
