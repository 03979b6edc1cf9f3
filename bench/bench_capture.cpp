// Timing of the capture sources on a real X server (run by tools/bench-capture.sh inside
// a private Xvfb 1920 x 1080), with the main window on the screen it grabs:
//   - a tick of the screen and of a window while they keep changing (grab, compare, write
//     shar.bmp into a tmpfs folder, preview fit), against the per-frame time of ffmpeg's
//     x11grab writing BMP frames of the same screen in the same run; the preview fit alone;
//   - a still screen and a still window for 60 s each at 2 ticks a second with automatic
//     sending on: bytes written after the first frame, CPU share of this process;
//   - bytes written a minute, still and changing;
//   - what a 24-bit shar.bmp would save on the write;
//   - the window picker's build time for 30 outside windows.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/OptionsDialog.h"
#include "capture/CaptureSources.h"
#include "capture/PreviewFit.h"
#include "capture/ThumbnailImage.h"
#include "controls/ColourPanel.h"
#include "controls/RestartOnChangeTimer.h"
#include "core/LineFile.h"
#include "core/ProgramFolder.h"
#include "core/WholeFile.h"
#include "imaging/BmpFile.h"
#include "windowsystem/WindowSystem.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <unistd.h>
#include <vector>

using namespace quorix;

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The parts of a screen tick, each timed on its own, to show where the time goes.
struct TickParts
{
    double grabMs = 0, writeMs = 0, fitMs = 0;

    void run(const QString &sharedFolder, QLabel *preview)
    {
        QElapsedTimer t;
        t.start();
        QImage grab;
        windowSystem().captureScreen(grab);
        grabMs = t.nsecsElapsed() / 1e6;
        t.start();
        writeBmpFile(sharedFolder + QStringLiteral("shar.bmp"), grab);
        writeMs = t.nsecsElapsed() / 1e6;
        t.start();
        preview->setPixmap(QPixmap::fromImage(fitPreview(grab)));
        fitMs = t.nsecsElapsed() / 1e6;
    }
};

// Wall time of ffmpeg grabbing `frames` frames of the screen into BMP files, in ms.
double ffmpegMs(const QString &ffmpeg, const QString &folder, int frames)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(ffmpeg,
            {"-loglevel", "error", "-y", "-f", "x11grab", "-draw_mouse", "0", "-framerate", "1000",
             "-video_size", "1920x1080", "-i", qEnvironmentVariable("DISPLAY"), "-frames:v",
             QString::number(frames), "-f", "image2", folder + QStringLiteral("/f%03d.bmp")});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return -1;
    return t.nsecsElapsed() / 1e6;
}

// An outside window of the test program; `blink` > 0 makes it change every `blink` ms.
std::unique_ptr<QProcess> outsideWindow(const QStringList &arguments)
{
    auto p = std::make_unique<QProcess>();
    p->start(QStringLiteral(QUORIX_TESTWINDOW), arguments);
    p->waitForReadyRead(20000);
    return p;
}

WindowId idOf(QProcess &p)
{
    const QByteArray line = p.readAllStandardOutput().trimmed();
    return WindowId(line.mid(line.lastIndexOf(' ') + 1).toULongLong());
}

// Runs the event loop for `ms`, the capture timer ticking; returns this process's CPU
// share in % of one core.
double cpuShareWhileRunning(QApplication &app, int ms)
{
    QElapsedTimer wall;
    const double cpu0 = processCpuMs();
    wall.start();
    QTimer::singleShot(ms, &app, &QCoreApplication::quit);
    app.exec();
    return 100.0 * (processCpuMs() - cpu0) / double(wall.elapsed());
}

// Median time of `tick`, each after the screen had time to change and its reports to come.
double changingTickMs(const std::function<void()> &tick, int count)
{
    std::vector<double> v;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < 30)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QElapsedTimer t;
        t.start();
        tick();
        v.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(v);
}

// What the figures share: the application, the program's main window on the screen it
// grabs, the shared folder and the bytes written to shar.bmp since the count was reset.
struct Run
{
    QApplication &app;
    MainWindow &main;
    QString shared;
    int stillSeconds;
    qint64 written = 0;

    // Lets `timer` tick for `ms`, counting the bytes written from 0; returns the CPU share
    // of this process in % of one core.
    double tickFor(RestartOnChangeTimer *timer, int ms)
    {
        written = 0;
        timer->setEnabled(true);
        const double cpu = cpuShareWhileRunning(app, ms);
        timer->setEnabled(false);
        return cpu;
    }
};

