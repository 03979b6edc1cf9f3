#pragma once
// What the presenter's Options dialog asks of every viewer, as the lines of quorix.cfg
// (ViewerSettingsLine gives their order). The dialog writes the file and reads it back, and
// the viewer reads it, all through these two functions, so the file has one meaning.
#include "exchange/ExchangeProtocol.h"

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

// The lines of the file for these settings; `picturePath` is the bitmap's full path as the
// presenter sees it (viewers take the picture from their own folder).
QStringList viewerSettingsLines(const ViewerSettings &settings, const QString &picturePath);

// The number of lines a complete settings file has; fewer means it may be half-written.
constexpr qsizetype kViewerSettingsLines = qsizetype(ViewerSettingsLine::Count);

} // namespace quorix
