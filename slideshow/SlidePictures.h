#pragma once
// The pictures of picture slides as the two previews show them: the set-up window's
// entry preview and Preview (209 pixels on the longer side) and the main window's slide
// page (233 wide when landscape or square, else 177 high). Sizes are computed in floating
// point and truncated toward zero.
#include "slideshow/SlideKind.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace quorix {

enum class SlideFit
{
    Setup,        // the entry preview: a picture without pixels shows nothing
    SetupPreview, // Preview: a side of 0 is first raised to 1
    Page,         // the slide page: a width of 0 or less is first raised to 1
};

// The size a picture of `source` size is shown at; empty when it shows nothing.
QSize slideFitSize(QSize source, SlideFit fit);

// Decodes the picture slide at `path` (a JPEG, PNG or bitmap) only as large as the fit needs and
// stretches it to the fitted size. Throws ImageError when the file cannot be read.
QImage fittedSlidePicture(const QString &path, SlideKind kind, SlideFit fit);

} // namespace quorix