// 1. Ticks of a changing screen: a window in the bottom-right corner changes all the time,
// so every frame is compared to the end, written and fitted. Returns the tick median.
double changingScreenFigures(MainWindow &main)
{
    for (int i = 0; i < 5; ++i)
        main.captureScreenTick();
    const double tickMs = changingTickMs([&] { main.captureScreenTick(); }, 100);
    std::vector<double> fits;
    const QImage frame = main.currentBitmap();
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer t;
        t.start();
        const QImage fitted = fitPreview(frame);
        fits.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("changing screen %dx%d: tick median %.2f ms; preview fit %.3f ms (target <= "
                "0.5 ms)\n",
                frame.width(), frame.height(), tickMs, median(fits));
    return tickMs;
}

// 2. ffmpeg in the same run: its time a frame, 0 when it is not installed.
double ffmpegFigures(const QString &scratch, double tickMs)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        std::printf("ffmpeg: not installed, no ratio\n");
        return 0;
    }
    std::vector<double> perFrame;
    const QString folder = scratch + QStringLiteral("/ffmpeg");
    for (int i = 0; i < 3; ++i) {
        const double one = ffmpegMs(ffmpeg, folder, 1);
        const double hundred = ffmpegMs(ffmpeg, folder, 100);
        if (one > 0 && hundred > 0)
            perFrame.push_back((hundred - one) / 99.0);
    }
    QDir(folder).removeRecursively();
    const double ff = median(perFrame);
    std::printf("ffmpeg x11grab -> BMP: %.2f ms a frame; changing screen tick ratio %.2f "
                "(target <= 1.0)\n",
                ff, ff > 0 ? tickMs / ff : 0.0);
    return ff;
}

// 3. Bytes a minute while the screen changes, at 2 ticks a second for 15 s; then 4. a still
// screen for a minute: after the first frame nothing should be written and nearly nothing
// done.
void screenMinuteFigures(Run &run, QProcess &blinker)
{
    MainWindow &main = run.main;
    const double changingCpu = run.tickFor(
        main.findChild<RestartOnChangeTimer *>(QStringLiteral("screenCaptureTimer")), 15000);
    std::printf("changing screen at 2 ticks a second: %.1f MB a minute written, CPU %.2f %%\n",
                double(run.written) * 4 / 1e6, changingCpu);
    blinker.kill();
    blinker.waitForFinished(5000);

    QTest::qWait(1000);
    main.captureScreenTick();
    QTest::qWait(1000);
    main.captureScreenTick();
    const double stillCpu =
        run.tickFor(main.findChild<RestartOnChangeTimer *>(QStringLiteral("screenCaptureTimer")),
                    run.stillSeconds * 1000);
    std::printf("still screen, %d s at 2 ticks a second: %lld bytes written, CPU %.2f %% "
                "(target 0 bytes, <= 0.3 %%)\n",
                run.stillSeconds, static_cast<long long>(run.written), stillCpu);
}

// 5. The window source: a changing window, then a still one.
void windowFigures(Run &run, double ffmpegFrameMs)
{
    MainWindow &main = run.main;
    auto changing = outsideWindow({"--title", "Changing", "--size", "800x600", "--blink", "10"});
    main.captureSources().sourceChanged();
    main.state().capturedWindow = idOf(*changing);
    main.state().mode = SourceMode::Window;
    main.captureWindowTick();
    const double windowTickMs = changingTickMs([&] { main.captureWindowTick(); }, 100);
    const double windowChangingCpu = run.tickFor(
        main.findChild<RestartOnChangeTimer *>(QStringLiteral("windowCaptureTimer")), 15000);
    std::printf("changing window %dx%d: tick median %.2f ms (ratio to ffmpeg's screen frame "
                "%.2f); %.1f MB a minute written, CPU %.2f %%\n",
                main.currentBitmap().width(), main.currentBitmap().height(), windowTickMs,
                ffmpegFrameMs > 0 ? windowTickMs / ffmpegFrameMs : 0.0,
                double(run.written) * 4 / 1e6, windowChangingCpu);
    changing->kill();
    changing->waitForFinished(5000);

    auto still = outsideWindow({"--title", "Still", "--size", "800x600"});
    main.state().capturedWindow = idOf(*still);
    main.captureSources().sourceChanged();
    main.captureWindowTick();
    QTest::qWait(1000);
    main.captureWindowTick();
    const double windowStillCpu =
        run.tickFor(main.findChild<RestartOnChangeTimer *>(QStringLiteral("windowCaptureTimer")),
                    run.stillSeconds * 1000);
    std::printf("still window, %d s at 2 ticks a second: %lld bytes written, CPU %.2f %% "
                "(target 0 bytes, <= 0.3 %%)\n",
                run.stillSeconds, static_cast<long long>(run.written), windowStillCpu);
    still->kill();
    still->waitForFinished(5000);
}

