#pragma once
// Whole colour sets for GradientButton, written as the window layouts list them (0x00BBGGRR
// values): the built-in schemes' and those of the slide-show set-up window's four list
// buttons.
#include "controls/ButtonColours.h"
#include "controls/GradientButton.h"

#include <cstdint>

namespace quorix {

// The six colours of one visual state, and a button's whole set, as 0x00BBGGRR values.
using StatePalette = StateColourSet<std::uint32_t>;
using GradientButtonPalette = ButtonColourSet<std::uint32_t>;

ButtonColours toButtonColours(const GradientButtonPalette &palette);

// Writes every colour; the button's scheme becomes Custom.
void applyPalette(GradientButton &button, const GradientButtonPalette &palette);

// Named colours of the layouts.
namespace paletteColour {
constexpr std::uint32_t black = 0x000000, white = 0xFFFFFF, grey = 0x808080, silver = 0xC0C0C0,
                        red = 0x0000FF, yellow = 0x00FFFF, blue = 0xFF0000;
}

// The colours a built-in scheme writes (Custom writes none: its palette is all black). The
// six schemes without "Neo" in their names leave the four gradient ends as they were; their
// palettes hold `keptColour` there.
constexpr std::uint32_t keptColour = 0xFFFFFFFFu;
GradientButtonPalette schemePalette(GradientButton::Scheme scheme);

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
