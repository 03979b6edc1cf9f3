#pragma once
// What the presenter's Options dialog asks of every viewer, as the eight lines of
// quorix.cfg: line 0 the picture's path (the viewer takes the picture from its own folder),
// 1 stretch, 2 centre, 3 auto size, 4 full screen, 5 scroll text shown, 6 the scroll text,
// 7 a dialog-style border for the sizeable window.
#include <QString>
#include <QStringList>

namespace quorix {

struct ViewerSettings
{
    bool stretch = false;
    bool center = true;
    bool autoSize = true;
    bool fullScreen = false;
    bool scrollVisible = false;
    QString scrollText;
    bool dialogBorder = false;

    bool operator==(const ViewerSettings &) const = default;
};

// The settings the lines hold. A switch is on when its line is a non-zero whole number
// ("1" as written); a missing, empty or unreadable line turns it off.
ViewerSettings parseViewerSettings(const QStringList &lines);

// The number of lines a complete settings file has; fewer means it may be half-written.
constexpr qsizetype kViewerSettingsLines = 8;

} // namespace quorix
