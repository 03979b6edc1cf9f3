#include "slideshow/SlideListFile.h"

#include "core/LineFile.h"

#include <algorithm>
#include <stdexcept>

namespace quorix {

void saveSlideList(const QString &path, const QStringList &lines)
{
    writeLineFile(path, lines);
}

QStringList readSlideList(const QString &path)
{
    return readLineFile(path);
}

bool slideListLoops(const QStringList &lines)
{
    return lineAt(lines, 0) == QLatin1String("1");
}

int slideListDuration(const QString &line)
{
    bool ok = false;
    const qlonglong value = line.trimmed().toLongLong(&ok, 10);
    if (!ok)
        throw std::invalid_argument(
            QStringLiteral("'%1' is not a valid integer value").arg(line).toStdString());
    return int(std::clamp<qlonglong>(value, kMinSetupDuration, kMaxSetupDuration));
}

} // namespace quorix
