// The tests' screen-cast back end for the real xdg-desktop-portal front end.
//
// A desktop's own back end shows a consent dialog; this one is a stand-in for that dialog
// only: it answers as the presenter would ("share", the default) or as a presenter who
// cancels ("cancel"), as the file `answer` in $QUORIX_WAYLAND_CONTROL says at the time of
// the request, and notes in `asked.log` every time it would have asked. Everything else is
// real: the front end talks to it over the session bus, and it streams the compositor's
// own pixels (taken through wlr-screencopy by grim) into a PipeWire Video/Source node.
//
// A monitor is the output HEADLESS-1. A window is the sway window whose title contains the
// text of the file `window`, sent as the whole output with the window's rectangle as the
// crop region. Creating the file `end-sessions` ends every session from the desktop's side;
// the file `format` holding "RGBx" makes the next streams send R, G, B, x bytes.
#include "VideoSource.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>

#include <map>
#include <memory>

using quorix::test::VideoSource;

namespace {

const QString kService = QStringLiteral("org.freedesktop.impl.portal.desktop.quorixtest");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenCast = QStringLiteral("org.freedesktop.impl.portal.ScreenCast");
const QString kSession = QStringLiteral("org.freedesktop.impl.portal.Session");
const QString kRequest = QStringLiteral("org.freedesktop.impl.portal.Request");
const QString kOutput = QStringLiteral("HEADLESS-1");
constexpr std::uint32_t kMonitor = 1, kWindow = 2;

struct IntPair
{
    int a = 0, b = 0;
};
QDBusArgument &operator<<(QDBusArgument &arg, const IntPair &p)
{
    arg.beginStructure();
    arg << p.a << p.b;
    arg.endStructure();
    return arg;
}
const QDBusArgument &operator>>(const QDBusArgument &arg, IntPair &p)
{
    arg.beginStructure();
    arg >> p.a >> p.b;
    arg.endStructure();
    return arg;
}

struct StreamEntry
{
    uint node = 0;
    QVariantMap properties;
};
QDBusArgument &operator<<(QDBusArgument &arg, const StreamEntry &s)
{
    arg.beginStructure();
    arg << s.node << s.properties;
    arg.endStructure();
    return arg;
}
const QDBusArgument &operator>>(const QDBusArgument &arg, StreamEntry &s)
{
    arg.beginStructure();
    arg >> s.node >> s.properties;
    arg.endStructure();
    return arg;
}

struct RestoreData
{
    QString vendor;
    uint version = 0;
    QDBusVariant data;
};
QDBusArgument &operator<<(QDBusArgument &arg, const RestoreData &r)
{
    arg.beginStructure();
    arg << r.vendor << r.version << r.data;
    arg.endStructure();
    return arg;
}
const QDBusArgument &operator>>(const QDBusArgument &arg, RestoreData &r)
{
    arg.beginStructure();
    arg >> r.vendor >> r.version >> r.data;
    arg.endStructure();
    return arg;
}

} // namespace

Q_DECLARE_METATYPE(IntPair)
Q_DECLARE_METATYPE(StreamEntry)
Q_DECLARE_METATYPE(QList<StreamEntry>)
Q_DECLARE_METATYPE(RestoreData)

