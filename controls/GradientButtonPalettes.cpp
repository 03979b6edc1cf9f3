#include "controls/GradientButtonPalettes.h"

#include "controls/GradientButton.h"
#include "core/Colour.h"

namespace quorix {

namespace {

StateColours toStateColours(const StatePalette &p)
{
    return {bgrColour(p.face),       bgrColour(p.gradientEnd), bgrColour(p.bevelDark),
            bgrColour(p.bevelLight), bgrColour(p.border),      bgrColour(p.text)};
}

} // namespace

ButtonColours toButtonColours(const GradientButtonPalette &palette)
{
    return {toStateColours(palette.normal), toStateColours(palette.hover),
            toStateColours(palette.pressed), toStateColours(palette.disabled),
            bgrColour(palette.focusRect)};
}

void applyPalette(GradientButton &button, const GradientButtonPalette &palette)
{
    button.setColours(toButtonColours(palette));
}

GradientButtonPalette setupListPalette(SetupListButton which)
{
    using namespace paletteColour;
    // NeoSilver's colours, with a grey hover face.
    GradientButtonPalette p = schemePalette(GradientButton::Scheme::NeoSilver);
    p.hover.face = grey;
    p.hover.gradientEnd = black;
    switch (which) {
    case SetupListButton::AddFiles:
        p.hover.face = 14024703;
        p.hover.gradientEnd = yellow;
        p.hover.text = black;
        break;
    case SetupListButton::OpenList:
        p.hover.gradientEnd = blue;
        p.hover.text = white;
        break;
    case SetupListButton::SaveList:
        p.hover.gradientEnd = 12615680;
        p.hover.text = white;
        break;
    case SetupListButton::Remove:
        p.hover.gradientEnd = red;
        p.hover.text = white;
        break;
    }
    return p;
}

void applySetupListStyle(GradientButton &button, SetupListButton which)
{
    button.setColourScheme(GradientButton::Scheme::Custom);
    applyPalette(button, setupListPalette(which));
    button.setGradient(true);
    button.setHotTrack(true);
    button.setLayout(GradientButton::GlyphLayout::Left);
    button.setSpacing(4);
    button.setTransparentGlyph(true);
    button.setTabStop(false);
}

} // namespace quorix
