// Drawing the button: everything goes into an off-screen picture of the button's size,
// which is then copied to the screen in one step, so the button never flickers.
#include "controls/GradientButton.h"

#include <algorithm>
#include <cmath>
#include <QFontMetrics>
#include <QPainter>
#include <QPaintEvent>

namespace quorix {

namespace {

// Nearest integer, halves to the even neighbour, kept inside a colour channel's range.
int roundHalfEven(double v)
{
    const double below = std::floor(v);
    const double fraction = v - below;
    double r = below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        r = below + 1.0;
    return static_cast<int>(std::clamp(r, 0.0, 255.0));
}

// One-pixel drawing on the off-screen picture. Coordinates outside it are skipped.
class Pixels
{
  public:
    explicit Pixels(QImage &image) : image_(image) {}

    void set(int x, int y, QRgb c)
    {
        if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height())
            reinterpret_cast<QRgb *>(image_.scanLine(y))[x] = c;
    }

    // A horizontal or vertical line from (x0, y0) towards (x1, y1); the end point itself
    // is not set, so joined lines meet without drawing their corner twice.
    void line(int x0, int y0, int x1, int y1, QRgb c)
    {
        const int dx = (x1 > x0) - (x1 < x0);
        const int dy = (y1 > y0) - (y1 < y0);
        for (int x = x0, y = y0; x != x1 || y != y1; x += dx, y += dy)
            set(x, y, c);
    }

    // The one-pixel outline of the rectangle covering x1 ... x2 - 1 and y1 ... y2 - 1.
    void frame(int x1, int y1, int x2, int y2, QRgb c)
    {
        if (x2 <= x1 || y2 <= y1)
            return;
        line(x1, y1, x2 - 1, y1, c);
        line(x2 - 1, y1, x2 - 1, y2 - 1, c);
        line(x2 - 1, y2 - 1, x1, y2 - 1, c);
        line(x1, y2 - 1, x1, y1, c);
    }

    void row(int y, QRgb c)
    {
        if (y < 0 || y >= image_.height())
            return;
        QRgb *p = reinterpret_cast<QRgb *>(image_.scanLine(y));
        std::fill(p, p + image_.width(), c);
    }

  private:
    QImage &image_;
};

// Vertical gradient from face (top) to grad (bottom). The running channel values are
// accumulated step by step rather than recomputed per row; row n lies outside.
void paintGradient(Pixels &px, int height, const QColor &face, const QColor &grad)
{
    const int n = height;
    double r = face.red(), g = face.green(), b = face.blue();
    const double stepR = (grad.red() - r) / n;
    const double stepG = (grad.green() - g) / n;
    const double stepB = (grad.blue() - b) / n;
    for (int y = 0; y <= n; ++y) {
        px.row(y, qRgb(roundHalfEven(r), roundHalfEven(g), roundHalfEven(b)));
        r += stepR;
        g += stepG;
        b += stepB;
    }
}

} // namespace

