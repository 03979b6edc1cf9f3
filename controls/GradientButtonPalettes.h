#pragma once
// Whole colour sets for GradientButton, written as the window layouts list them (0x00BBGGRR
// values), and the colour sets of the slide-show set-up window's four list buttons.
#include <cstdint>

namespace quorix {

class GradientButton;

// The six colours of one visual state.
struct XiColourGroup
{
    std::uint32_t face, grad, dark, light, border, text;
};

// All 25 colour slots, in slot order.
struct GradientButtonPalette
{
    XiColourGroup normal, over, down, disabled;
    std::uint32_t focusRect;
};

// Writes all 25 slots in slot order; the button's scheme becomes csCustom.
void applyPalette(GradientButton &button, const GradientButtonPalette &palette);

// Named colours of the layouts.
namespace xicolour {
constexpr std::uint32_t black = 0x000000, white = 0xFFFFFF, grey = 0x808080, silver = 0xC0C0C0,
                        red = 0x0000FF, yellow = 0x00FFFF, blue = 0xFF0000;
}

// The list buttons of the slide-show set-up window: one silver-grey set, told apart only
// by their hover colours.
enum class SetupListButton
{
    AddFiles,
    OpenList,
    SaveList,
    Remove
};

GradientButtonPalette setupListPalette(SetupListButton which);
// The palette plus the rest of their look: gradient and hot tracking on, glyph left with
// spacing 4 and a transparent glyph, not in the tab order.
void applySetupListStyle(GradientButton &button, SetupListButton which);

} // namespace quorix
