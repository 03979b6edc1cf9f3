#include "exchange/ViewerSettings.h"

#include "core/LineFile.h"

namespace quorix {

namespace {

QString lineOf(const QStringList &lines, ViewerSettingsLine line)
{
    return lineAt(lines, qsizetype(line));
}

bool isOn(const QStringList &lines, ViewerSettingsLine line)
{
    bool ok = false;
    const long long value = lineOf(lines, line).trimmed().toLongLong(&ok);
    return ok && value != 0;
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

ViewerSettings parseViewerSettings(const QStringList &lines)
{
    ViewerSettings s;
    s.stretch = isOn(lines, ViewerSettingsLine::Stretch);
    s.center = isOn(lines, ViewerSettingsLine::Centre);
    s.autoSize = isOn(lines, ViewerSettingsLine::AutoSize);
    s.fullScreen = isOn(lines, ViewerSettingsLine::FullScreen);
    s.scrollVisible = isOn(lines, ViewerSettingsLine::ScrollVisible);
    s.scrollText = lineOf(lines, ViewerSettingsLine::ScrollText);
    s.dialogBorder = isOn(lines, ViewerSettingsLine::DialogBorder);
    return s;
}

QStringList viewerSettingsLines(const ViewerSettings &s, const QString &picturePath)
{
    return {picturePath,        flag(s.stretch),       flag(s.center), flag(s.autoSize),
            flag(s.fullScreen), flag(s.scrollVisible), s.scrollText,   flag(s.dialogBorder)};
}

} // namespace quorix
