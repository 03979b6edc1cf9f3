#pragma once
// The editor toolbar's 19 icons of 16 x 16, drawn by the program: 0 blank page, 1 open
// folder, 2 diskette, 3 printer, 4 curved back arrow, 5 scissors, 6 two pages, 7 clipboard
// with page, 8 letter B, 9 letter I, 10 letter U, 11 left-aligned lines, 12 centred lines,
// 13 right-aligned lines, 14 bulleted list, 15 coloured letter A, 16 paint bucket, 17 large
// letter A with up arrow, 18 small letter A with down arrow.
#include <QImage>

namespace quorix {

constexpr int kToolbarImageCount = 19;

// The icon with the given index on a transparent background; an empty image for any other
// index.
QImage toolbarImage(int index);

} // namespace quorix
