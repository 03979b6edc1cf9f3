#include "imaging/StretchPicture.h"

namespace quorix {

bool stretchPicture(QImage &bitmap, int width, int height)
{
    if (width < 0 || height < 0)
        return false;
    if (width == 0 || height == 0 || bitmap.isNull()) {
        QImage empty(width, height, QImage::Format_RGB32);
        if (width > 0 && height > 0 && empty.isNull())
            return false;
        if (!empty.isNull())
            empty.fill(Qt::white);
        bitmap = empty;
        return true;
    }
    if (bitmap.size() == QSize(width, height))
        return true;
    QImage stretched =
        bitmap.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (stretched.isNull())
        return false;
    bitmap = stretched;
    return true;
}

} // namespace quorix
