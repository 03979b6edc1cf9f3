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

// The focus rectangle's distance from every edge of the button.
constexpr int focusInset = 3;

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

// Where the glyph's top-left corner and the caption's box go, before the pressed shift.
struct Placement
{
    QPoint glyph;
    QPoint caption;
};

// The caption is centred; the glyph goes beside, above or below it, `spacing` apart when
// there is a caption, and the pair is centred together. C++ division and remainder truncate
// towards zero, which the placement relies on for odd sizes.
Placement placeGlyph(GradientButton::GlyphLayout layout, QSize button, QSize glyph, QSize caption,
                     int spacing, bool withCaption)
{
    const int W = button.width(), H = button.height();
    const int gw = glyph.width(), gh = glyph.height();
    const int tw = caption.width(), th = caption.height();
    const int S = spacing;
    int tx = (W - tw) / 2;
    int ty = (H - th) / 2;
    if (glyph.isEmpty())
        return {QPoint(), QPoint(tx, ty)};
    int gx = 0;
    int gy = 0;
    switch (layout) {
    case GradientButton::GlyphLayout::Left:
        gx = tx - gw / 2;
        gy = (H - gh) / 2;
        tx = tx + gw / 2;
        if (withCaption) {
            gx = gx - S / 2 - S % 2;
            tx = tx + S / 2;
        }
        break;
    case GradientButton::GlyphLayout::Right:
        gx = tx + tw - gw / 2;
        gy = (H - gh) / 2;
        tx = tx + (-gw) / 2;
        if (withCaption) {
            gx = gx + S / 2 + S % 2;
            tx = tx - S / 2; // = (-S) div 2, without overflowing for any S
        }
        break;
    case GradientButton::GlyphLayout::Top:
        gx = (W - gw) / 2;
        gy = ty - gh / 2 - gh % 2;
        ty = ty + gh / 2;
        if (withCaption) {
            gy = gy - S / 2 - S % 2;
            ty = ty + S / 2;
        }
        break;
    case GradientButton::GlyphLayout::Bottom:
        gx = (W - gw) / 2;
        gy = ty + th - gh / 2;
        ty = ty + (-gh) / 2;
        if (withCaption) {
            gy = gy + S / 2 + S % 2;
            ty = ty - S / 2;
        }
        break;
    }
    return {QPoint(gx, gy), QPoint(tx, ty)};
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

    const StateColours &colours = paintedColours();
    // The face, then the gradient over it (a height of 0 has nothing to divide by).
    bitmap.fill(colours.face);
    if (gradient_ && H > 0) {
        Pixels px(bitmap);
        paintGradient(px, H, colours.face, colours.gradientEnd);
    }
    paintGlyphAndCaption(bitmap, colours.text);
    paintFrame(bitmap, colours);
    return bitmap;
}

const StateColours &GradientButton::paintedColours() const
{
    if (!isEnabled())
        return colours_.disabled;
    switch (state_) {
    case VisualState::Pressed:
        return colours_.pressed;
    case VisualState::Hover:
        return colours_.hover;
    case VisualState::Normal:
        break;
    }
    return colours_.normal;
}

void GradientButton::paintGlyphAndCaption(QImage &bitmap, const QColor &text) const
{
    // The caption's measures include any "&", as the text is written. An empty caption
    // measures 0 x 0, so a glyph alone is centred in every layout.
    const QFontMetrics metrics(font(), &bitmap);
    const QSize caption = caption_.isEmpty()
                              ? QSize(0, 0)
                              : QSize(metrics.horizontalAdvance(caption_), metrics.height());
    const Placement place =
        placeGlyph(layout_, bitmap.size(), glyph_.size(), caption, spacing_, !caption_.isEmpty());
    // Pressed, glyph and caption move one pixel right and down.
    const QPoint shift = state_ == VisualState::Pressed ? QPoint(1, 1) : QPoint(0, 0);

    QPainter painter(&bitmap);
    if (!glyph_.isNull())
        painter.drawImage(place.glyph + shift, drawnGlyph_);
    // "&" underlines the next letter instead of being drawn.
    if (!caption_.isEmpty()) {
        painter.setFont(font());
        painter.setPen(text);
        painter.drawText(QRect(place.caption + shift, caption),
                         Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine |
                             Qt::TextDontClip | Qt::TextShowMnemonic,
                         caption_);
    }
}

void GradientButton::paintFrame(QImage &bitmap, const StateColours &colours) const
{
    const int W = bitmap.width();
    const int H = bitmap.height();
    Pixels px(bitmap);
    px.frame(0, 0, W, H, colours.border.rgb());
    // Light top and left, dark right and bottom (the pressed colours swap them, so a
    // pressed button looks sunken).
    if (bevel_) {
        px.line(1, H - 2, 1, 1, colours.bevelLight.rgb());
        px.line(1, 1, W - 1, 1, colours.bevelLight.rgb());
        px.line(W - 2, 1, W - 2, H - 2, colours.bevelDark.rgb());
        px.line(W - 2, H - 2, 1, H - 2, colours.bevelDark.rgb());
    }
    if (focused_)
        px.frame(focusInset, focusInset, W - focusInset, H - focusInset, colours_.focusRect.rgb());
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
