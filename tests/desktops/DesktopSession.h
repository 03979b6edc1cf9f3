#pragma once
// What the tests of Quorix on GNOME and on KDE Plasma share: the presenter's hand on the
// desktop's screen-share dialog (gnome/consent.py), the desktop's portal back end as a
// process, the files Quorix sent, its status strip and its remembered permission. The
// session scripts (gnome/with-gnome.sh, kde/with-kde.sh) say which desktop runs through
// their variables: QUORIX_GNOME_* or QUORIX_KDE_*.
#include "support/AppFixture.h"
#include "support/Widgets.h"

#include "exchange/ExchangeProtocol.h"
#include "windowsystem/portal/PortalScreenCast.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QTest>

namespace quorix::test {

inline bool onKde()
{
    return qEnvironmentVariableIsSet("QUORIX_KDE_CONSENT");
}

// A file of the session's control folder, where the tests leave pictures for a person to
// look at (copied out with QUORIX_GNOME_SHOTS or QUORIX_KDE_SHOTS).
inline QString controlFile(const QString &name)
{
    return QDir(qEnvironmentVariable(onKde() ? "QUORIX_KDE_CONTROL" : "QUORIX_GNOME_CONTROL"))
        .filePath(name);
}

inline void keepShot(const QImage &image, const QString &name)
{
    image.save(controlFile(name + QStringLiteral(".png")));
}

// Answers the desktop's dialog ("share", "cancel", "wait" for it, or check it stays
// "absent") while the caller's event loop goes on; the process ends with 0 when it did so.
// A window's row or tile is the one showing `window`, its title.
inline QProcess *startConsent(QObject *parent, const QString &answer, int timeoutSeconds = 20,
                              const QString &window = {})
{
    auto *p = new QProcess(parent);
    QStringList args{qEnvironmentVariable(onKde() ? "QUORIX_KDE_CONSENT" : "QUORIX_GNOME_CONSENT"),
                     answer};
    if (onKde())
        args << QStringLiteral("--desktop") << QStringLiteral("kde");
    args << QStringLiteral("--timeout") << QString::number(timeoutSeconds);
    if (!window.isEmpty())
        args << QStringLiteral("--window") << window;
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral("/usr/bin/python3"), args);
    return p;
}

// Waits (the event loop running) for the helper to end; its exit code, -1 when it did not.
inline int consentResult(QProcess *p, int timeoutMs = 25000)
{
    QElapsedTimer clock;
    clock.start();
    while (p->state() != QProcess::NotRunning && clock.elapsed() < timeoutMs)
        QTest::qWait(50);
    if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished();
        p->deleteLater();
        return -1;
    }
    const int code = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
    p->deleteLater();
    return code;
}

// The process id of the desktop's portal back end; 0 while it does not run.
inline uint backendPid()
{
    const QString name = onKde() ? QStringLiteral("org.freedesktop.impl.portal.desktop.kde")
                                 : QStringLiteral("org.freedesktop.impl.portal.desktop.gnome");
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    if (!bus->isServiceRegistered(name))
        return 0;
    const QDBusReply<uint> pid = bus->servicePid(name);
    return pid.isValid() ? pid.value() : 0;
}

inline QImage sentBmp(const AppFixture &app)
{
    return QImage(app.shared() + kBitmapName, "BMP");
}

inline QImage sentPng(const AppFixture &app)
{
    return QImage(app.shared() + kCompactPictureName, "PNG");
}

// The status strip's text; nothing while it is hidden.
inline QString status(const AppFixture &app)
{
    const QLabel *label = child<QLabel>(*app.main, "statusLabel");
    return label->isHidden() ? QString() : label->text();
}

// The desktop's answer that Quorix keeps (the portal's restore token).
inline void forgetPermission()
{
    QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"))
        .remove(QLatin1String(PortalScreenCast::kRestoreTokenKey));
}

inline bool hasPermission()
{
    return !QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"))
                .value(QLatin1String(PortalScreenCast::kRestoreTokenKey))
                .toString()
                .isEmpty();
}

} // namespace quorix::test
