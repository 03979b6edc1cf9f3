#pragma once
// The pictures of the slide page's tool buttons, drawn by the program.
#include <QIcon>

namespace quorix {

enum class SlideGlyph
{
    First,
    Previous,
    Play,
    Next,
    Last,
    Stop,
    SetUp,
};

QIcon slideGlyph(SlideGlyph which);

} // namespace quorix
