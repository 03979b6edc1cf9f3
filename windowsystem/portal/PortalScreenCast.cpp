#include "windowsystem/portal/PortalScreenCast.h"

#include "windowsystem/portal/PipeWireStream.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusUnixFileDescriptor>
#include <QRandomGenerator>
#include <QSettings>

#include <fcntl.h>

namespace quorix {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenCast = QStringLiteral("org.freedesktop.portal.ScreenCast");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");

constexpr std::uint32_t kCursorEmbedded = 2;
constexpr std::uint32_t kCursorHidden = 1;
constexpr std::uint32_t kPersistUntilRevoked = 2;
// The first portal version that can remember the presenter's answer.
constexpr std::uint32_t kPersistVersion = 4;

QString newToken()
{
    return QStringLiteral("quorix%1")
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// The request object the portal creates for `token`, known before the call returns, so
// that its Response cannot be missed.
QString requestPathFor(const QString &token)
{
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

// The node of the first stream in Start's "streams" (a(ua{sv})); 0 when there is none.
std::uint32_t firstStreamNode(const QVariant &streams)
{
    if (!streams.canConvert<QDBusArgument>())
        return 0;
    const QDBusArgument arg = streams.value<QDBusArgument>();
    std::uint32_t node = 0;
    bool first = true;
    arg.beginArray();
    while (!arg.atEnd()) {
        std::uint32_t id = 0;
        QVariantMap properties;
        arg.beginStructure();
        arg >> id >> properties;
        arg.endStructure();
        if (first)
            node = id;
        first = false;
    }
    arg.endArray();
    return node;
}

QSettings programSettings()
{
    return QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"));
}

} // namespace

PortalOffer PortalScreenCast::probe(int timeoutMs)
{
    PortalOffer offer;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return offer;
    QDBusMessage call = QDBusMessage::createMethodCall(
        kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("GetAll"));
    call << kScreenCast;
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return offer;
    return offerFrom(qdbus_cast<QVariantMap>(reply.arguments().first()));
}

PortalOffer PortalScreenCast::offerFrom(const QVariantMap &properties)
{
    PortalOffer offer;
    if (!properties.contains(QStringLiteral("AvailableSourceTypes")))
        return offer;
    offer.available = true;
    offer.version = properties.value(QStringLiteral("version")).toUInt();
    offer.sourceTypes = properties.value(QStringLiteral("AvailableSourceTypes")).toUInt();
    offer.cursorModes = properties.value(QStringLiteral("AvailableCursorModes")).toUInt();
    return offer;
}

PortalScreenCast::PortalScreenCast(Source source, const PortalOffer &offer, QObject *parent)
    : QObject(parent), source_(source), offer_(offer)
{
    // A portal that goes away (it crashed, or the session bus restarts it) answers nothing
    // more: what was asked of it failed.
    auto *watcher = new QDBusServiceWatcher(kService, QDBusConnection::sessionBus(),
                                            QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this,
            &PortalScreenCast::onPortalGone);
}

PortalScreenCast::~PortalScreenCast()
{
    closeSession();
}

void PortalScreenCast::setState(State state)
{
    if (state_ == state)
        return;
    state_ = state;
    emit stateChanged();
}

void PortalScreenCast::setStep(Step step)
{
    const bool wasOpen = dialogMayBeOpen();
    step_ = step;
    if (dialogMayBeOpen() != wasOpen)
        emit dialogChanged();
}

void PortalScreenCast::start(const QString &parentWindow)
{
    if (state_ == State::Asking || state_ == State::Streaming)
        return;
    if (abandoned_ && !requestPath_.isEmpty()) {
        // The dialog of the last start is still open: its answer is this start's.
        abandoned_ = false;
        setState(State::Asking);
        return;
    }
    if (!offer_.available || !(offer_.sourceTypes & std::uint32_t(source_))) {
        setState(State::Unavailable);
        return;
    }
    closeSession();
    delete stream_.data();
    ++generation_;
    parentWindow_ = parentWindow;
    setState(State::Asking);
    request(Step::CreateSession, QStringLiteral("CreateSession"), {},
            {{QStringLiteral("session_handle_token"), newToken()}});
}

void PortalScreenCast::stop()
{
    if (!requestPath_.isEmpty()) {
        // The desktop's dialog may be open: its answer closes the session.
        abandoned_ = true;
    } else {
        // Answers still on their way (the stream being opened) belong to the session left.
        ++generation_;
        closeSession();
    }
    if (state_ == State::Asking || state_ == State::Streaming)
        setState(State::Ended);
}

void PortalScreenCast::closeSession()
{
    abandoned_ = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!requestPath_.isEmpty()) {
        bus.disconnect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                       SLOT(onResponse(QDBusMessage)));
        requestPath_.clear();
    }
    setStep(Step::None);
    if (sessionPath_.isEmpty())
        return;
    bus.disconnect(kService, sessionPath_, kSession, QStringLiteral("Closed"), this,
                   SLOT(onSessionClosed(QDBusMessage)));
    bus.asyncCall(
        QDBusMessage::createMethodCall(kService, sessionPath_, kSession, QStringLiteral("Close")));
    sessionPath_.clear();
}

