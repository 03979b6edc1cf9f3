#pragma once
// The rules of the window picker that need no widgets: what a collected window holds,
// which tiles are dropped, the thumbnail size and the hint texts.
#include "windowsystem/WindowSystem.h"

#include <QSize>
#include <QString>

namespace quorix {

// One collected window, its numbers as decimal text, as the hints show them.
struct WindowEntry
{
    QString className;
    QString handle;
    QString pid;
    QString title;
    WindowInfo::Kind kind = WindowInfo::Kind::Normal;
};

constexpr int kThumbnailBox = 120;
constexpr int kMinimumCaptureSide = 20;

// The table entry of a listed window: empty class names and titles read "Empty", and both
// keep at most 254 characters.
WindowEntry windowEntry(const WindowInfo &window);

// Whether the tile of `entry` is dropped once its capture came out `captureSize` (sides of
// 0 already counted as 1): tiny or failed captures, the desktop, the taskbar and Quorix's
// own windows.
bool dropsTile(const WindowEntry &entry, QSize captureSize);

// 120 on the longer side (width wins only when strictly longer), the other side in
// truncating integer arithmetic. Throws std::domain_error for a side of 0.
QSize thumbnailSize(QSize captureSize);

// "[Class Name: C] * [Handle: H] * [PID: P]" for the title label, and the title followed
// by a space and the same for the thumbnail.
QString labelHint(const WindowEntry &entry);
QString thumbnailHint(const WindowEntry &entry);

} // namespace quorix
