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
        pressed = {foldGreen, foldGreen, foldGreen, lightBlue, foldGreen, text};
        break;
    case MainButton::Send:
    case MainButton::Options:
        pressed = schemePalette(GradientButton::Scheme::NeoSilver).pressed;
        break;
    case MainButton::Clipboard:
        pressed = schemePalette(GradientButton::Scheme::NeoSky).pressed;
        break;
    case MainButton::Screen:
        pressed = schemePalette(GradientButton::Scheme::NeoDesert).pressed;
        break;
    case MainButton::Window:
        pressed = schemePalette(GradientButton::Scheme::NeoGrass).pressed;
        break;
    case MainButton::Slideshow:
        pressed = schemePalette(GradientButton::Scheme::NeoSun).pressed;
        break;
    case MainButton::Text:
        pressed = {16756749, 10907648, 16762508, 16775142, 157, text};
        break;
    }
    pressed.text = text; // the scheme sets have black text

    StatePalette hover = idle;
    hover.border = titleButton ? titleHoverBorder : silver;
    const StatePalette disabled =
        titleButton ? StatePalette{lightBlue, lightBlue, lightBlue, lightBlue, grey, lightBlue}
                    : schemePalette(GradientButton::Scheme::NeoSilver).disabled;
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