void PortalScreenCast::request(Step step, const QString &method, const QList<QVariant> &arguments,
                               QVariantMap options)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    requestPath_ = requestPathFor(token);
    setStep(step);
    bus.connect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                SLOT(onResponse(QDBusMessage)));
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kScreenCast, method);
    QList<QVariant> all = arguments;
    all << options;
    call.setArguments(all);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    const int generation = generation_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation, step] {
        watcher->deleteLater();
        if (generation != generation_ || step_ != step)
            return;
        QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (reply.isError()) {
            closeSession();
            setState(reply.error().type() == QDBusError::UnknownMethod ||
                             reply.error().type() == QDBusError::ServiceUnknown ||
                             reply.error().type() == QDBusError::UnknownInterface
                         ? State::Unavailable
                         : State::Failed);
            return;
        }
        // A portal that names another request object than announced: follow it.
        const QString path = reply.value().path();
        if (path != requestPath_) {
            QDBusConnection bus = QDBusConnection::sessionBus();
            bus.disconnect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                           SLOT(onResponse(QDBusMessage)));
            requestPath_ = path;
            bus.connect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                        SLOT(onResponse(QDBusMessage)));
        }
    });
}

void PortalScreenCast::onResponse(const QDBusMessage &message)
{
    if (message.path() != requestPath_ || message.arguments().size() < 2)
        return;
    QDBusConnection::sessionBus().disconnect(kService, requestPath_, kRequest,
                                             QStringLiteral("Response"), this,
                                             SLOT(onResponse(QDBusMessage)));
    requestPath_.clear();
    const Step step = step_;
    setStep(Step::None);
    const std::uint32_t response = message.arguments().at(0).toUInt();
    const QVariantMap results = qdbus_cast<QVariantMap>(message.arguments().at(1));
    if (abandoned_) {
        // Nobody wants this session any more; an answer to share is remembered all the same.
        if (response == 0 && step == Step::Start)
            keepRestoreToken(results);
        if (response == 0 && step == Step::CreateSession)
            sessionPath_ = results.value(QStringLiteral("session_handle")).toString();
        closeSession();
        return;
    }
    if (response != 0) {
        closeSession();
        setState(response == 1 ? State::Refused : State::Failed);
        return;
    }
    switch (step) {
    case Step::CreateSession: {
        sessionPath_ = results.value(QStringLiteral("session_handle")).toString();
        if (sessionPath_.isEmpty()) {
            setState(State::Failed);
            return;
        }
        QDBusConnection::sessionBus().connect(kService, sessionPath_, kSession,
                                              QStringLiteral("Closed"), this,
                                              SLOT(onSessionClosed(QDBusMessage)));
        selectSources();
        return;
    }
    case Step::SelectSources:
        startCast();
        return;
    case Step::Start: {
        keepRestoreToken(results);
        const std::uint32_t node = firstStreamNode(results.value(QStringLiteral("streams")));
        if (node == 0) {
            closeSession();
            setState(State::Failed);
            return;
        }
        openRemote(node);
        return;
    }
    case Step::None:
        return;
    }
}

