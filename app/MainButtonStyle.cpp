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
// The fold button's green, pressed.
constexpr std::uint32_t foldGreen = 8454016;
// The close and fold buttons' border under the mouse.
constexpr std::uint32_t titleHoverBorder = 14540249;
// A disabled big button's greys: face and dark side.
constexpr std::uint32_t disabledFace = 15658734;
constexpr std::uint32_t disabledDark = 13816530;

GradientButtonPalette mainButtonPalette(MainButton which)
{
    using namespace xicolour;
    const bool titleButton = which == MainButton::Close || which == MainButton::Fold;
    const std::uint32_t text = which == MainButton::Send ? white : black;
    const XiColourGroup idle{background, background, background, background, background, text};

    XiColourGroup pressed{};
    switch (which) {
    case MainButton::Close:
        pressed = {red, red, red, lightBlue, red, text};
        break;
    case MainButton::Fold:
        pressed = {foldGreen, foldGreen, foldGreen, lightBlue, foldGreen, text};
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

    XiColourGroup hover = idle;
    hover.border = titleButton ? titleHoverBorder : silver;
    const XiColourGroup disabled =
        titleButton ? XiColourGroup{lightBlue, lightBlue, lightBlue, lightBlue, grey, lightBlue}
                    : XiColourGroup{disabledFace, white, disabledDark, white, grey, grey};
    return {idle, hover, pressed, disabled, background};
}

} // namespace

void applyMainButtonStyle(GradientButton *button, MainButton which)
{
    if (!button)
        return;
    button->setColorScheme(GradientButton::Custom);
    applyPalette(*button, mainButtonPalette(which));
    button->setGradient(true);
    button->setHotTrack(true);
    button->setTransparentGlyph(true);
    button->setTabStop(false);
    if (which == MainButton::Send) {
        button->setLayout(GradientButton::GlyphTop);
        button->setSpacing(0);
    } else {
        button->setLayout(GradientButton::GlyphLeft);
        button->setSpacing(4);
    }
}

} // namespace quorix
