// The twelve built-in colour schemes and how choosing one fills the button's colours.
#include "controls/GradientButton.h"
#include "controls/GradientButtonPalettes.h"

#include <array>

namespace quorix {

namespace {

constexpr int builtInSchemeCount = static_cast<int>(GradientButton::Scheme::Custom);

// clang-format off
// Every Neo scheme greys out a disabled button alike, and so does every plain one.
constexpr StatePalette neoDisabled{15658734, paletteColour::white, 13816530,
                                   paletteColour::white, paletteColour::grey, paletteColour::grey};
constexpr StatePalette plainDisabled{14869218, keptColour, 14211288, 15395562, 12895428,
                                     paletteColour::grey};

// Per scheme, in the order of GradientButton::Scheme: normal, hover, pressed and disabled
// colours (face, gradient end, bevel dark, bevel light, border, text each), then the focus
// rectangle.
constexpr std::array<GradientButtonPalette, builtInSchemeCount> schemes = {{
    // NeoDesert
    {{13036799, 3653375, 40168, 12183551, 22144, 0},
     {11790335, 41968, 36562, 9820927, 22144, 0},
     {2865919, 7852799, 9099775, 30647, 28838, 0},
     neoDisabled,
     4227327},
    // NeoSky
    {{16772829, 16758380, 16754769, 16772313, 11753728, 0},
     {16772055, 16753478, 16752190, 16770250, 11753728, 0},
     {16757606, 16764573, 16765864, 16752190, 11753728, 0},
     neoDisabled,
     16755027},
    // NeoGrass
    {{14547432, 6217614, 2406748, 13366747, 1404727, 0},
     {12579538, 4053111, 2339929, 11923659, 1538365, 0},
     {5168259, 8447654, 9037740, 1539390, 1471545, 0},
     neoDisabled,
     2406748},
    // NeoSilver
    {{15987699, 12369084, 10987431, 16250871, 6447714, 0},
     {15790320, 10921638, 10658466, 15658734, 7697781, 0},
     {13290186, 14342874, 15329769, 8158332, 5131854, 0},
     neoDisabled,
     11382189},
    // NeoRose
    {{15263999, 9803263, 8553215, 14540287, 157, 0},
     {14671871, 7829503, 6974207, 14145535, 157, 0},
     {10921727, 12171775, 13553407, 6184703, 157, 0},
     neoDisabled,
     6184703},
    // NeoSun
    {{15794175, 2152697, 48059, 15925247, 25700, 0},
     {14023935, 376028, 42662, 13434879, 25700, 0},
     {381429, 6746363, 6747135, 33924, 25700, 0},
     neoDisabled,
     48059},
    // Desert
    {{9821695, keptColour, 40168, 12183551, 22144, 0},
     {7327999, keptColour, 36562, 9820927, 22144, 0},
     {7327999, keptColour, 9099775, 30647, 28838, 0},
     plainDisabled,
     4227327},
    // Grass
    {{10021815, keptColour, 2406748, 13366747, 1404727, 0},
     {6873494, keptColour, 2339929, 11923659, 1538365, 0},
     {5168259, keptColour, 9037740, 1539390, 1471545, 0},
     plainDisabled,
     42017},
    // Sky
    {{16769217, keptColour, 16755027, 16772313, 11753728, 0},
     {16764315, keptColour, 16757092, 16770250, 11753728, 0},
     {16760962, keptColour, 16765864, 16748834, 11753728, 0},
     plainDisabled,
     14457620},
    // Sun
    {{11075583, keptColour, 48059, 15925247, 25700, 0},
     {6747135, keptColour, 42662, 13434879, 25700, 0},
     {2289407, keptColour, 6747135, 33924, 25700, 0},
     plainDisabled,
     36084},
    // Rose
    {{13027071, keptColour, 8553215, 14540287, 157, 0},
     {11579647, keptColour, 6974207, 14145535, 157, 0},
     {10461183, keptColour, 8947967, 6184703, 157, 0},
     plainDisabled,
     6184703},
    // Silver
    {{14737632, keptColour, 11447982, 16250871, 6447714, 0},
     {13619151, keptColour, 7960953, 15658734, 7697781, 0},
     {13882323, keptColour, 15329769, 8158332, 5131854, 0},
     plainDisabled,
     9079434},
}};
// clang-format on

bool isNeo(GradientButton::Scheme scheme)
{
    return scheme <= GradientButton::Scheme::NeoSun;
}

} // namespace

GradientButtonPalette schemePalette(GradientButton::Scheme scheme)
{
    const int index = static_cast<int>(scheme);
    if (index < 0 || index >= builtInSchemeCount)
        return {};
    return schemes[static_cast<std::size_t>(index)];
}

void GradientButton::applySchemeColours(Scheme scheme)
{
    ButtonColours colours = toButtonColours(schemePalette(scheme));
    if (!isNeo(scheme)) {
        // A gradient set up beforehand survives the change to a plain scheme.
        for (StateColours ButtonColours::*state :
             {&ButtonColours::normal, &ButtonColours::hover, &ButtonColours::pressed,
              &ButtonColours::disabled})
            (colours.*state).gradientEnd = (colours_.*state).gradientEnd;
    }
    setColours(colours);
    setGradient(isNeo(scheme));
}

void GradientButton::setColourScheme(Scheme scheme)
{
    if (scheme < Scheme::NeoDesert || scheme > Scheme::Custom)
        return;
    scheme_ = scheme;
    if (scheme != Scheme::Custom)
        applySchemeColours(scheme); // writing the colours switches to Custom ...
    update();
    scheme_ = scheme; // ... so the scheme is stored again at the end
}

} // namespace quorix
