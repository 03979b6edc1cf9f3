#include "support/SambaShare.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <functional>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorix::test {

namespace {

// True when something accepts connections on 127.0.0.1:445.
bool portAnswers()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(445);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

bool waitFor(const std::function<bool()> &ready, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!ready()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(50);
    }
    return true;
}

void writeText(const QString &path, const QString &text, QFile::Permissions mode)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(text.toUtf8());
    f.close();
    f.setPermissions(mode);
}

} // namespace

QString SambaShare::mountOptions()
{
    return QStringLiteral("attr_timeout=0,entry_timeout=0,negative_timeout=0");
}

SambaShare::SambaShare(int mounts)
{
    for (const char *tool : {"smbd", "smbnetfs", "fusermount"})
        if (QStandardPaths::findExecutable(tool).isEmpty() &&
            QStandardPaths::findExecutable(tool, {"/usr/sbin", "/sbin"}).isEmpty()) {
            problem_ = QStringLiteral("%1 is not installed").arg(tool);
            return;
        }
    if (!QFileInfo(QStringLiteral("/dev/fuse")).isWritable()) {
        problem_ = QStringLiteral("/dev/fuse cannot be opened: no FUSE mounts here");
        return;
    }
    if (::geteuid() != 0) {
        problem_ = QStringLiteral("smbd needs root to serve port 445");
        return;
    }
    if (portAnswers()) {
        problem_ = QStringLiteral("port 445 is already served on this machine");
        return;
    }
    const QString d = dir_.path();
    for (const char *sub :
         {"share", "private", "lock", "state", "cache", "pid", "ncalrpc", "home/.smb"})
        QDir().mkpath(d + "/" + sub);
    QFile::setPermissions(d + "/share", QFile::Permissions(0x7777));
    writeText(d + "/smb.conf",
              QStringLiteral("[global]\n"
                             "  workgroup = WORKGROUP\n"
                             "  server role = standalone server\n"
                             "  map to guest = Bad User\n"
                             "  interfaces = 127.0.0.1\n"
                             "  bind interfaces only = yes\n"
                             "  smb ports = 445\n"
                             "  disable netbios = yes\n"
                             "  server services = -nbt\n"
                             "  load printers = no\n"
                             "  printing = bsd\n"
                             "  printcap name = /dev/null\n"
                             "  disable spoolss = yes\n"
                             "  private dir = %1/private\n"
                             "  lock directory = %1/lock\n"
                             "  state directory = %1/state\n"
                             "  cache directory = %1/cache\n"
                             "  pid directory = %1/pid\n"
                             "  ncalrpc dir = %1/ncalrpc\n"
                             "  log file = %1/smbd.log\n"
                             "[share]\n"
                             "  path = %1/share\n"
                             "  guest ok = yes\n"
                             "  guest only = yes\n"
                             "  read only = no\n"
                             "  force user = root\n")
                  .arg(d),
              QFile::ReadOwner | QFile::WriteOwner);
    // smbnetfs refuses a configuration others can read (it may hold passwords).
    writeText(d + "/home/.smb/smb.conf", QStringLiteral("[global]\n  workgroup = WORKGROUP\n"),
              QFile::ReadOwner | QFile::WriteOwner);
    writeText(d + "/home/.smb/smbnetfs.conf",
              QStringLiteral("auth \"guest\" \"\"\n"
                             "smb_query_browsers \"false\"\n"
                             "show_hidden_hosts \"true\"\n"
                             "host 127.0.0.1 visible=true\n"),
              QFile::ReadOwner | QFile::WriteOwner);
    if (!startServer())
        return;
    for (int i = 0; i < mounts; ++i) {
        const QString point = d + QStringLiteral("/mount%1").arg(i);
        QDir().mkpath(point);
        if (!mount(point))
            return;
    }
}

SambaShare::~SambaShare()
{
    for (const QString &point : points_) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("fusermount", {"-u", point});
        p.waitForFinished(10000);
        if (p.exitCode() != 0) {
            qWarning("SambaShare: %s", p.readAll().constData());
            QProcess::execute("fusermount", {"-uz", point});
        }
    }
    stopServer();
}

QString SambaShare::servedFolder() const
{
    return dir_.path() + "/share";
}

QString SambaShare::mounted(int i) const
{
    return points_.value(i) + "/127.0.0.1/share";
}

bool SambaShare::startServer()
{
    smbd_.setProgram(QStandardPaths::findExecutable("smbd", {"/usr/sbin", "/sbin"}));
    // In a process group of its own: smbd ends its whole group when it stops.
    smbd_.setArguments({"--foreground", "--debug-stdout", "-s", dir_.path() + "/smb.conf"});
    smbd_.setStandardOutputFile(dir_.path() + "/smbd.out", QIODevice::Append);
    smbd_.setStandardErrorFile(dir_.path() + "/smbd.out", QIODevice::Append);
    smbd_.start();
    if (!smbd_.waitForStarted(5000) || !waitFor(portAnswers, 15000)) {
        QFile log(dir_.path() + "/smbd.out");
        log.open(QIODevice::ReadOnly);
        problem_ = QStringLiteral("smbd did not start on 127.0.0.1:445: %1")
                       .arg(QString::fromLocal8Bit(log.readAll().right(400)));
        smbd_.kill();
        smbd_.waitForFinished(5000);
        return false;
    }
    return true;
}

void SambaShare::stopServer()
{
    if (smbd_.state() == QProcess::NotRunning)
        return;
    thawServer(); // a stopped process would hold its end until it runs again
    smbd_.terminate();
    if (!smbd_.waitForFinished(5000)) {
        smbd_.kill();
        smbd_.waitForFinished(5000);
    }
    // Its per-connection children end with it; the port is free once nothing answers.
    waitFor([] { return !portAnswers(); }, 5000);
}

void SambaShare::signalServer(int signal)
{
    const qint64 server = smbd_.processId();
    if (server <= 0)
        return;
    ::kill(pid_t(server), signal);
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the parent is the second field after the name.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> after = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (after.size() > 1 && after[1].toLongLong() == server)
            ::kill(pid_t(entry.toLongLong()), signal);
    }
}

bool SambaShare::mount(const QString &point)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_.path() + "/home");
    p.setProcessEnvironment(env);
    p.start("smbnetfs",
            {point, "-o", "config=" + dir_.path() + "/home/.smb/smbnetfs.conf," + mountOptions()});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) {
        problem_ = QStringLiteral("smbnetfs could not mount the share: %1")
                       .arg(QString::fromLocal8Bit(p.readAllStandardError().right(400)));
        return false;
    }
    points_ << point;
    const QString share = point + "/127.0.0.1/share";
    if (!waitFor([&] { return QFileInfo(share).isDir() && QDir(share).exists(); }, 15000)) {
        problem_ = QStringLiteral("the share does not appear under %1").arg(point);
        return false;
    }
    return true;
}

} // namespace quorix::test
