#pragma once
// What the tests inside the private Wayland session (tests/desktops/sway/with-sway.sh) share:
// the test back end's control folder, native Wayland windows of one colour, and the
// compositor's own screenshots.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringList>
#include <QThread>

namespace quorix::test {

constexpr int kSessionWait = 15000;

inline QString controlFile(const QString &name)
{
    return QDir(qEnvironmentVariable("QUORIX_WAYLAND_CONTROL")).filePath(name);
}

inline bool setControl(const QString &name, const QByteArray &text)
{
    QFile f(controlFile(name));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(text) == text.size();
}

// The lines the back end noted: "asked monitor parent=...", "restored monitor", "ended".
inline QStringList backendNotes()
{
    QFile f(controlFile(QStringLiteral("asked.log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// How often the back end would have shown the desktop's consent dialog.
inline int timesAsked()
{
    int n = 0;
    for (const QString &line : backendNotes())
        n += line.startsWith(QLatin1String("asked")) ? 1 : 0;
    return n;
}

inline int swaymsg(const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("swaymsg"), arguments);
    p.waitForFinished(5000);
    if (output)
        *output = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// A native Wayland terminal whose whole window is one colour ("rrggbb"), on the shared
// output HEADLESS-1 once this returns; new windows open on HEADLESS-2 again afterwards,
// where Quorix's own stay.
inline QProcess *startFoot(QObject *parent, const QString &colour, const QString &title)
{
    swaymsg({QStringLiteral("focus"), QStringLiteral("output"), QStringLiteral("HEADLESS-1")});
    auto *foot = new QProcess(parent);
    foot->start(QStringLiteral("foot"),
                {QStringLiteral("--title=") + title,
                 QStringLiteral("--override=colors.background=") + colour,
                 QStringLiteral("--override=colors.foreground=") + colour,
                 QStringLiteral("--override=cursor.color=") + colour + QLatin1Char(' ') + colour,
                 QStringLiteral("sleep"), QStringLiteral("600")});
    const QByteArray name = "\"name\": \"" + title.toUtf8() + '"';
    for (int i = 0; i < 100; ++i) {
        QByteArray tree;
        swaymsg({QStringLiteral("-t"), QStringLiteral("get_tree")}, &tree);
        if (tree.contains(name))
            break;
        QThread::msleep(50);
    }
    swaymsg({QStringLiteral("focus"), QStringLiteral("output"), QStringLiteral("HEADLESS-2")});
    return foot;
}

inline void stop(QProcess *process)
{
    process->kill();
    process->waitForFinished();
}

// An output as the compositor shows it.
inline QImage screenshot(const QString &output = QStringLiteral("HEADLESS-1"))
{
    QProcess grim;
    grim.start(QStringLiteral("grim"), {QStringLiteral("-o"), output, QStringLiteral("-t"),
                                        QStringLiteral("ppm"), QStringLiteral("-")});
    if (!grim.waitForFinished(5000))
        return {};
    QImage image;
    image.loadFromData(grim.readAllStandardOutput(), "PPM");
    return image.convertToFormat(QImage::Format_RGB32);
}

inline bool centreIs(const QImage &image, QRgb colour)
{
    return !image.isNull() && image.pixel(image.width() / 2, image.height() / 2) == colour;
}

} // namespace quorix::test
