#include "controls/GradientButtonPalettes.h"

#include "controls/GradientButton.h"
#include "core/Colour.h"

namespace quorix {

void applyPalette(GradientButton &button, const GradientButtonPalette &palette)
{
    const XiColourGroup *groups[] = {&palette.normal, &palette.over, &palette.down,
                                     &palette.disabled};
    int slot = 0;
    for (const XiColourGroup *g : groups) {
        for (std::uint32_t c : {g->face, g->grad, g->dark, g->light, g->border, g->text})
            button.setColor(slot++, bgrColour(c));
    }
    button.setColor(GradientButton::focusRectSlot, bgrColour(palette.focusRect));
}

GradientButtonPalette setupListPalette(SetupListButton which)
{
    using namespace xicolour;
    GradientButtonPalette p{
        {15987699, 12369084, 10987431, 16250871, 6447714, black},
        {grey, 0, 10658466, 15658734, 7697781, black},
        {13290186, 14342874, 15329769, 8158332, 5131854, black},
        {15658734, white, 13816530, white, grey, grey},
        11382189,
    };
    switch (which) {
    case SetupListButton::AddFiles:
        p.over.face = 14024703;
        p.over.grad = yellow;
        p.over.text = black;
        break;
    case SetupListButton::OpenList:
        p.over.grad = blue;
        p.over.text = white;
        break;
    case SetupListButton::SaveList:
        p.over.grad = 12615680;
        p.over.text = white;
        break;
    case SetupListButton::Remove:
        p.over.grad = red;
        p.over.text = white;
        break;
    }
    return p;
}

void applySetupListStyle(GradientButton &button, SetupListButton which)
{
    button.setColorScheme(GradientButton::Custom);
    applyPalette(button, setupListPalette(which));
    button.setGradient(true);
    button.setHotTrack(true);
    button.setLayout(GradientButton::GlyphLeft);
    button.setSpacing(4);
    button.setTransparentGlyph(true);
    button.setTabStop(false);
}

} // namespace quorix
