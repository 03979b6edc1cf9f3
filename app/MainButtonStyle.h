#pragma once
// The main window's buttons all use the custom colour scheme: background-coloured while
// idle and hovered, and a pressed colour set of their own that tells the sources apart.
namespace quorix {

class GradientButton;

enum class MainButton
{
    Close,
    Fold,
    Send,
    Options,
    Clipboard,
    Screen,
    Window,
    Slideshow,
    Text
};

void applyMainButtonStyle(GradientButton *button, MainButton which);

} // namespace quorix
