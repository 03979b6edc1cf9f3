#pragma once
// The program's pictures, drawn in code so that they stay sharp and need no files: the
// logo, the program icon, the initial preview picture and one glyph per button. Each
// source glyph shows what that source sends.
#include <QImage>

namespace quorix {

QImage programIcon();    // 32 x 32
QImage logoPicture();    // 70 x 36
QImage initialPreview(); // 407 x 264

QImage clipboardGlyph(); // 32 x 32: a clipboard holding a picture
QImage screenGlyph();    // a monitor
QImage windowGlyph();    // one window with its title bar
QImage slideshowGlyph(); // stacked slides with a play mark
QImage textGlyph();      // a page of formatted text
QImage sendGlyph();      // an arrow into the shared folder
QImage optionsGlyph();   // a gear
QImage closeGlyph();     // 10 x 10 cross
QImage foldGlyph();      // 10 x 10 bar

} // namespace quorix
