#pragma once
// The main window's figures that more than one of its files needs: its designed size, the
// bar it folds into, and where folding moves the controls on the right.
#include <QPoint>

namespace quorix::mainlayout {

constexpr int kWidth = 496;
constexpr int kHeight = 348;

// Folded, the window is a bar this high and this much narrower than when unfolded. Any
// window taller than kTallWindow counts as unfolded.
constexpr int kFoldedHeight = 50;
constexpr int kFoldedNarrowing = 180;
constexpr int kTallWindow = 300;

// Unfolded and folded: the Send button, the close and fold buttons (one above the other),
// and the status label.
constexpr QPoint kSendButtonAt{408, 14};
constexpr QPoint kSendButtonFoldedAt{228, 8};
constexpr int kCornerButtonsX = 470;
constexpr int kCornerButtonsFoldedX = 290;
constexpr int kStatusX = 184;
constexpr int kStatusFoldedX = 65;

} // namespace quorix::mainlayout
