// build/bench_slides: the slide decoders against the reference tools, as whole processes,
// on a 6000 x 4000 photo-like JPEG of about 9 MB, and the filling of the slide list from a
// slide-list file of 500 such photos. Medians of several runs, all in the same run. Then
// the set-up window's Preview: how long past its duration the Preview of an empty list
// ends, how soon Stop ends a Preview running inside another, and the CPU share of a
// looping Preview in which no slide can be read.
//
//   build/bench_slides [WORK_FOLDER]              (default: build/bench-slides)
//   build/bench_slides --preview [WORK_FOLDER]    (the Preview figures only)
//
// Needs djpeg (libjpeg-turbo-progs), vipsthumbnail (libvips-tools) and ImageMagick's
// convert, except with --preview; the photo is made once with convert and kept in the
// work folder.
#include "core/WholeFile.h"
#include "presenter/SharedState.h"
#include "slideshow/SetupWindow.h"
#include "slideshow/SlideListFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>

#include <ctime>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

struct Run
{
    double seconds;
    long peakKb;
};

// Runs a command to its end; its wall time and peak memory.
Run run(const std::vector<std::string> &command)
{
    std::vector<char *> argv;
    for (const std::string &a : command)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", argv[0]);
        std::exit(1);
    }
    return {clock.nsecsElapsed() / 1e9, usage.ru_maxrss};
}

template <class T> T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Command
{
    const char *name;
    std::vector<std::string> argv;
    int runs = 7;
};

// Runs the commands in turns (one run of each per round, after one warm-up run each), so
// that a load which comes and goes on the machine falls on all of them alike, and prints
// each one's medians against the first.
void compare(const std::vector<Command> &commands)
{
    std::vector<std::vector<Run>> runs(commands.size());
    for (const Command &c : commands)
        run(c.argv);
    for (int round = 0; round < 7; ++round)
        for (std::size_t i = 0; i < commands.size(); ++i)
            if (round < commands[i].runs)
                runs[i].push_back(run(commands[i].argv));
    Run anchor{};
    for (std::size_t i = 0; i < commands.size(); ++i) {
        std::vector<double> seconds;
        std::vector<long> peaks;
        for (const Run &r : runs[i]) {
            seconds.push_back(r.seconds);
            peaks.push_back(r.peakKb);
        }
        const Run m{median(seconds), median(peaks)};
        std::printf("  %-28s %7.3f s  %7.1f MB", commands[i].name, m.seconds, m.peakKb / 1024.0);
        if (i == 0)
            anchor = m;
        else
            std::printf("   time x%.2f  memory x%.2f", m.seconds / anchor.seconds,
                        double(m.peakKb) / double(anchor.peakKb));
        std::printf("\n");
    }
}

std::string convertTool()
{
    return QFile::exists("/usr/bin/convert") ? "/usr/bin/convert" : "convert";
}

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

