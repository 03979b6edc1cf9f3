// Timing of the screen source on a Wayland desktop, 1280 x 720 through the real portal
// front end and PipeWire: in the private headless sway session of tests/desktops/sway/with-sway.sh
// (tools/bench-wayland.sh), or in the private GNOME session of tests/desktops/gnome/with-gnome.sh
// (tools/bench-wayland.sh --gnome; GNOME's own dialog answered through AT-SPI, and Quorix's
// window on the one shared monitor, as on a presenter's laptop):
//   - from PipeWire's buffer to the frame waiting for the user-interface thread (median,
//     longest), on the stream's own thread;
//   - the longest the user-interface thread waits to take a frame while frames arrive;
//   - a tick of the main window's screen source that takes a new frame against one that
//     finds none (median, automatic sending off and on);
//   - a still screen with automatic sending on: CPU share of the whole process (the
//     stream's thread included) over 60 s (QUORIX_BENCH_SECONDS shortens it), and the
//     bytes written after the first frame.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/OptionsDialog.h"
#include "capture/CaptureSources.h"
#include "controls/RestartOnChangeTimer.h"
#include "core/LineFile.h"
#include "core/ProgramFolder.h"
#include "windowsystem/portal/PipeWireStream.h"
#include "windowsystem/portal/PortalScreenCast.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMutex>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace quorix;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[std::size_t(double(v.size() - 1) * p)];
}

double longest(const std::vector<double> &v)
{
    return v.empty() ? 0.0 : *std::max_element(v.begin(), v.end());
}

double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

bool onGnome()
{
    return !qEnvironmentVariableIsEmpty("QUORIX_GNOME_CONSENT");
}

int swaymsg(const QStringList &arguments)
{
    if (onGnome())
        return 0; // one monitor: nothing to move between outputs
    QProcess p;
    p.start(QStringLiteral("swaymsg"), arguments);
    p.waitForFinished(5000);
    return p.exitCode();
}

// A native Wayland terminal on the shared output that keeps printing: the desktop redraws
// it all the time. Windows opened later go to the second output again.
QProcess *startChangingScreen()
{
    swaymsg({QStringLiteral("focus"), QStringLiteral("output"), QStringLiteral("HEADLESS-1")});
    auto *foot = new QProcess;
    foot->start(QStringLiteral("foot"),
                {QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("while :; do date +%s%N; sleep 0.02; done")});
    QTest::qWait(1500);
    swaymsg({QStringLiteral("focus"), QStringLiteral("output"), QStringLiteral("HEADLESS-2")});
    return foot;
}

// On GNOME, the presenter's "Share" in the desktop's dialog (none comes on sway, whose test
// back end answers itself; none comes either once the answer is remembered).
QProcess *consent()
{
    if (!onGnome())
        return nullptr;
    auto *p = new QProcess;
    p->start(QStringLiteral("/usr/bin/python3"),
             {qEnvironmentVariable("QUORIX_GNOME_CONSENT"), QStringLiteral("share"),
              QStringLiteral("--timeout"), QStringLiteral("10")});
    return p;
}

void stop(QProcess *p)
{
    if (!p)
        return;
    p->kill();
    p->waitForFinished();
    delete p;
}