QImage GradientButton::paintBitmap() const
{
    const int W = width();
    const int H = height();
    QImage bitmap(std::max(W, 0), std::max(H, 0), QImage::Format_RGB32);
    if (bitmap.isNull())
        return bitmap;
    // Measure and draw text at the widget's resolution, not at QImage's default 72 dpi.
    bitmap.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    bitmap.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    Pixels px(bitmap);

    // 1. The colour group of the visual state; a disabled button always uses its own.
    int group = state_ == vsDown ? downGroup : state_ == vsHot ? overGroup : normalGroup;
    if (!isEnabled())
        group = disabledGroup;
    const QColor face = colours_[group + roleFace];
    const QColor grad = colours_[group + roleGrad];
    const QColor dark = colours_[group + roleDark];
    const QColor light = colours_[group + roleLight];
    const QColor border = colours_[group + roleBorder];
    const QColor text = colours_[group + roleText];

    // 2, 3. Face, then the gradient over it (a height of 0 has nothing to divide by).
    bitmap.fill(face);
    if (gradient_ && H > 0)
        paintGradient(px, H, face, grad);

    // 4. The caption centred; its measures include any "&", as the text is written. An
    // empty caption measures 0 x 0, so a glyph alone is centred in every layout.
    const QFontMetrics metrics(font(), &bitmap);
    const int tw = caption_.isEmpty() ? 0 : metrics.horizontalAdvance(caption_);
    const int th = caption_.isEmpty() ? 0 : metrics.height();
    int tx = (W - tw) / 2;
    int ty = (H - th) / 2;
    const bool down = state_ == vsDown;

    QPainter painter(&bitmap);
    // 5. The glyph beside, above or below the caption; C++ division and remainder truncate
    // towards zero, which the placement relies on for odd sizes.
    if (!glyph_.isNull()) {
        const int gw = glyph_.width();
        const int gh = glyph_.height();
        const int S = spacing_;
        const bool withCaption = !caption_.isEmpty();
        int gx = 0;
        int gy = 0;
        switch (layout_) {
        case blGlyphLeft:
            gx = tx - gw / 2;
            gy = (H - gh) / 2;
            tx = tx + gw / 2;
            if (withCaption) {
                gx = gx - S / 2 - S % 2;
                tx = tx + S / 2;
            }
            break;
        case blGlyphRight:
            gx = tx + tw - gw / 2;
            gy = (H - gh) / 2;
            tx = tx + (-gw) / 2;
            if (withCaption) {
                gx = gx + S / 2 + S % 2;
                tx = tx - S / 2; // = (-S) div 2, without overflowing for any S
            }
            break;
        case blGlyphTop:
            gx = (W - gw) / 2;
            gy = ty - gh / 2 - gh % 2;
            ty = ty + gh / 2;
            if (withCaption) {
                gy = gy - S / 2 - S % 2;
                ty = ty + S / 2;
            }
            break;
        case blGlyphBottom:
            gx = (W - gw) / 2;
            gy = ty + th - gh / 2;
            ty = ty + (-gh) / 2;
            if (withCaption) {
                gy = gy + S / 2 + S % 2;
                ty = ty - S / 2;
            }
            break;
        }
        if (down) {
            ++gx;
            ++gy;
        }
        painter.drawImage(gx, gy, drawnGlyph_);
    }

    // 6, 7. The caption, one pixel right and down when pressed; "&" underlines the next
    // letter instead of being drawn.
    if (down) {
        ++tx;
        ++ty;
    }
    if (!caption_.isEmpty()) {
        painter.setFont(font());
        painter.setPen(text);
        painter.drawText(QRect(tx, ty, tw, th),
                         Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine |
                             Qt::TextDontClip | Qt::TextShowMnemonic,
                         caption_);
    }
    painter.end();

    // 8. Border.
    px.frame(0, 0, W, H, border.rgb());
    // 9. Bevel: light top and left, dark right and bottom (the down colours swap them, so
    // a pressed button looks sunken).
    if (ctl3D_) {
        px.line(1, H - 2, 1, 1, light.rgb());
        px.line(1, 1, W - 1, 1, light.rgb());
        px.line(W - 2, 1, W - 2, H - 2, dark.rgb());
        px.line(W - 2, H - 2, 1, H - 2, dark.rgb());
    }
    // 10. Focus rectangle.
    if (focused_)
        px.frame(3, 3, W - 3, H - 3, colours_[focusRectSlot].rgb());
    return bitmap;
}

void GradientButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, paintBitmap());
}

void GradientButton::prepareGlyph()
{
    if (glyph_.isNull()) {
        drawnGlyph_ = QImage();
    } else if (!transparentGlyph_) {
        drawnGlyph_ = glyph_.convertToFormat(QImage::Format_RGB32);
    } else {
        // Every pixel of the top-left pixel's colour lets the face show through.
        drawnGlyph_ = glyph_.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = drawnGlyph_.pixel(0, 0);
        for (int y = 0; y < drawnGlyph_.height(); ++y) {
            QRgb *p = reinterpret_cast<QRgb *>(drawnGlyph_.scanLine(y));
            for (int x = 0; x < drawnGlyph_.width(); ++x) {
                if (p[x] == key)
                    p[x] = 0;
            }
        }
    }
}

} // namespace quorix
