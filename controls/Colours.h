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
// The main window's own face, under its background panel: red 213, green 216, blue 229.
constexpr std::uint32_t mainWindowFace = 15063253;
// Behind the main window's status line (yellow text): red 201, green 205, blue 222.
constexpr std::uint32_t statusBackground = 14601673;
// The caption on the window picker's panel: red 0, green 61, blue 89.
constexpr std::uint32_t pickerCaption = 5848320;

} // namespace quorix::colours
