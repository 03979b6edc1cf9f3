#include "slideshow/SlidePictures.h"

#include "imaging/ImageDecoder.h"
#include "imaging/StretchPicture.h"
#include "slideshow/SlideKind.h"

namespace quorix {

namespace {

constexpr int kSetupSide = 209;
constexpr int kPageWidth = 233;
constexpr int kPageHeight = 177;

int truncated(double v)
{
    return static_cast<int>(v);
}

} // namespace

QSize slideFitSize(QSize source, SlideFit fit)
{
    double w = source.width();
    double h = source.height();
    switch (fit) {
    case SlideFit::Setup:
        if (w <= 0 || h <= 0)
            return QSize();
        [[fallthrough]];
    case SlideFit::SetupPreview:
        if (w >= h) {
            w = std::max(w, 1.0);
            return {kSetupSide, truncated(h / (w / kSetupSide))};
        }
        h = std::max(h, 1.0);
        return {truncated(w / (h / kSetupSide)), kSetupSide};
    case SlideFit::Page:
        break;
    }
    if (w >= h) {
        if (w <= 0)
            w = 1;
        return {kPageWidth, truncated(h / (w / kPageWidth))};
    }
    return {truncated(w / (h / kPageHeight)), kPageHeight};
}

QImage fittedSlidePicture(const QString &path, SlideKind kind, SlideFit fit)
{
    const ImageFormat format = imageFormatOf(kind);
    const QSize size = slideFitSize(imageDimensions(path, format), fit);
    if (size.isEmpty())
        return QImage();
    QImage picture = decodeImage(path, format, size);
    if (!stretchPicture(picture, size.width(), size.height()))
        throw ImageError("Not enough memory for the picture");
    return picture;
}

} // namespace quorix
