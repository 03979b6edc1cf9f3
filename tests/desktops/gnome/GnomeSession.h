#pragma once
// What the tests inside the private GNOME session (tests/desktops/gnome/with-gnome.sh) share: the
// presenter's hand on GNOME's screen-share dialog (consent.py, through AT-SPI), the tests'
// shell extension that places and raises windows, native Wayland windows of one colour,
// and GNOME's portal back end as a process.
#include "desktops/DesktopSession.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <signal.h>

namespace quorix::test {

constexpr int kGnomeWait = 15000;

inline QDBusMessage testShell(const QString &method, const QList<QVariant> &args = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.quorix.TestShell"), QStringLiteral("/org/quorix/TestShell"),
        QStringLiteral("org.quorix.TestShell"), method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

// The desktop's windows as the shell sees them: title, x, y, width, height, focus.
inline QJsonArray shellWindows()
{
    const QDBusMessage reply = testShell(QStringLiteral("Windows"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return QJsonDocument::fromJson(reply.arguments().first().toString().toUtf8()).array();
}

inline bool hasWindow(const QString &title)
{
    for (const QJsonValue w : shellWindows())
        if (w.toObject().value(QStringLiteral("title")).toString() == title)
            return true;
    return false;
}

// Whether the window is above every other native window (XWayland ones, such as Quorix's
// own, which stays above, aside).
inline bool onTop(const QString &title)
{
    bool found = false;
    for (const QJsonValue v : shellWindows()) { // bottom to top
        const QJsonObject w = v.toObject();
        if (w.value(QStringLiteral("title")).toString() == title)
            found = true;
        else if (found && !w.value(QStringLiteral("x11")).toBool())
            return false;
    }
    return found;
}

inline bool raiseWindow(const QString &title)
{
    const QDBusMessage reply = testShell(QStringLiteral("Raise"), {title});
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

inline bool placeWindow(const QString &title, const QRect &r)
{
    const QDBusMessage reply =
        testShell(QStringLiteral("Place"), {title, r.x(), r.y(), r.width(), r.height()});
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

// A native Wayland terminal whose whole window is one colour ("rrggbb"), on top of the
// other test windows once this returns: full screen, or at `place`. With `later`, it turns
// that colour when the file `turn` appears in the control folder.
inline QProcess *startColourWindow(QObject *parent, const QString &colour, const QString &title,
                                   const QRect &place = {}, const QString &later = {})
{
    auto *foot = new QProcess(parent);
    QStringList args{QStringLiteral("--title=") + title,
                     QStringLiteral("--override=colors.background=") + colour,
                     QStringLiteral("--override=colors.foreground=") + colour,
                     QStringLiteral("--override=cursor.color=") + colour + QLatin1Char(' ') +
                         colour};
    if (place.isNull())
        args.prepend(QStringLiteral("--fullscreen"));
    if (later.isEmpty())
        args << QStringLiteral("sleep") << QStringLiteral("600");
    else
        args << QStringLiteral("sh") << QStringLiteral("-c")
             << QStringLiteral("while [ ! -e \"$1\" ]; do sleep 0.1; done; "
                               "printf '\\033]11;#%s\\007' \"$2\"; exec sleep 600")
             << QStringLiteral("sh") << controlFile(QStringLiteral("turn")) << later;
    QFile::remove(controlFile(QStringLiteral("turn")));
    foot->start(QStringLiteral("foot"), args);
    for (int i = 0; i < 100 && !hasWindow(title); ++i)
        QTest::qWait(50);
    if (!place.isNull())
        placeWindow(title, place);
    // A window raised before GNOME has shown it is shown below the focused one all the same
    // (as one denied the focus): raised again until it has stayed on top a while.
    raiseWindow(title);
    for (int i = 0, held = 0; i < 50 && held < 3; ++i) {
        QTest::qWait(100);
        if (onTop(title))
            ++held;
        else if (raiseWindow(title))
            held = 0;
    }
    return foot;
}

inline void stop(QProcess *process)
{
    process->kill();
    process->waitForFinished();
    process->deleteLater();
}

// Where the tests look at the screen: clear of Quorix's own window, which sits in the top
// left corner above everything (it stays on top).
constexpr QPoint kLookHere(960, 540);

inline bool colourIs(const QImage &image, QRgb colour)
{
    return image.width() > kLookHere.x() && image.height() > kLookHere.y() &&
           image.pixel(kLookHere) == colour;
}

} // namespace quorix::test
