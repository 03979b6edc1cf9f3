#include "support/OutsideWindow.h"

#include <QElapsedTimer>

namespace quorix::test {

OutsideWindow::OutsideWindow(const QStringList &arguments)
{
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Outside windows are laid out in the server's own pixels, whatever the test's scale.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"), QStringLiteral("0"));
    process_.setProcessEnvironment(env);
    process_.start(QStringLiteral(QUORIX_TESTWINDOW), arguments);
}

OutsideWindow::~OutsideWindow()
{
    close();
}

bool OutsideWindow::waitReady(int ms)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray seen;
    while (clock.elapsed() < ms && process_.state() != QProcess::NotRunning) {
        process_.waitForReadyRead(50);
        seen += process_.readAll();
        const int at = seen.indexOf("ready ");
        const int end = seen.indexOf('\n', at);
        if (at >= 0 && end > at) {
            id_ = std::uint32_t(seen.mid(at + 6, end - at - 6).toULongLong());
            return id_ != 0;
        }
    }
    return false;
}

void OutsideWindow::close()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

int runTool(const QString &program, const QStringList &arguments, int ms)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(program, arguments);
    if (!tool.waitForFinished(ms) || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    return tool.exitCode();
}

QString toolOutput(const QString &program, const QStringList &arguments, int ms)
{
    QProcess tool;
    tool.start(program, arguments);
    tool.waitForFinished(ms);
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QRect windowGeometry(const QString &id)
{
    // "X=..\nY=..\nWIDTH=..\nHEIGHT=.." in shell form.
    const QStringList lines = xdotool({"getwindowgeometry", "--shell", id}).split('\n');
    auto value = [&](const char *key) {
        for (const QString &l : lines)
            if (l.startsWith(QLatin1String(key) + '='))
                return l.section('=', 1).toInt();
        return -1;
    };
    return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
}

} // namespace quorix::test
