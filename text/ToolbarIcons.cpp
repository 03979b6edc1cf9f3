#include "text/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>

namespace quorix {

namespace {

const QColor kInk(0, 0, 0);
const QColor kPaper(255, 255, 255);
const QColor kNavy(0, 0, 128);
const QColor kGrey(128, 128, 128);
const QColor kYellow(255, 255, 0);
const QColor kOlive(128, 128, 0);
const QColor kRed(255, 0, 0);

void page(QPainter &p, const QRect &r)
{
    // A sheet with a folded top-right corner.
    QPolygon sheet;
    sheet << r.topLeft() << QPoint(r.right() - 3, r.top()) << QPoint(r.right(), r.top() + 3)
          << r.bottomRight() << r.bottomLeft();
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(sheet);
    p.drawLine(r.right() - 3, r.top(), r.right() - 3, r.top() + 3);
    p.drawLine(r.right() - 3, r.top() + 3, r.right(), r.top() + 3);
}

void lines(QPainter &p, int top, const int (&starts)[4], const int (&ends)[4])
{
    p.setPen(kInk);
    for (int i = 0; i < 4; ++i)
        p.drawLine(starts[i], top + 3 * i, ends[i], top + 3 * i);
}

void letter(QPainter &p, const QString &text, int pixelSize, bool bold, bool italic, bool underline,
            const QRect &box, const QColor &colour)
{
    QFont f(QStringLiteral("Serif"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

void arrow(QPainter &p, int x, int top, int bottom, bool up)
{
    p.setPen(kNavy);
    p.drawLine(x, top, x, bottom);
    const int tip = up ? top : bottom;
    const int step = up ? 1 : -1;
    p.drawLine(x - 2, tip + 2 * step, x, tip);
    p.drawLine(x + 2, tip + 2 * step, x, tip);
}

void drawOpenFolder(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kYellow);
    p.drawPolygon(QPolygon(
        {QPoint(1, 4), QPoint(5, 4), QPoint(6, 5), QPoint(12, 5), QPoint(12, 13), QPoint(1, 13)}));
    p.setBrush(kOlive);
    p.drawPolygon(QPolygon({QPoint(3, 8), QPoint(15, 8), QPoint(12, 13), QPoint(1, 13)}));
    p.setPen(kNavy);
    p.drawLine(9, 1, 13, 1);
    p.drawLine(13, 1, 13, 4);
    p.drawLine(12, 3, 14, 3);
}

void drawDiskette(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kNavy);
    p.drawRect(1, 1, 13, 13);
    p.setBrush(kPaper);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(kGrey);
    p.drawRect(4, 9, 7, 5);
    p.fillRect(9, 10, 2, 3, kInk);
}

void drawPrinter(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(kGrey);
    p.drawRect(1, 6, 13, 5);
    p.setBrush(kPaper);
    p.drawRect(4, 10, 7, 4);
    p.fillRect(11, 8, 2, 1, kYellow);
}

void drawBackArrow(QPainter &p)
{
    QPainterPath path;
    path.moveTo(4, 6);
    path.cubicTo(8, 2, 14, 4, 13, 10);
    p.setPen(QPen(kNavy, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(kNavy);
    p.setBrush(kNavy);
    p.drawPolygon(QPolygon({QPoint(1, 7), QPoint(6, 2), QPoint(7, 9)}));
}

void drawScissors(QPainter &p)
{
    p.setPen(kInk);
    p.drawLine(5, 1, 10, 9);
    p.drawLine(10, 1, 5, 9);
    p.setPen(QPen(kNavy, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2.5, 9.5, 4, 4));
    p.drawEllipse(QRectF(8.5, 9.5, 4, 4));
}

void drawClipboardWithPage(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kOlive);
    p.drawRect(1, 2, 10, 12);
    p.setBrush(kGrey);
    p.drawRect(4, 1, 4, 2);
    page(p, QRect(6, 6, 8, 9));
}

void drawBulletedList(QPainter &p)
{
    for (int i = 0; i < 3; ++i) {
        p.fillRect(2, 3 + 4 * i, 2, 2, kInk);
        p.setPen(kInk);
        p.drawLine(6, 4 + 4 * i, 13, 4 + 4 * i);
    }
}

void drawPaintBucket(QPainter &p)
{
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawPolygon(QPolygon({QPoint(2, 7), QPoint(8, 1), QPoint(13, 6), QPoint(7, 12)}));
    p.setPen(QPen(kRed, 2));
    p.drawLine(13, 8, 13, 13);
}

void draw(QPainter &p, ToolbarIcon icon)
{
    const QRect whole(0, 0, kToolbarIconSize, kToolbarIconSize);
    switch (icon) {
    case ToolbarIcon::New:
        page(p, QRect(3, 1, 10, 13));
        break;
    case ToolbarIcon::Open:
        drawOpenFolder(p);
        break;
    case ToolbarIcon::Save:
        drawDiskette(p);
        break;
    case ToolbarIcon::Print:
        drawPrinter(p);
        break;
    case ToolbarIcon::Undo:
        drawBackArrow(p);
        break;
    case ToolbarIcon::Cut:
        drawScissors(p);
        break;
    case ToolbarIcon::Copy:
        page(p, QRect(1, 1, 8, 10));
        page(p, QRect(6, 5, 8, 10));
        break;
    case ToolbarIcon::Paste:
        drawClipboardWithPage(p);
        break;
    case ToolbarIcon::Bold:
        letter(p, QStringLiteral("B"), 13, true, false, false, whole, kInk);
        break;
    case ToolbarIcon::Italic:
        letter(p, QStringLiteral("I"), 13, true, true, false, whole, kInk);
        break;
    case ToolbarIcon::Underline:
        letter(p, QStringLiteral("U"), 12, true, false, true, QRect(0, 0, 16, 15), kInk);
        break;
    case ToolbarIcon::AlignLeft:
        lines(p, 3, {2, 2, 2, 2}, {13, 9, 13, 9});
        break;
    case ToolbarIcon::AlignCentre:
        lines(p, 3, {2, 4, 2, 4}, {13, 11, 13, 11});
        break;
    case ToolbarIcon::AlignRight:
        lines(p, 3, {2, 6, 2, 6}, {13, 13, 13, 13});
        break;
    case ToolbarIcon::Bullets:
        drawBulletedList(p);
        break;
    case ToolbarIcon::TextColour:
        letter(p, QStringLiteral("A"), 12, true, false, false, QRect(0, 0, 16, 12), kInk);
        p.fillRect(1, 12, 14, 3, kRed);
        break;
    case ToolbarIcon::PaintBucket:
        drawPaintBucket(p);
        break;
    case ToolbarIcon::LargerText:
        letter(p, QStringLiteral("A"), 14, true, false, false, QRect(0, 1, 11, 15), kInk);
        arrow(p, 13, 2, 10, true);
        break;
    case ToolbarIcon::SmallerText:
        letter(p, QStringLiteral("A"), 9, true, false, false, QRect(0, 5, 10, 11), kInk);
        arrow(p, 13, 4, 12, false);
        break;
    }
}

} // namespace

QImage toolbarImage(ToolbarIcon icon)
{
    QImage image(kToolbarIconSize, kToolbarIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    draw(p, icon);
    return image;
}

} // namespace quorix
