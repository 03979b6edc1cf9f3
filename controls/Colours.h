#pragma once
// The colours the windows share, as 0x00BBGGRR values (core/Colour.h turns them into
// QColors).
#include <cstdint>

namespace quorix::colours {

// The main window's background and every idle source panel: red 56, green 63, blue 90.
constexpr std::uint32_t background = 5914424;
// The panel of the chosen source.
constexpr std::uint32_t chosenPanel = 13745078;
// The notebook behind the preview and the window picker's tiles.
constexpr std::uint32_t notebook = 12615680;

} // namespace quorix::colours
