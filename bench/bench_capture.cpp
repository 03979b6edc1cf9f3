// Timing of the capture sources on a real X server (run by tools/bench-capture.sh inside
// a private Xvfb 1920 x 1080):
//   - one screen tick: grab, copy into the current bitmap, write shar.bmp into a tmpfs
//     folder, preview fit (median of many), and its ratio to the per-frame time of
//     ffmpeg's x11grab writing BMP frames of the same screen in the same run;
//   - the CPU share of this process while capturing and sending at 2 frames a second;
//   - the window picker's build time for 30 outside windows.
#include "app/mainunit.h"
#include "app/uabout.h"
#include "app/uoptions.h"
#include "capture/PreviewFit.h"
#include "controls/Panel.h"
#include "platform/BmpFile.h"
#include "platform/LineFile.h"
#include "platform/ProgramFolder.h"
#include "platform/WholeFile.h"
#include "platform/WindowSystem.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::fprintf(stderr, "needs an X11 display (run tools/bench-capture.sh)\n");
        return 1;
    }
    QTemporaryDir shm(QStringLiteral("/dev/shm/quorix-bench-XXXXXX"));
    QTemporaryDir program;
    setProgramFolderOverride(program.path());
    const QString shared = shm.path() + QLatin1Char('/');
    writeLineFile(shared + "quorix.cfg", {shared + "shar.bmp", "0", "0", "0", "1", "1", "", "0"});
    writeLineFile(program.filePath(QStringLiteral("qx.cfg")), {shared + "quorix.cfg"});

    // The program's main window, as main() makes it, kept off the screen being grabbed.
    TMainForm main;
    auto *options = new Tfoptions(&main, &main);
    options->setAbout(new Tfabout(options));
    main.setOptionsDialog(options);
    main.FormCreate();
    main.CBX1->setChecked(true);
    main.XiButton3Click();
    main.Timer3->setEnabled(false);

    // 1. One screen tick: Timer3's handler with automatic sending on.
    for (int i = 0; i < 5; ++i)
        main.Timer3Timer();
    std::vector<double> ticks;
    for (int i = 0; i < 100; ++i) {
        QElapsedTimer t;
        t.start();
        main.Timer3Timer();
        ticks.push_back(t.nsecsElapsed() / 1e6);
    }
    const double tickMs = median(ticks);
    // What the file write would cost with a 24-bit file, or rewritten without truncation.
    auto rawWrites = [&](qsizetype size, int flags) {
        const QByteArray raw(size, '\x7f');
        const QByteArray name = QFile::encodeName(shared + "what-if.bmp");
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
    };
    const double truncated24 = rawWrites(54 + 1920 * 1080 * 3, O_TRUNC);
    const double truncated32 = rawWrites(54 + 1920 * 1080 * 4, O_TRUNC);
    const double inPlace32 = rawWrites(54 + 1920 * 1080 * 4, 0);
    // Where the time goes: the same tick without sending, and the file write alone.
    main.CBX1->setChecked(false);
    std::vector<double> quiet;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer t;
        t.start();
        main.Timer3Timer();
        quiet.push_back(t.nsecsElapsed() / 1e6);
    }
    main.CBX1->setChecked(true);
    const QByteArray bytes = encodeBmp(main.currentBitmap());
    std::vector<double> rewrites;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer t;
        t.start();
        writeWholeFile(shared + "shar.bmp", bytes);
        rewrites.push_back(t.nsecsElapsed() / 1e6);
    }
    QLabel slika;
    TickParts parts;
    std::vector<double> grabs, writes, fits;
    for (int i = 0; i < 30; ++i) {
        parts.run(shared, &slika);
        grabs.push_back(parts.grabMs);
        writes.push_back(parts.writeMs);
        fits.push_back(parts.fitMs);
    }
    std::printf("screen tick %dx%d: median %.2f ms (target < 8 ms)\n", main.currentBitmap().width(),
                main.currentBitmap().height(), tickMs);
    std::printf("  parts: grab %.2f, encode + write shar.bmp %.2f (of which the truncating "
                "rewrite of %lld bytes %.2f), preview fit %.2f; tick without sending %.2f\n",
                median(grabs), median(writes), static_cast<long long>(bytes.size()),
                median(rewrites), median(fits), median(quiet));
    std::printf("  plain writes of the same sizes: 32-bit file with truncation %.2f ms; "
                "24-bit file with truncation %.2f ms; 32-bit file without truncation %.2f ms\n",
                truncated32, truncated24, inPlace32);

    // 2. ffmpeg in the same run.
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        std::printf("ffmpeg: not installed, no ratio\n");
    } else {
        std::vector<double> perFrame;
        const QString folder = shm.path() + QStringLiteral("/ffmpeg");
        for (int i = 0; i < 3; ++i) {
            const double one = ffmpegMs(ffmpeg, folder, 1);
            const double hundred = ffmpegMs(ffmpeg, folder, 100);
            if (one > 0 && hundred > 0)
                perFrame.push_back((hundred - one) / 99.0);
        }
        QDir(folder).removeRecursively();
        const double ff = median(perFrame);
        std::printf("ffmpeg x11grab -> BMP: %.2f ms a frame; ratio %.2f (target <= 1.0)\n", ff,
                    ff > 0 ? tickMs / ff : 0.0);
    }

    // 3. CPU share at 2 frames a second, capturing and sending, for 10 seconds.
    {
        QElapsedTimer wall;
        const double cpu0 = processCpuMs();
        wall.start();
        main.Timer3->setEnabled(true);
        QTimer::singleShot(10000, &app, &QCoreApplication::quit);
        app.exec();
        main.Timer3->setEnabled(false);
        const double share = 100.0 * (processCpuMs() - cpu0) / double(wall.elapsed());
        std::printf("CPU share at 2 frames a second: %.2f %% of one core (target < 2 %%)\n", share);
    }

    // 4. The window picker with 30 outside windows.
    std::vector<std::unique_ptr<QProcess>> windows;
    for (int i = 0; i < 30; ++i) {
        auto p = std::make_unique<QProcess>();
        p->start(QStringLiteral(QUORIX_TESTWINDOW),
                 {"--title", QStringLiteral("Window %1").arg(i), "--size", "640x480", "--pos",
                  QStringLiteral("%1,%2").arg(20 * i).arg(15 * i)});
        windows.push_back(std::move(p));
    }
    for (auto &p : windows)
        p->waitForReadyRead(20000);
    std::vector<double> builds;
    int tiles = 0;
    for (int round = 0; round < 5; ++round) {
        // No window chosen yet: "Window Image" builds the picker without asking.
        QElapsedTimer t;
        t.start();
        main.XiButton1Click();
        builds.push_back(t.nsecsElapsed() / 1e6);
        tiles =
            int(main.Panel2->findChildren<QLabel *>(QRegularExpression(QStringLiteral("^image106")))
                    .size());
    }
    std::printf("window picker, %d tiles: build median %.1f ms (target < 300 ms)\n", tiles,
                median(builds));
    for (auto &p : windows) {
        p->kill();
        p->waitForFinished(5000);
    }
    setProgramFolderOverride(QString());
    return 0;
}
