#pragma once
// The gradient button's colours, named for what each paints. Every visual state (normal,
// hover, pressed, disabled) has the same six; one more colour draws the focus rectangle.
//
// The sets are templates over the colour type so that the button (QColor) and the window
// layouts' palettes (0x00BBGGRR values, see GradientButtonPalettes.h) share one shape.
#include <cstdint>
#include <QColor>

namespace quorix {

template <typename Colour> struct StateColourSet
{
    Colour face;        // the fill, and the top row of the gradient
    Colour gradientEnd; // the bottom row of the gradient
    Colour bevelDark;   // the right and bottom bevel lines
    Colour bevelLight;  // the top and left bevel lines
    Colour border;      // the outer one-pixel frame
    Colour text;        // the caption

    friend bool operator==(const StateColourSet &, const StateColourSet &) = default;
};

template <typename Colour> struct ButtonColourSet
{
    StateColourSet<Colour> normal;
    StateColourSet<Colour> hover;
    StateColourSet<Colour> pressed;
    StateColourSet<Colour> disabled; // whatever the pointer and keyboard do
    Colour focusRect;

    friend bool operator==(const ButtonColourSet &, const ButtonColourSet &) = default;
};

using StateColours = StateColourSet<QColor>;
using ButtonColours = ButtonColourSet<QColor>;

} // namespace quorix
