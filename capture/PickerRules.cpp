#include "capture/PickerRules.h"

#include <stdexcept>

namespace quorix {

namespace {

// Titles and class names are kept to 254 characters: hints and labels stay one line that
// the picker can show, and no window can make them arbitrarily long.
constexpr int kTextRoom = 254;

QString orEmpty(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("Empty") : text.left(kTextRoom);
}

} // namespace

WindowEntry windowEntry(const WindowInfo &window)
{
    WindowEntry e;
    e.className = orEmpty(window.className);
    e.handle = QString::number(window.id);
    e.pid = QString::number(window.pid);
    e.title = orEmpty(window.title);
    e.kind = window.kind;
    return e;
}

bool dropsTile(const WindowEntry &entry, QSize size)
{
    if (size.width() < kMinimumCaptureSide || size.height() < kMinimumCaptureSide)
        return true;
    if (entry.title == QLatin1String("Program Manager") ||
        entry.title == QLatin1String("Quorix - Select") || entry.title == QLatin1String("Quorix"))
        return true;
    if (entry.title == QLatin1String("Empty") && entry.className == QLatin1String("Shell_TrayWnd"))
        return true;
    // The desktop and panels of an X11 desktop, which carry no such titles.
    return entry.kind != WindowInfo::Kind::Normal;
}

QSize thumbnailSize(QSize size)
{
    const long long w = size.width();
    const long long h = size.height();
    if (w <= 0 || h <= 0)
        throw std::domain_error("Division by zero");
    if (w > h)
        return {kThumbnailBox, int(h * kThumbnailBox / w)};
    return {int(w * kThumbnailBox / h), kThumbnailBox};
}

QString labelHint(const WindowEntry &e)
{
    return QStringLiteral("[Class Name: %1] * [Handle: %2] * [PID: %3]")
        .arg(e.className, e.handle, e.pid);
}

QString thumbnailHint(const WindowEntry &e)
{
    return e.title + QLatin1Char(' ') + labelHint(e);
}

} // namespace quorix
