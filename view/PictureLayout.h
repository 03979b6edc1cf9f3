#pragma once
// Where a picture goes in the viewer's window, by the presenter's settings: stretched to
// fill (proportions ignored); or, with auto size, fitted proportionally to a full screen
// (and shrunk to fit a window too small for it); otherwise at its own size. Centred when
// "centre" is on, else at the top left; what does not fit is cut off.
#include "exchange/ViewerSettings.h"

#include <QRect>
#include <QSize>

namespace quorix {

QRect pictureRect(QSize picture, QSize area, const ViewerSettings &settings, bool fullScreen);

} // namespace quorix
