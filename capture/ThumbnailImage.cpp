#include "capture/ThumbnailImage.h"

#include <QMouseEvent>

namespace quorix {

ThumbnailImage::ThumbnailImage(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScaledContents(false);
    setCursor(Qt::PointingHandCursor);
}

void ThumbnailImage::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked(this);
}

} // namespace quorix
