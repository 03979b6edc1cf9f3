#include "packaging/IconRender.h"

#include <QPainter>
#include <QSvgRenderer>

namespace quorix {

QImage renderIcon(const QString &svgPath, int size)
{
    QSvgRenderer svg(svgPath);
    if (!svg.isValid() || size <= 0)
        return {};
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(0, 0, size, size));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace quorix
