#include "core/ProgramFolder.h"

#include "core/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace quorix {

namespace {
QString &overrideFolder()
{
    static QString folder;
    return folder;
}

bool isInstalledProgramsFolder(const QString &canonical)
{
    const QString name = QFileInfo(canonical).fileName();
    return name == QLatin1String("bin") || name == QLatin1String("sbin") ||
           canonical.startsWith(QLatin1String("/usr/")) ||
           canonical.startsWith(QLatin1String("/opt/"));
}
} // namespace

bool isOwnProgramFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable())
        return false;
    if (info.ownerId() != static_cast<uint>(geteuid()))
        return false;
    const QFileDevice::Permissions p = info.permissions();
    if (!(p & QFileDevice::WriteOwner) || (p & (QFileDevice::WriteGroup | QFileDevice::WriteOther)))
        return false;
    return !isInstalledProgramsFolder(info.canonicalFilePath());
}

QString programFolderPath()
{
    if (!overrideFolder().isEmpty())
        return withTrailingSlash(overrideFolder());
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (isOwnProgramFolder(exeFolder))
        return withTrailingSlash(exeFolder);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return withTrailingSlash(config);
}

void setProgramFolderOverride(const QString &folder)
{
    overrideFolder() = folder;
}

} // namespace quorix
