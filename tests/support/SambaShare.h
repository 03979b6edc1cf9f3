#pragma once
// A real SMB share for tests and benchmarks: smbd with its own configuration and state in
// a temporary folder, serving a folder on 127.0.0.1 port 445 to guests, mounted through
// smbnetfs (FUSE) as many times as asked. libsmbclient, under smbnetfs, connects to port
// 445 only, so one share runs per machine at a time (the tests hold a CTest resource lock)
// and smbd must be allowed to bind a low port (root here).
//
// The mounts are made without attribute and name caching (attr_timeout=0,
// entry_timeout=0, negative_timeout=0): with the kernel's default second of caching, a
// reader sees a file's old size with its new bytes for up to a second after a rewrite.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>

namespace quorix::test {

class SambaShare
{
  public:
    explicit SambaShare(int mounts = 2);
    ~SambaShare();
    SambaShare(const SambaShare &) = delete;
    SambaShare &operator=(const SambaShare &) = delete;

    // Empty when the share is served and mounted; otherwise why it is not.
    QString problem() const { return problem_; }

    // The folder smbd serves, on this machine's own file system.
    QString servedFolder() const;
    // The share's folder through mount `i` (0-based), without a trailing "/".
    QString mounted(int i) const;

    // The server goes away (the mounts stay, and fail until it is back) and comes back.
    void stopServer();
    bool startServer();
    // The server stops answering without going away (a server that hangs: the clients'
    // requests wait), and answers again.
    void freezeServer() { signalServer(SIGSTOP); }
    void thawServer() { signalServer(SIGCONT); }

    // The mount options, for the README and reports.
    static QString mountOptions();

  private:
    bool mount(const QString &point);
    // Sends `signal` to smbd and the processes it started for its clients.
    void signalServer(int signal);

    QTemporaryDir dir_;
    QProcess smbd_;
    QStringList points_;
    QString problem_;
};

} // namespace quorix::test
