// How long one paint of the gradient button takes: the whole picture (gradient, glyph,
// caption, border, bevel) drawn into a fresh off-screen image, as every repaint does.
#include "controls/GradientButton.h"

#include <cstdio>
#include <QApplication>
#include <QElapsedTimer>

using namespace quorix;

namespace {

void measure(const char *name, GradientButton &b)
{
    constexpr int rounds = 20000;
    QElapsedTimer t;
    t.start();
    qint64 sink = 0;
    for (int i = 0; i < rounds; ++i)
        sink += b.paintBitmap().pixel(1, 1);
    const double us = double(t.nsecsElapsed()) / rounds / 1000.0;
    std::printf("%-40s %8.2f us per paint (%lld)\n", name, us, static_cast<long long>(sink & 1));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QImage glyph(32, 32, QImage::Format_ARGB32);
    glyph.fill(Qt::darkGreen);

    GradientButton plain;
    measure("75 x 25, gradient, no caption", plain);

    GradientButton send;
    send.resize(49, 36);
    send.setLayout(GradientButton::GlyphLayout::Top);
    send.setSpacing(0);
    send.setGlyph(glyph);
    measure("49 x 36, gradient, 32 x 32 glyph", send);

    GradientButton list;
    list.resize(105, 25);
    list.setCaption(QStringLiteral("&Open Files List"));
    list.setGlyph(glyph.scaled(16, 16));
    measure("105 x 25, gradient, glyph and caption", list);

    GradientButton tall;
    tall.resize(200, 400);
    tall.setCaption(QStringLiteral("Tall"));
    measure("200 x 400, gradient, caption", tall);
    return 0;
}
