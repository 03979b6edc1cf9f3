#pragma once
// The editor toolbar's icons of 16 x 16, drawn by the program.
#include <QImage>

namespace quorix {

constexpr int kToolbarIconSize = 16;

// Each icon is named for the command its button gives; the comment says what it shows.
enum class ToolbarIcon
{
    New,         // a blank page
    Open,        // an open folder
    Save,        // a diskette
    Print,       // a printer
    Undo,        // a curved back arrow
    Cut,         // scissors
    Copy,        // two pages
    Paste,       // a clipboard with a page
    Bold,        // the letter B
    Italic,      // the letter I
    Underline,   // the letter U
    AlignLeft,   // left-aligned lines
    AlignCentre, // centred lines
    AlignRight,  // right-aligned lines
    Bullets,     // a bulleted list
    TextColour,  // a letter A over a red bar
    PaintBucket, // a paint bucket; no toolbar button shows it
    LargerText,  // a large letter A with an up arrow
    SmallerText, // a small letter A with a down arrow
};

// The icon on a transparent background.
QImage toolbarImage(ToolbarIcon icon);

} // namespace quorix