void streamFigures()
{
    QProcess *changing = startChangingScreen();
    PortalScreenCast cast(PortalScreenCast::Source::Monitor, PortalScreenCast::probe(10000));
    QProcess *answer = consent();
    cast.start(QString());
    QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Streaming, 15000);
    stop(answer);
    PipeWireStream *stream = cast.stream();
    QMutex lock;
    std::vector<double> handovers;
    // Read on the stream's own thread, right after each frame was put in the slot.
    QObject::connect(
        stream, &PipeWireStream::frameArrived, stream,
        [&] {
            const double ms = double(stream->timing().lastHandover.count()) / 1e6;
            QMutexLocker l(&lock);
            handovers.push_back(ms);
        },
        Qt::DirectConnection);
    // The user-interface thread takes frames as fast as it can for 10 s.
    std::vector<double> takes;
    QElapsedTimer run;
    run.start();
    while (run.elapsed() < 10000) {
        QElapsedTimer t;
        t.start();
        const QImage frame = stream->newestFrame();
        takes.push_back(double(t.nsecsElapsed()) / 1e6);
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    QObject::disconnect(stream, nullptr, nullptr, nullptr);
    QMutexLocker l(&lock);
    std::printf("frames in 10 s: %zu\n", handovers.size());
    std::printf("PipeWire buffer to frame in the slot: median %.3f ms, longest %.3f ms\n",
                median(handovers), longest(handovers));
    // The stream thread can keep the user-interface thread waiting only while it holds the
    // slot; the longest take also counts the times the system ran something else.
    std::printf("stream thread held the slot at most %.4f ms; the user-interface thread's "
                "longest take %.3f ms, 99.9th percentile %.4f ms, over %zu takes\n",
                double(stream->timing().longestLock.count()) / 1e6, longest(takes),
                percentile(takes, 0.999), takes.size());
    cast.stop();
    stop(changing);
}

void tickFigures(MainWindow &main)
{
    QProcess *changing = startChangingScreen();
    main.screenCaptureTimer_->setEnabled(false); // ticks are driven by hand
    for (bool send : {false, true}) {
        main.autoSendBox_->setChecked(send);
        std::vector<double> withFrame, without;
        QElapsedTimer run;
        run.start();
        while (run.elapsed() < 8000) {
            const qint64 before = main.currentBitmap().cacheKey();
            QElapsedTimer t;
            t.start();
            main.captureScreenTick();
            const double ms = double(t.nsecsElapsed()) / 1e6;
            (main.currentBitmap().cacheKey() != before ? withFrame : without).push_back(ms);
            QTest::qWait(20);
        }
        std::printf("screen tick, automatic sending %s: with a new frame median %.3f ms (%zu), "
                    "without one median %.3f ms (%zu), difference %.3f ms\n",
                    send ? "on" : "off", median(withFrame), withFrame.size(), median(without),
                    without.size(), median(withFrame) - median(without));
    }
    stop(changing);
}

void stillFigures(MainWindow &main, const QString &shared)
{
    const int seconds = qEnvironmentVariableIntValue("QUORIX_BENCH_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("QUORIX_BENCH_SECONDS")
                            : 60;
    main.autoSendBox_->setChecked(true);
    main.screenCaptureTimer_->setEnabled(true);
    QTest::qWait(3000); // the last changes of the screen and the first write
    const QString path = shared + QStringLiteral("shar.bmp");
    QSignalSpy writes(&main.state(), &SharedState::sent);
    const double cpu = processCpuMs();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(seconds * 1000);
    const double share = 100.0 * (processCpuMs() - cpu) / double(wall.elapsed());
    std::printf("still screen for %d s, automatic sending on: %.3f %% of a core, %lld writes "
                "after the first frame\n",
                seconds, share, static_cast<long long>(writes.count()));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorix"));
    QTemporaryDir programDir, sharedDir, settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    setProgramFolderOverride(programDir.path());
    // The main window goes to the second output, off the shared one.
    swaymsg({QStringLiteral("focus"), QStringLiteral("output"), QStringLiteral("HEADLESS-2")});

    streamFigures();

    const QString shared = sharedDir.path() + QLatin1Char('/');
    writeLineFile(shared + "quorix.cfg", {shared + "shar.bmp", "0", "0", "0", "1", "1", "", "0"});
    writeLineFile(programDir.filePath("qx.cfg"), {shared + "quorix.cfg"});
    MainWindow main;
    OptionsDialog options(&main, &main);
    AboutBox about(&options);
    options.setAbout(&about);
    main.setOptionsDialog(&options);
    main.startUp();
    main.show();
    QProcess *answer = consent();
    main.selectScreenSource();
    QTest::qWait(3000);
    stop(answer);
    tickFigures(main);
    stillFigures(main, shared);
    return 0;
}
