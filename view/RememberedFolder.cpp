#include "view/RememberedFolder.h"

#include <QSettings>

namespace quorix {

namespace {
const char *const kKey = "SharedFolder";

QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ombrak"),
                     QStringLiteral("QuorixView"));
}
} // namespace

QString rememberedFolder()
{
    return settings().value(QLatin1String(kKey)).toString();
}

void rememberFolder(const QString &folder)
{
    QSettings s = settings();
    s.setValue(QLatin1String(kKey), folder);
}

} // namespace quorix
