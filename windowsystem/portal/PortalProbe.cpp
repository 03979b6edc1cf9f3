#include "windowsystem/portal/PortalProbe.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace quorix {

PortalProbe::PortalProbe(QObject *parent) : QObject(parent) {}

void PortalProbe::ask(int timeoutMs)
{
    if (status_ == Status::Asking || status_ == Status::Answered)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    offer_ = PortalOffer();
    if (!bus.isConnected()) {
        status_ = Status::Failed;
        emit answered();
        return;
    }
    status_ = Status::Asking;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
    call << QStringLiteral("org.freedesktop.portal.ScreenCast");
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, timeoutMs), this);
    const int generation = ++generation_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != generation_)
            return;
        const QDBusPendingReply<QVariantMap> reply = *watcher;
        if (reply.isError()) {
            // A portal without the screen-cast interface answers so: that is an answer.
            const bool noScreenCast = reply.error().type() == QDBusError::InvalidArgs ||
                                      reply.error().type() == QDBusError::UnknownInterface;
            status_ = noScreenCast ? Status::Answered : Status::Failed;
            emit answered();
            return;
        }
        offer_ = PortalScreenCast::offerFrom(reply.value());
        status_ = Status::Answered;
        emit answered();
    });
}

} // namespace quorix