// The set-up window's Preview at a duration of 1 s, medians of 5 runs.
void previewFigures(const QString &work)
{
    const QString slide = work + "/preview-slide.png";
    QImage picture(1024, 768, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(slide);
    quorix::SharedState state;
    constexpr int kRuns = 5;

    std::vector<double> past;
    for (int i = 0; i < kRuns; ++i) {
        quorix::SetupWindow setupWindow(state);
        setupWindow.findChild<QCheckBox *>(QStringLiteral("loopBox"))->setChecked(true);
        QElapsedTimer clock;
        clock.start();
        setupWindow.playPreview();
        past.push_back(clock.nsecsElapsed() / 1e6 - 1000);
    }
    std::printf("\nPreview of an empty list with Loop ticked, 1 s: ends %.1f ms after the "
                "duration\n",
                median(past));

    std::vector<double> afterStop;
    for (int i = 0; i < kRuns; ++i) {
        quorix::SetupWindow setupWindow(state);
        setupWindow.addDroppedFiles({slide});
        setupWindow.findChild<QCheckBox *>(QStringLiteral("loopBox"))->setChecked(true);
        QElapsedTimer clock;
        qint64 stoppedAt = 0;
        QTimer::singleShot(150, &setupWindow, [&] { setupWindow.playPreview(); });
        QTimer::singleShot(1600, &setupWindow, [&] {
            stoppedAt = clock.nsecsElapsed();
            setupWindow.findChild<QPushButton *>(QStringLiteral("stopButton"))->click();
        });
        clock.start();
        setupWindow.playPreview();
        afterStop.push_back((clock.nsecsElapsed() - stoppedAt) / 1e6);
    }
    std::printf("Stop during a Preview inside a Preview of one looping slide: both end "
                "%.1f ms later\n",
                median(afterStop));

    quorix::SetupWindow setupWindow(state);
    for (const char *name : {"broken-a.jpg", "broken-b.png", "broken-c.bmp"}) {
        const QString path = work + "/" + name;
        quorix::writeWholeFile(path, "no picture at all");
        try {
            setupWindow.addDroppedFiles({path});
        } catch (const std::exception &) {
            // The row stays, without dimensions.
        }
    }
    setupWindow.findChild<QCheckBox *>(QStringLiteral("loopBox"))->setChecked(true);
    QTimer::singleShot(3000, &setupWindow, [&] {
        setupWindow.findChild<QPushButton *>(QStringLiteral("stopButton"))->click();
    });
    QElapsedTimer clock;
    clock.start();
    const double cpuBefore = processCpuSeconds();
    setupWindow.playPreview();
    const double cpu = processCpuSeconds() - cpuBefore;
    std::printf("Looping Preview of 3 unreadable slides for %.1f s: %.1f %% of a core\n",
                clock.nsecsElapsed() / 1e9, 100 * cpu / (clock.nsecsElapsed() / 1e9));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool previewOnly = arguments.removeAll(QStringLiteral("--preview")) > 0;
    const QString work =
        QDir(arguments.isEmpty() ? QStringLiteral("build/bench-slides") : arguments.first())
            .absolutePath();
    QDir().mkpath(work);
    if (previewOnly) {
        previewFigures(work);
        return 0;
    }
    const std::string photo = (work + "/photo.jpg").toStdString();
    const std::string slidecat = QUORIX_SLIDECAT;
    if (!QFile::exists(QString::fromStdString(photo))) {
        std::printf("Making a 6000 x 4000 photo-like JPEG (once)...\n");
        run({convertTool(), "-seed", "7", "-size", "6000x4000", "plasma:", "-attenuate", "0.27",
             "+noise", "Gaussian", "-quality", "90", photo});
    }
    std::printf("photo.jpg: %.1f MB\n\n", QFile(QString::fromStdString(photo)).size() / 1e6);

    const std::string out = (work + "/out").toStdString();
    std::printf("The slide as shar.bmp (24-bit BMP), medians of 7 runs in turns:\n");
    compare({
        {"djpeg -bmp", {"djpeg", "-bmp", "-outfile", out + "-djpeg.bmp", photo}},
        {"slidecat --shar", {slidecat, "--shar", out + "-shar.bmp", photo}},
        {"convert to BMP3", {convertTool(), photo, "BMP3:" + out + "-im.bmp"}, 3},
    });
    std::printf("\nThe set-up window's preview (209 pixels), medians of 7 runs in turns:\n");
    compare({
        {"vipsthumbnail -s 209", {"vipsthumbnail", "-s", "209", "-o", out + "-vips.png", photo}},
        {"djpeg -scale 1/8",
         {"djpeg", "-scale", "1/8", "-bmp", "-outfile", out + "-eighth.bmp", photo}},
        {"slidecat --preview", {slidecat, "--preview", out + "-preview.png", photo}},
        {"slidecat --page", {slidecat, "--page", out + "-page.png", photo}},
    });

    // 500 photos, each its own file (hard links: the same bytes, separate names).
    QStringList lines{"0", "5"};
    for (int i = 0; i < 500; ++i) {
        const QString name = work + QStringLiteral("/photo%1.jpg").arg(i, 3, 10, QChar('0'));
        if (!QFile::exists(name) && ::link(photo.c_str(), name.toLocal8Bit().constData()) != 0)
            QFile::copy(QString::fromStdString(photo), name);
        lines << name;
    }
    const QString obl = work + "/photos.obl";
    quorix::saveSlideList(obl, lines);
    quorix::SharedState state;
    quorix::SetupWindow setupWindow(state);
    std::vector<double> times;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        setupWindow.openSlideList(obl);
        times.push_back(clock.nsecsElapsed() / 1e9);
    }
    std::printf(
        "\nOpening a slide list of 500 photos: %.3f s (median of 3), %.3f s per 100 "
        "rows, %d rows\n",
        median(times), median(times) / 5,
        setupWindow.findChild<QTreeWidget *>(QStringLiteral("slideList"))->topLevelItemCount());
    previewFigures(work);
    return 0;
}
