#include "app/Glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace quorix {

namespace {

const QColor kInk(245, 247, 252);
const QColor kShade(30, 34, 52);
const QColor kAccentBlue(80, 160, 240);
const QColor kAccentGold(250, 200, 70);

// A transparent canvas with antialiasing on; pixel (0, 0) stays transparent, which is the
// colour the buttons treat as see-through.
struct Canvas
{
    QImage image;
    QPainter p;
    explicit Canvas(int w, int h) : image(w, h, QImage::Format_ARGB32_Premultiplied)
    {
        image.fill(Qt::transparent);
        p.begin(&image);
        p.setRenderHint(QPainter::Antialiasing);
    }
    QImage done()
    {
        p.end();
        return image.convertToFormat(QImage::Format_ARGB32);
    }
};

void drawLandscape(QPainter &p, const QRectF &r)
{
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, QColor(120, 190, 255));
    sky.setColorAt(1, QColor(200, 230, 255));
    p.fillRect(r, sky);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccentGold);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.25, r.top() + r.height() * 0.3),
                  r.width() * 0.12, r.width() * 0.12);
    QPainterPath hills;
    hills.moveTo(r.bottomLeft());
    hills.lineTo(r.left() + r.width() * 0.35, r.top() + r.height() * 0.45);
    hills.lineTo(r.left() + r.width() * 0.6, r.top() + r.height() * 0.75);
    hills.lineTo(r.left() + r.width() * 0.75, r.top() + r.height() * 0.6);
    hills.lineTo(r.bottomRight());
    hills.closeSubpath();
    p.setBrush(QColor(60, 160, 90));
    p.drawPath(hills);
}

} // namespace

QImage programIcon()
{
    Canvas c(32, 32);
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, QColor(90, 110, 170));
    g.setColorAt(1, QColor(40, 46, 70));
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(g);
    c.p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    // A "Q" whose tail is an arrow going out to the viewers.
    c.p.setPen(QPen(kInk, 3.2, Qt::SolidLine, Qt::RoundCap));
    c.p.setBrush(Qt::NoBrush);
    c.p.drawEllipse(QRectF(6.5, 6.5, 16, 16));
    c.p.setPen(QPen(kAccentGold, 3.2, Qt::SolidLine, Qt::RoundCap));
    c.p.drawLine(QPointF(18, 18), QPointF(25, 25));
    c.p.setBrush(kAccentGold);
    c.p.setPen(Qt::NoPen);
    c.p.drawPolygon(QPolygonF({QPointF(27.5, 27.5), QPointF(20, 26.5), QPointF(26.5, 20)}));
    return c.done();
}

QImage logoPicture()
{
    Canvas c(70, 36);
    c.p.drawImage(QRectF(0, 2, 32, 32), programIcon());
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(15);
    f.setBold(true);
    c.p.setFont(f);
    c.p.setPen(kInk);
    c.p.drawText(QRectF(33, 0, 37, 36), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Qx"));
    return c.done();
}

QImage initialPreview()
{
    QImage image(407, 264, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 264);
    g.setColorAt(0, QColor(0, 128, 192));
    g.setColorAt(1, QColor(0, 60, 110));
    p.fillRect(image.rect(), g);
    p.drawImage(QRectF(171.5, 70, 64, 64), programIcon());
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRectF(0, 140, 407, 36), Qt::AlignCenter, QStringLiteral("Quorix"));
    f.setPixelSize(12);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRectF(0, 178, 407, 20), Qt::AlignCenter,
               QStringLiteral("Choose a source on the left"));
    return image;
}

QImage clipboardGlyph()
{
    Canvas c(32, 32);
    c.p.setPen(QPen(kShade, 1));
    c.p.setBrush(QColor(196, 150, 90));
    c.p.drawRoundedRect(QRectF(5.5, 4.5, 21, 26), 2.5, 2.5);
    c.p.setBrush(QColor(200, 200, 210));
    c.p.drawRoundedRect(QRectF(11.5, 2.5, 9, 5), 1.5, 1.5);
    drawLandscape(c.p, QRectF(8.5, 10.5, 15, 17));
    return c.done();
}

QImage screenGlyph()
{
    Canvas c(32, 32);
    c.p.setPen(QPen(kShade, 1));
    c.p.setBrush(QColor(210, 214, 224));
    c.p.drawRoundedRect(QRectF(2.5, 4.5, 27, 19), 2, 2);
    drawLandscape(c.p, QRectF(4.5, 6.5, 23, 15));
    c.p.setBrush(QColor(210, 214, 224));
    c.p.drawRect(QRectF(13.5, 23.5, 5, 4));
    c.p.drawRoundedRect(QRectF(8.5, 27.5, 15, 2.5), 1, 1);
    return c.done();
}

