#pragma once
// Colours in the window layouts are 0x00BBGGRR values written in decimal
// (5914424 is red 56, green 63, blue 90).
#include <cstdint>
#include <QColor>

namespace quorix {

inline QColor bgrColour(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

inline std::uint32_t bgrValue(const QColor &c)
{
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

} // namespace quorix
