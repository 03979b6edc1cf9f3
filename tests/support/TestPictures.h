#pragma once
// Pictures and colours the tests share: the pure colours of the test window program and of
// the pictures the tests write, easy to find again in a capture.
#include <QColor>
#include <QImage>

inline constexpr QRgb kRed = 0xffff0000;
inline constexpr QRgb kGreen = 0xff00ff00;
inline constexpr QRgb kBlue = 0xff0000ff;
inline constexpr QRgb kMagenta = 0xffff00ff;

// A picture of one colour.
inline QImage filled(QColor colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

inline bool hasColour(const QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}