QImage windowGlyph()
{
    Canvas c(32, 32);
    // A second window behind, to say "one of several".
    c.p.setPen(QPen(kShade, 1));
    c.p.setBrush(QColor(150, 156, 176));
    c.p.drawRect(QRectF(9.5, 3.5, 20, 15));
    c.p.setBrush(Qt::white);
    c.p.drawRect(QRectF(2.5, 9.5, 22, 19));
    c.p.fillRect(QRectF(3, 10, 21.5, 5), kAccentBlue);
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(QColor(230, 80, 70));
    c.p.drawEllipse(QPointF(21, 12.5), 1.4, 1.4);
    c.p.setBrush(QColor(150, 160, 180));
    for (int i = 0; i < 3; ++i)
        c.p.drawRect(QRectF(5, 18 + i * 3.2, 16 - i * 4, 1.6));
    return c.done();
}

QImage slideshowGlyph()
{
    Canvas c(32, 32);
    c.p.setPen(QPen(kShade, 1));
    c.p.setBrush(QColor(180, 186, 204));
    c.p.drawRect(QRectF(8.5, 3.5, 21, 15));
    c.p.setBrush(QColor(214, 218, 230));
    c.p.drawRect(QRectF(5.5, 6.5, 21, 15));
    c.p.setBrush(Qt::white);
    c.p.drawRect(QRectF(2.5, 9.5, 21, 15));
    drawLandscape(c.p, QRectF(3, 10, 20, 14));
    c.p.setPen(QPen(kShade, 1));
    c.p.setBrush(kAccentGold);
    c.p.drawPolygon(QPolygonF({QPointF(20.5, 20.5), QPointF(20.5, 30.5), QPointF(29.5, 25.5)}));
    return c.done();
}

QImage textGlyph()
{
    Canvas c(32, 32);
    c.p.setPen(QPen(kShade, 1));
    c.p.setBrush(Qt::white);
    QPainterPath page;
    page.moveTo(5.5, 2.5);
    page.lineTo(21.5, 2.5);
    page.lineTo(27.5, 8.5);
    page.lineTo(27.5, 29.5);
    page.lineTo(5.5, 29.5);
    page.closeSubpath();
    c.p.drawPath(page);
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(13);
    f.setBold(true);
    c.p.setFont(f);
    c.p.setPen(QColor(40, 70, 160));
    c.p.drawText(QRectF(7, 4, 14, 13), Qt::AlignCenter, QStringLiteral("A"));
    c.p.setPen(Qt::NoPen);
    c.p.setBrush(QColor(120, 130, 150));
    for (int i = 0; i < 4; ++i)
        c.p.drawRect(QRectF(8, 18 + i * 2.8, i == 3 ? 10 : 17, 1.4));
    return c.done();
}

QImage sendGlyph()
{
    Canvas c(32, 32);
    // A folder on the server, and an arrow dropping into it.
    c.p.setPen(QPen(kShade, 1));
    c.p.setBrush(kAccentGold);
    QPainterPath folder;
    folder.moveTo(2.5, 14.5);
    folder.lineTo(11.5, 14.5);
    folder.lineTo(14.5, 17.5);
    folder.lineTo(29.5, 17.5);
    folder.lineTo(29.5, 29.5);
    folder.lineTo(2.5, 29.5);
    folder.closeSubpath();
    c.p.drawPath(folder);
    c.p.setBrush(QColor(90, 200, 110));
    c.p.drawPolygon(
        QPolygonF({QPointF(12.5, 1.5), QPointF(19.5, 1.5), QPointF(19.5, 11.5), QPointF(24.5, 11.5),
                   QPointF(16, 22.5), QPointF(7.5, 11.5), QPointF(12.5, 11.5)}));
    return c.done();
}

QImage optionsGlyph()
{
    Canvas c(32, 32);
    c.p.translate(16, 16);
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a = i * M_PI / teeth;
        const double r = (i % 2 == 0) ? 13.0 : 10.0;
        const double a1 = a - M_PI / (teeth * 2.6);
        const double a2 = a + M_PI / (teeth * 2.6);
        const QPointF p1(r * std::cos(a1), r * std::sin(a1));
        const QPointF p2(r * std::cos(a2), r * std::sin(a2));
        if (i == 0)
            gear.moveTo(p1);
        else
            gear.lineTo(p1);
        gear.lineTo(p2);
    }
    gear.closeSubpath();
    gear.addEllipse(QPointF(0, 0), 4.5, 4.5);
    c.p.setPen(QPen(kShade, 1));
    c.p.setBrush(QColor(200, 205, 220));
    c.p.drawPath(gear);
    return c.done();
}

QImage closeGlyph()
{
    Canvas c(10, 10);
    c.p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
    c.p.drawLine(QPointF(2, 2), QPointF(8, 8));
    c.p.drawLine(QPointF(8, 2), QPointF(2, 8));
    return c.done();
}

QImage foldGlyph()
{
    Canvas c(10, 10);
    c.p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::RoundCap));
    c.p.drawLine(QPointF(2, 7), QPointF(8, 7));
    return c.done();
}

} // namespace quorix
