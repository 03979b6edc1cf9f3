#include "presenter/RoomSettings.h"

#include <QSettings>

namespace quorix {

namespace {
const char *const kKey = "OnlyQuorixViewers";
} // namespace

bool readOnlyQuorixViewers()
{
    QSettings s(QStringLiteral("Ombrak"), QStringLiteral("Quorix"));
    return s.value(QLatin1String(kKey), false).toBool();
}

bool writeOnlyQuorixViewers(bool on)
{
    QSettings s(QStringLiteral("Ombrak"), QStringLiteral("Quorix"));
    s.setValue(QLatin1String(kKey), on);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace quorix
