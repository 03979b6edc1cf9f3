#include "exchange/ViewerSettings.h"

#include "core/LineFile.h"

namespace quorix {

namespace {

bool isOn(const QStringList &lines, qsizetype index)
{
    bool ok = false;
    const long long value = lineAt(lines, index).trimmed().toLongLong(&ok);
    return ok && value != 0;
}

} // namespace

ViewerSettings parseViewerSettings(const QStringList &lines)
{
    ViewerSettings s;
    s.stretch = isOn(lines, 1);
    s.center = isOn(lines, 2);
    s.autoSize = isOn(lines, 3);
    s.fullScreen = isOn(lines, 4);
    s.scrollVisible = isOn(lines, 5);
    s.scrollText = lineAt(lines, 6);
    s.dialogBorder = isOn(lines, 7);
    return s;
}

} // namespace quorix
