#include "slideshow/SlideGlyphs.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quorix {

namespace {

constexpr int kSide = 16;

QPainterPath triangle(qreal left, qreal right, bool pointsRight)
{
    QPainterPath path;
    const qreal tip = pointsRight ? right : left;
    const qreal base = pointsRight ? left : right;
    path.moveTo(base, 3);
    path.lineTo(tip, kSide / 2.0);
    path.lineTo(base, kSide - 3);
    path.closeSubpath();
    return path;
}

} // namespace

QIcon slideGlyph(SlideGlyph which)
{
    const int width = which == SlideGlyph::Play ? 2 * kSide : kSide;
    QImage image(width, kSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QColor ink(40, 48, 72);
    const QColor play(30, 140, 60);
    const QColor stop(190, 40, 40);
    switch (which) {
    case SlideGlyph::First:
        p.fillRect(QRectF(3, 3, 2, kSide - 6), ink);
        p.fillPath(triangle(5, 13, false), ink);
        break;
    case SlideGlyph::Previous:
        p.fillPath(triangle(4, 12, false), ink);
        break;
    case SlideGlyph::Play:
        p.fillPath(triangle(width / 2.0 - 5, width / 2.0 + 6, true), play);
        break;
    case SlideGlyph::Next:
        p.fillPath(triangle(4, 12, true), ink);
        break;
    case SlideGlyph::Last:
        p.fillPath(triangle(3, 11, true), ink);
        p.fillRect(QRectF(11, 3, 2, kSide - 6), ink);
        break;
    case SlideGlyph::Stop:
        p.fillRect(QRectF(4, 4, 8, 8), stop);
        break;
    case SlideGlyph::SetUp:
        // A list of slides: three rows, each a small picture and a line of text.
        for (int row = 0; row < 3; ++row) {
            const qreal top = 2.5 + row * 4.5;
            p.fillRect(QRectF(2, top, 3, 3), play);
            p.fillRect(QRectF(7, top + 1, 7, 1.5), ink);
        }
        break;
    }
    p.end();
    return QIcon(QPixmap::fromImage(image));
}

} // namespace quorix
