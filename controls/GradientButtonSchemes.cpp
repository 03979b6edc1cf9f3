// The twelve built-in colour schemes and how choosing one fills the colour slots.
#include "controls/GradientButton.h"

#include "core/Colour.h"

#include <cstdint>

namespace quorix {

namespace {

// A slot that a scheme leaves as it was: the six schemes without "Neo" in their names keep
// the four grad slots, so a gradient set up beforehand survives the change of scheme.
constexpr std::uint32_t kept = 0xFFFFFFFFu;

using SchemeColours = std::array<std::uint32_t, GradientButton::slotCount>;

// Per scheme, in slot order: normal, over, down and disabled groups (face, grad, dark,
// light, border, text each), then the focus rectangle. 0x00BBGGRR values.
// clang-format off
constexpr std::array<SchemeColours, GradientButton::Custom> schemes = {{
    // NeoDesert
    {{13036799, 3653375, 40168, 12183551, 22144, 0,
      11790335, 41968, 36562, 9820927, 22144, 0,
      2865919, 7852799, 9099775, 30647, 28838, 0,
      15658734, 16777215, 13816530, 16777215, 8421504, 8421504,
      4227327}},
    // NeoSky
    {{16772829, 16758380, 16754769, 16772313, 11753728, 0,
      16772055, 16753478, 16752190, 16770250, 11753728, 0,
      16757606, 16764573, 16765864, 16752190, 11753728, 0,
      15658734, 16777215, 13816530, 16777215, 8421504, 8421504,
      16755027}},
    // NeoGrass
    {{14547432, 6217614, 2406748, 13366747, 1404727, 0,
      12579538, 4053111, 2339929, 11923659, 1538365, 0,
      5168259, 8447654, 9037740, 1539390, 1471545, 0,
      15658734, 16777215, 13816530, 16777215, 8421504, 8421504,
      2406748}},
    // NeoSilver
    {{15987699, 12369084, 10987431, 16250871, 6447714, 0,
      15790320, 10921638, 10658466, 15658734, 7697781, 0,
      13290186, 14342874, 15329769, 8158332, 5131854, 0,
      15658734, 16777215, 13816530, 16777215, 8421504, 8421504,
      11382189}},
    // NeoRose
    {{15263999, 9803263, 8553215, 14540287, 157, 0,
      14671871, 7829503, 6974207, 14145535, 157, 0,
      10921727, 12171775, 13553407, 6184703, 157, 0,
      15658734, 16777215, 13816530, 16777215, 8421504, 8421504,
      6184703}},
    // NeoSun
    {{15794175, 2152697, 48059, 15925247, 25700, 0,
      14023935, 376028, 42662, 13434879, 25700, 0,
      381429, 6746363, 6747135, 33924, 25700, 0,
      15658734, 16777215, 13816530, 16777215, 8421504, 8421504,
      48059}},
    // Desert
    {{9821695, kept, 40168, 12183551, 22144, 0,
      7327999, kept, 36562, 9820927, 22144, 0,
      7327999, kept, 9099775, 30647, 28838, 0,
      14869218, kept, 14211288, 15395562, 12895428, 8421504,
      4227327}},
    // Grass
    {{10021815, kept, 2406748, 13366747, 1404727, 0,
      6873494, kept, 2339929, 11923659, 1538365, 0,
      5168259, kept, 9037740, 1539390, 1471545, 0,
      14869218, kept, 14211288, 15395562, 12895428, 8421504,
      42017}},
    // Sky
    {{16769217, kept, 16755027, 16772313, 11753728, 0,
      16764315, kept, 16757092, 16770250, 11753728, 0,
      16760962, kept, 16765864, 16748834, 11753728, 0,
      14869218, kept, 14211288, 15395562, 12895428, 8421504,
      14457620}},
    // Sun
    {{11075583, kept, 48059, 15925247, 25700, 0,
      6747135, kept, 42662, 13434879, 25700, 0,
      2289407, kept, 6747135, 33924, 25700, 0,
      14869218, kept, 14211288, 15395562, 12895428, 8421504,
      36084}},
    // Rose
    {{13027071, kept, 8553215, 14540287, 157, 0,
      11579647, kept, 6974207, 14145535, 157, 0,
      10461183, kept, 8947967, 6184703, 157, 0,
      14869218, kept, 14211288, 15395562, 12895428, 8421504,
      6184703}},
    // Silver
    {{14737632, kept, 11447982, 16250871, 6447714, 0,
      13619151, kept, 7960953, 15658734, 7697781, 0,
      13882323, kept, 15329769, 8158332, 5131854, 0,
      14869218, kept, 14211288, 15395562, 12895428, 8421504,
      9079434}},
}};
// clang-format on

} // namespace

void GradientButton::applySchemeColours(Scheme scheme)
{
    const SchemeColours &colours = schemes[static_cast<std::size_t>(scheme)];
    for (int slot = 0; slot < slotCount; ++slot) {
        if (colours[static_cast<std::size_t>(slot)] != kept)
            setColor(slot, bgrColour(colours[static_cast<std::size_t>(slot)]));
    }
    setGradient(scheme <= NeoSun);
}

void GradientButton::setColorScheme(Scheme scheme)
{
    if (scheme < NeoDesert || scheme > Custom)
        return;
    scheme_ = scheme;
    if (scheme != Custom)
        applySchemeColours(scheme); // each slot written switches to Custom ...
    update();
    scheme_ = scheme; // ... so the scheme is stored again at the end
}

} // namespace quorix