namespace {

QString controlFile(const QString &name)
{
    return QDir(qEnvironmentVariable("QUORIX_WAYLAND_CONTROL")).filePath(name);
}

QString readControl(const QString &name, const QString &fallback)
{
    QFile f(controlFile(name));
    if (!f.open(QIODevice::ReadOnly))
        return fallback;
    const QString text = QString::fromUtf8(f.readAll()).trimmed();
    return text.isEmpty() ? fallback : text;
}

void note(const QString &line)
{
    QFile f(controlFile(QStringLiteral("asked.log")));
    if (f.open(QIODevice::Append))
        f.write(line.toUtf8() + '\n');
}

// A binary PPM (P6) as grim writes it.
QImage readPpm(const QByteArray &data)
{
    QImage image;
    image.loadFromData(data, "PPM");
    return image.convertToFormat(QImage::Format_RGB32);
}

// The rectangle of the first window whose title contains `title`, relative to its output.
QRect windowRect(const QString &title)
{
    QProcess tree;
    tree.start(QStringLiteral("swaymsg"), {QStringLiteral("-t"), QStringLiteral("get_tree")});
    if (!tree.waitForFinished(5000))
        return {};
    QRect found;
    std::function<void(const QJsonObject &, QPoint)> walk = [&](const QJsonObject &node,
                                                                QPoint origin) {
        if (!found.isNull())
            return;
        const QJsonObject r = node.value(QStringLiteral("rect")).toObject();
        const QRect rect(r.value(QStringLiteral("x")).toInt(), r.value(QStringLiteral("y")).toInt(),
                         r.value(QStringLiteral("width")).toInt(),
                         r.value(QStringLiteral("height")).toInt());
        if (node.value(QStringLiteral("type")).toString() == QLatin1String("output"))
            origin = rect.topLeft();
        const QString name = node.value(QStringLiteral("name")).toString();
        if (node.contains(QStringLiteral("pid")) && name.contains(title)) {
            const QJsonObject d = node.value(QStringLiteral("deco_rect")).toObject();
            const int deco = d.value(QStringLiteral("height")).toInt();
            found = rect.adjusted(0, -deco, 0, 0).translated(-origin);
            return;
        }
        for (const QString &key : {QStringLiteral("nodes"), QStringLiteral("floating_nodes")})
            for (const QJsonValue child : node.value(key).toArray())
                walk(child.toObject(), origin);
    };
    walk(QJsonDocument::fromJson(tree.readAllStandardOutput()).object(), QPoint());
    return found;
}

struct Session
{
    QString path;
    std::uint32_t types = kMonitor;
    std::uint32_t persistMode = 0;
    bool restored = false;
    QRect crop;
    std::unique_ptr<VideoSource> source;
    std::unique_ptr<QTimer> timer;
    std::unique_ptr<QProcess> grab;
    QImage last;
    // The first grabs go out even when unchanged: the consumer's end of the link may start
    // a moment after this end, and would otherwise wait for the next change on the screen.
    int warmUp = 10;
};

class Backend final : public QDBusVirtualObject
{
  public:
    Backend()
    {
        watcher_.addPath(qEnvironmentVariable("QUORIX_WAYLAND_CONTROL"));
        QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
            if (QFile::remove(controlFile(QStringLiteral("end-sessions"))))
                endAll();
        });
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString member = message.member();
        const QList<QVariant> args = message.arguments();
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties")) {
            QVariantMap all{{QStringLiteral("AvailableSourceTypes"), sourceTypes()},
                            {QStringLiteral("AvailableCursorModes"), uint(1 | 2)},
                            {QStringLiteral("version"), uint(4)}};
            if (member == QLatin1String("GetAll"))
                connection.send(message.createReply(QVariant(all)));
            else if (member == QLatin1String("Get") && args.size() == 2)
                connection.send(message.createReply(
                    QVariant::fromValue(QDBusVariant(all.value(args[1].toString())))));
            else
                return false;
            return true;
        }
        if (message.interface() == kRequest || message.interface() == kSession) {
            if (member == QLatin1String("Close")) {
                if (message.interface() == kSession)
                    sessions_.erase(message.path());
                connection.send(message.createReply());
                return true;
            }
            return false;
        }
        if (message.interface() != kScreenCast)
            return false;
        if (member == QLatin1String("CreateSession") && args.size() >= 2) {
            const QString path = qvariant_cast<QDBusObjectPath>(args[1]).path();
            auto session = std::make_unique<Session>();
            session->path = path;
            sessions_[path] = std::move(session);
            reply(connection, message, 0, {{QStringLiteral("session_id"), path}});
            return true;
        }
        if (member == QLatin1String("SelectSources") && args.size() >= 4) {
            Session *s = find(qvariant_cast<QDBusObjectPath>(args[1]).path());
            if (!s) {
                reply(connection, message, 2, {});
                return true;
            }
            const QVariantMap options = qdbus_cast<QVariantMap>(args[3]);
            s->types = options.value(QStringLiteral("types"), kMonitor).toUInt();
            s->persistMode = options.value(QStringLiteral("persist_mode"), 0u).toUInt();
            if (options.contains(QStringLiteral("restore_data"))) {
                const RestoreData data =
                    qdbus_cast<RestoreData>(options.value(QStringLiteral("restore_data")));
                s->restored = data.vendor == QLatin1String("quorixtest");
            }
            reply(connection, message, 0, {});
            return true;
        }
        if (member == QLatin1String("Start") && args.size() >= 5) {
            start(connection, message, qvariant_cast<QDBusObjectPath>(args[1]).path(),
                  args[3].toString());
            return true;
        }
        return false;
    }

  private:
    static uint sourceTypes()
    {
        return readControl(QStringLiteral("source-types"), QStringLiteral("3")).toUInt();
    }

    Session *find(const QString &path)
    {
        auto it = sessions_.find(path);
        return it == sessions_.end() ? nullptr : it->second.get();
    }

    static void reply(const QDBusConnection &connection, const QDBusMessage &message, uint response,
                      const QVariantMap &results)
    {
        connection.send(message.createReply({response, results}));
    }

    void start(const QDBusConnection &connection, const QDBusMessage &message, const QString &path,
               const QString &parent)
    {
        Session *s = find(path);
        if (!s) {
            reply(connection, message, 2, {});
            return;
        }
        const bool window = (s->types & kWindow) && !(s->types & kMonitor);
        const QString kind = window ? QStringLiteral("window") : QStringLiteral("monitor");
        if (s->restored) {
            note(QStringLiteral("restored ") + kind);
        } else {
            // Here a desktop shows its dialog, above the window named by `parent`.
            note(QStringLiteral("asked ") + kind + QStringLiteral(" parent=") + parent);
            if (readControl(QStringLiteral("answer"), QStringLiteral("share")) ==
                QLatin1String("cancel")) {
                reply(connection, message, 1, {});
                return;
            }
        }
        if (window) {
            s->crop = windowRect(readControl(QStringLiteral("window"), QStringLiteral("foot")));
            if (s->crop.isEmpty()) {
                reply(connection, message, 2, {});
                return;
            }
        }
        const QImage first = grabNow();
        s->source = std::make_unique<VideoSource>();
        const bool rgbx = readControl(QStringLiteral("format"), QString()) == QLatin1String("RGBx");
        if (first.isNull() || !s->source->start(first.size(), rgbx)) {
            s->source.reset();
            reply(connection, message, 2, {});
            return;
        }
        StreamEntry entry;
        entry.node = s->source->nodeId();
        const QRect area = window ? s->crop : QRect(QPoint(0, 0), first.size());
        entry.properties = {
            {QStringLiteral("position"), QVariant::fromValue(IntPair{area.x(), area.y()})},
            {QStringLiteral("size"), QVariant::fromValue(IntPair{area.width(), area.height()})},
            {QStringLiteral("source_type"), window ? kWindow : kMonitor}};
        QVariantMap results{
            {QStringLiteral("streams"), QVariant::fromValue(QList<StreamEntry>{entry})}};
        if (s->persistMode > 0) {
            results.insert(QStringLiteral("persist_mode"), s->persistMode);
            results.insert(QStringLiteral("restore_data"),
                           QVariant::fromValue(
                               RestoreData{QStringLiteral("quorixtest"), 1, QDBusVariant(kind)}));
        }
        reply(connection, message, 0, results);
        s->timer = std::make_unique<QTimer>();
        s->timer->setInterval(100);
        QObject::connect(s->timer.get(), &QTimer::timeout, this, [this, path] { grabFor(path); });
        s->timer->start();
        grabFor(path);
    }

    static QImage grabNow()
    {
        QProcess grim;
        grim.start(QStringLiteral("grim"), {QStringLiteral("-o"), kOutput, QStringLiteral("-t"),
                                            QStringLiteral("ppm"), QStringLiteral("-")});
        if (!grim.waitForFinished(5000))
            return {};
        return readPpm(grim.readAllStandardOutput());
    }

    // Grabs the output and sends the frame when it differs from the last one sent: the
    // compositor's damage, as a desktop's back end would follow it.
    void grabFor(const QString &path)
    {
        Session *s = find(path);
        if (!s || !s->source || s->grab)
            return;
        s->source->flush();
        s->grab = std::make_unique<QProcess>();
        QProcess *grim = s->grab.get();
        QObject::connect(grim, &QProcess::finished, this, [this, path] {
            Session *s = find(path);
            if (!s || !s->grab)
                return;
            const QImage frame = readPpm(s->grab->readAllStandardOutput());
            s->grab.release()->deleteLater();
            if (frame.isNull() || !s->source)
                return;
            if (frame == s->last && s->warmUp <= 0)
                return;
            --s->warmUp;
            s->last = frame;
            s->source->send(frame, s->crop);
        });
        grim->start(QStringLiteral("grim"), {QStringLiteral("-o"), kOutput, QStringLiteral("-t"),
                                             QStringLiteral("ppm"), QStringLiteral("-")});
    }

    void endAll()
    {
        note(QStringLiteral("ended"));
        for (auto &[path, session] : sessions_) {
            session->timer.reset();
            session->source.reset();
            QDBusConnection::sessionBus().send(
                QDBusMessage::createSignal(path, kSession, QStringLiteral("Closed")));
        }
        sessions_.clear();
    }

    std::map<QString, std::unique_ptr<Session>> sessions_;
    QFileSystemWatcher watcher_;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    qDBusRegisterMetaType<IntPair>();
    qDBusRegisterMetaType<StreamEntry>();
    qDBusRegisterMetaType<QList<StreamEntry>>();
    qDBusRegisterMetaType<RestoreData>();
    Backend backend;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(kPath, &backend, QDBusConnection::SubPath)) {
        qWarning("cannot register the back end's objects");
        return 1;
    }
    if (!bus.registerService(kService)) {
        qWarning("cannot take the name %s", qPrintable(kService));
        return 1;
    }
    return app.exec();
}
