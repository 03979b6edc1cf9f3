#include "platform/ProgramFolder.h"

#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorix {

namespace {
QString &overrideFolder()
{
    static QString folder;
    return folder;
}
} // namespace

QString programFolderPath()
{
    if (!overrideFolder().isEmpty())
        return withTrailingSlash(overrideFolder());
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeFolder).isWritable())
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