void PortalScreenCast::keepRestoreToken(const QVariantMap &results) const
{
    const QString token = results.value(QStringLiteral("restore_token")).toString();
    if (source_ == Source::Monitor && !token.isEmpty())
        programSettings().setValue(QLatin1String(kRestoreTokenKey), token);
}

void PortalScreenCast::onPortalGone()
{
    // Its sessions and requests went with it.
    const bool waiting = !requestPath_.isEmpty() || state_ == State::Asking;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!requestPath_.isEmpty())
        bus.disconnect(kService, requestPath_, kRequest, QStringLiteral("Response"), this,
                       SLOT(onResponse(QDBusMessage)));
    if (!sessionPath_.isEmpty())
        bus.disconnect(kService, sessionPath_, kSession, QStringLiteral("Closed"), this,
                       SLOT(onSessionClosed(QDBusMessage)));
    requestPath_.clear();
    sessionPath_.clear();
    setStep(Step::None);
    abandoned_ = false;
    ++generation_;
    if (waiting && state_ == State::Asking)
        setState(State::Failed);
}

void PortalScreenCast::selectSources()
{
    QVariantMap options{{QStringLiteral("types"), std::uint32_t(source_)},
                        {QStringLiteral("multiple"), false}};
    // The pointer belongs in the picture where the desktop can put it there.
    if (offer_.cursorModes & kCursorEmbedded)
        options.insert(QStringLiteral("cursor_mode"), kCursorEmbedded);
    else if (offer_.cursorModes & kCursorHidden)
        options.insert(QStringLiteral("cursor_mode"), kCursorHidden);
    // A window is chosen anew each time the presenter asks for another one; the monitor's
    // answer is remembered.
    if (source_ == Source::Monitor && offer_.version >= kPersistVersion) {
        options.insert(QStringLiteral("persist_mode"), kPersistUntilRevoked);
        const QString token = programSettings().value(QLatin1String(kRestoreTokenKey)).toString();
        if (!token.isEmpty())
            options.insert(QStringLiteral("restore_token"), token);
    }
    request(Step::SelectSources, QStringLiteral("SelectSources"),
            {QVariant::fromValue(QDBusObjectPath(sessionPath_))}, options);
}

void PortalScreenCast::startCast()
{
    request(Step::Start, QStringLiteral("Start"),
            {QVariant::fromValue(QDBusObjectPath(sessionPath_)), parentWindow_}, {});
}

void PortalScreenCast::openRemote(std::uint32_t node)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kScreenCast,
                                                       QStringLiteral("OpenPipeWireRemote"));
    call << QVariant::fromValue(QDBusObjectPath(sessionPath_)) << QVariantMap();
    auto *watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    const int generation = generation_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, generation, node] {
        watcher->deleteLater();
        if (generation != generation_)
            return;
        QDBusPendingReply<QDBusUnixFileDescriptor> reply = *watcher;
        const int fd = reply.isError() || !reply.value().isValid()
                           ? -1
                           : fcntl(reply.value().fileDescriptor(), F_DUPFD_CLOEXEC, 3);
        if (fd < 0) {
            closeSession();
            setState(State::Failed);
            return;
        }
        auto *stream = new PipeWireStream(fd, node, this);
        stream_ = stream;
        connect(stream, &PipeWireStream::ended, this, [this, stream] {
            if (stream != stream_ || state_ != State::Streaming)
                return;
            closeSession();
            setState(State::Ended);
        });
        if (!stream->start()) {
            closeSession();
            setState(State::Failed);
            return;
        }
        setState(State::Streaming);
    });
}

void PortalScreenCast::onSessionClosed(const QDBusMessage &message)
{
    if (message.path() != sessionPath_)
        return;
    QDBusConnection::sessionBus().disconnect(kService, sessionPath_, kSession,
                                             QStringLiteral("Closed"), this,
                                             SLOT(onSessionClosed(QDBusMessage)));
    sessionPath_.clear();
    ++generation_;
    requestPath_.clear();
    setStep(Step::None);
    setState(State::Ended);
}

} // namespace quorix
