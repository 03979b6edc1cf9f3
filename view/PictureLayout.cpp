#include "view/PictureLayout.h"

namespace quorix {

QRect pictureRect(QSize picture, QSize area, const ViewerSettings &settings, bool fullScreen)
{
    if (picture.isEmpty() || area.isEmpty())
        return {};
    if (settings.stretch)
        return {QPoint(0, 0), area};
    QSize size = picture;
    const bool fits = picture.width() <= area.width() && picture.height() <= area.height();
    if (settings.autoSize && (fullScreen || !fits))
        size = picture.scaled(area, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (!settings.center)
        return {QPoint(0, 0), size};
    return {QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2), size};
}

} // namespace quorix