// The median time of writing `size` bytes into a new file `path` opened with `flags`.
double rawWriteMs(const QString &path, qsizetype size, int flags)
{
    const QByteArray raw(size, '\x7f');
    const QByteArray name = QFile::encodeName(path);
    std::vector<double> v;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer t;
        t.start();
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | flags, 0644);
        if (fd >= 0) {
            if (::write(fd, raw.constData(), size_t(raw.size())) != raw.size())
                std::fprintf(stderr, "short write\n");
            ::close(fd);
        }
        v.push_back(t.nsecsElapsed() / 1e6);
    }
    return median(v);
}

// 6. What the file write would cost with a 24-bit file, or rewritten without truncation.
void writeCostFigures(const QString &shared)
{
    QLabel picture;
    TickParts parts;
    std::vector<double> grabs, writes, partFits;
    for (int i = 0; i < 30; ++i) {
        parts.run(shared, &picture);
        grabs.push_back(parts.grabMs);
        writes.push_back(parts.writeMs);
        partFits.push_back(parts.fitMs);
    }
    std::printf("  parts of a screen tick: grab %.2f, encode + write shar.bmp %.2f, fit %.2f ms\n",
                median(grabs), median(writes), median(partFits));
    const QString whatIf = shared + "what-if.bmp";
    std::printf("  plain writes of the same sizes: 32-bit file with truncation %.2f ms; "
                "24-bit file with truncation %.2f ms; 32-bit file without truncation %.2f ms\n",
                rawWriteMs(whatIf, 54 + 1920 * 1080 * 4, O_TRUNC),
                rawWriteMs(whatIf, 54 + 1920 * 1080 * 3, O_TRUNC),
                rawWriteMs(whatIf, 54 + 1920 * 1080 * 4, 0));
}

// 7. The window picker with 30 outside windows.
void pickerFigures(MainWindow &main)
{
    main.state().capturedWindow = 0;
    std::vector<std::unique_ptr<QProcess>> windows;
    for (int i = 0; i < 30; ++i)
        windows.push_back(
            outsideWindow({"--title", QStringLiteral("Window %1").arg(i), "--size", "640x480",
                           "--pos", QStringLiteral("%1,%2").arg(20 * i).arg(15 * i)}));
    std::vector<double> builds;
    int tiles = 0;
    for (int round = 0; round < 5; ++round) {
        // No window chosen: "Window Image" builds the picker without asking.
        main.state().capturedWindow = 0;
        QElapsedTimer t;
        t.start();
        main.selectWindowSource();
        builds.push_back(t.nsecsElapsed() / 1e6);
        tiles = int(main.findChild<ColourPanel *>(QStringLiteral("pickerPanel"))
                        ->findChildren<ThumbnailImage *>(
                            QRegularExpression(QStringLiteral("^windowThumbnail")))
                        .size());
    }
    std::printf("window picker, %d tiles: build median %.1f ms (target < 300 ms)\n", tiles,
                median(builds));
    for (auto &p : windows) {
        p->kill();
        p->waitForFinished(5000);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "needs an X11 display (run tools/bench-capture.sh)\n");
        return 1;
    }
    const int stillSeconds = qEnvironmentVariableIntValue("QUORIX_BENCH_STILL_S") > 0
                                 ? qEnvironmentVariableIntValue("QUORIX_BENCH_STILL_S")
                                 : 60;
    QTemporaryDir shm(QStringLiteral("/dev/shm/quorix-bench-XXXXXX"));
    QTemporaryDir program;
    setProgramFolderOverride(program.path());
    const QString shared = shm.path() + QLatin1Char('/');
    writeLineFile(shared + "quorix.cfg", {shared + "shar.bmp", "0", "0", "0", "1", "1", "", "0"});
    writeLineFile(program.filePath(QStringLiteral("qx.cfg")), {shared + "quorix.cfg"});

    // The program's main window, as main() makes it, on the screen it grabs.
    MainWindow main;
    auto *options = new OptionsDialog(&main, &main);
    options->setAbout(new AboutBox(options));
    main.setOptionsDialog(options);
    main.startUp();
    main.show();
    Run run{app, main, shared, stillSeconds};
    QObject::connect(&main.state(), &SharedState::sent,
                     [&] { run.written += QFileInfo(shared + "shar.bmp").size(); });
    main.findChild<QCheckBox *>(QStringLiteral("autoSendBox"))->setChecked(true);
    main.selectScreenSource();
    main.findChild<RestartOnChangeTimer *>(QStringLiteral("screenCaptureTimer"))->setEnabled(false);

    auto blinker =
        outsideWindow({"--frameless", "--size", "200x100", "--pos", "1700,960", "--blink", "10"});
    const double tickMs = changingScreenFigures(main);
    const double ffmpegFrameMs = ffmpegFigures(shm.path(), tickMs);
    screenMinuteFigures(run, *blinker);
    windowFigures(run, ffmpegFrameMs);
    writeCostFigures(shared);
    pickerFigures(main);
    setProgramFolderOverride(QString());
    return 0;
}
