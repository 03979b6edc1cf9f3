#pragma once
// An outside client for X11 tests: the quorix_testwindow program in its own process,
// killed when the object goes.
#include <cstdint>
#include <QProcess>
#include <QRect>
#include <QStringList>

namespace quorix::test {

// How long a test waits for outside programs and the X server: generous, since they start
// slowly on a loaded machine and under the sanitizers; a passing test waits only as long
// as it must.
constexpr int kSlowWait = 20000;

class OutsideWindow
{
  public:
    explicit OutsideWindow(const QStringList &arguments);
    ~OutsideWindow();
    OutsideWindow(const OutsideWindow &) = delete;
    OutsideWindow &operator=(const OutsideWindow &) = delete;

    // Waits until the window is mapped and exposed; false when it never came.
    bool waitReady(int ms = kSlowWait);
    std::uint32_t id() const { return id_; }
    qint64 pid() const { return process_.processId(); }
    // Ends the outside program, so that its window vanishes.
    void close();

  private:
    QProcess process_;
    std::uint32_t id_ = 0;
};

// Runs an outside command to its end (xdotool, xclip ...); its exit code, -1 when it did
// not run.
int runTool(const QString &program, const QStringList &arguments, int ms = 10000);

// What an outside command (xdotool, xprop ...) prints, trimmed; empty when it did not run.
QString toolOutput(const QString &program, const QStringList &arguments, int ms = 10000);
inline QString xdotool(const QStringList &arguments)
{
    return toolOutput(QStringLiteral("xdotool"), arguments);
}

// Where the window manager put a window and how large it is, as xdotool reads it; -1 for
// what it could not read.
QRect windowGeometry(const QString &id);

} // namespace quorix::test
