#include "app/MainButtonStyle.h"

#include "controls/Colours.h"
#include "controls/GradientButton.h"
#include "controls/GradientButtonPalettes.h"

namespace quorix {

namespace {

// The window's background: idle and hovered buttons melt into it.
constexpr std::uint32_t background = colours::background;
// The close and fold buttons' light blue.
constexpr std::uint32_t lightBlue = 16628117;

GradientButtonPalette mainButtonPalette(MainButton which)
{
    using namespace paletteColour;
    const bool titleButton = which == MainButton::Close || which == MainButton::Fold;
    const std::uint32_t text = which == MainButton::Send ? white : black;
    const StatePalette idle{background, background, background, background, background, text};

    StatePalette pressed{};
    switch (which) {
    case MainButton::Close:
        pressed = {red, red, red, lightBlue, red, text};
        break;
    case MainButton::Fold:
        pressed = {8454016, 8454016, 8454016, lightBlue, 8454016, text};
        break;
    case MainButton::Send:
    case MainButton::Options:
        pressed = {13290186, 14342874, 15329769, 8158332, 5131854, text};
        break;
    case MainButton::Clipboard:
        pressed = {16757606, 16764573, 16765864, 16752190, 11753728, text};
        break;
    case MainButton::Screen:
        pressed = {2865919, 7852799, 9099775, 30647, 28838, text};
        break;
    case MainButton::Window:
        pressed = {5168259, 8447654, 9037740, 1539390, 1471545, text};
        break;
    case MainButton::Slideshow:
        pressed = {381429, 6746363, 6747135, 33924, 25700, text};
        break;
    case MainButton::Text:
        pressed = {16756749, 10907648, 16762508, 16775142, 157, text};
        break;
    }

    StatePalette hover = idle;
    hover.border = titleButton ? 14540249 : silver;
    const StatePalette disabled =
        titleButton ? StatePalette{lightBlue, lightBlue, lightBlue, lightBlue, grey, lightBlue}
                    : StatePalette{15658734, white, 13816530, white, grey, grey};
    return {idle, hover, pressed, disabled, background};
}

} // namespace

void applyMainButtonStyle(GradientButton *button, MainButton which)
{
    if (!button)
        return;
    button->setColourScheme(GradientButton::Scheme::Custom);
    applyPalette(*button, mainButtonPalette(which));
    button->setGradient(true);
    button->setHotTrack(true);
    button->setTransparentGlyph(true);
    button->setTabStop(false);
    if (which == MainButton::Send) {
        button->setLayout(GradientButton::GlyphLayout::Top);
        button->setSpacing(0);
    } else {
        button->setLayout(GradientButton::GlyphLayout::Left);
        button->setSpacing(4);
    }
}

} // namespace quorix
