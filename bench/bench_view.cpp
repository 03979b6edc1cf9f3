// What a new picture costs the viewer, and what a still folder costs it.
//
//   build/bench_view               decoding and scaling only (no display needed)
//   bench/run-view.sh [SECONDS]    also the real viewer under Xvfb: write-to-paint latency
//                                  from its own timestamps (--trace), and its CPU share
//                                  over SECONDS (default 20) of a still folder
#include "core/LineFile.h"
#include "exchange/ExchangeFiles.h"
#include "imaging/BmpFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace quorix;

namespace {

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double worst(const std::vector<double> &v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

QImage testPicture(int seed)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = qRgb((x + seed * 40) & 255, (y + seed * 20) & 255, (x ^ y) & 255);
    }
    return image;
}

void decodeAndScale(const QString &folder)
{
    const QString path = folder + "/shar.bmp";
    writeBmpFile(path, testPicture(1));
    const QSize targets[] = {{1920, 1080}, {1366, 768}, {1280, 720}, {2560, 1440}};
    std::printf("decode + scale of a 1920 x 1080 32-bit shar.bmp (median / worst of 30, ms):\n");
    std::vector<double> decode;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer t;
        t.start();
        const PictureFile p = readPictureFile(path);
        decode.push_back(t.nsecsElapsed() / 1e6);
        if (p.result != ReadResult::Ok)
            std::printf("  read failed: %s\n", qPrintable(p.error));
    }
    std::printf("  read and decode          %6.2f / %6.2f\n", median(decode), worst(decode));
    const QImage image = readPictureFile(path).image;
    for (QSize target : targets) {
        std::vector<double> scale;
        for (int i = 0; i < 30; ++i) {
            QElapsedTimer t;
            t.start();
            if (target != image.size()) {
                const QImage s =
                    image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                Q_UNUSED(s);
            }
            scale.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("  + scale to %4d x %4d    %6.2f / %6.2f   (together %6.2f)\n", target.width(),
                    target.height(), median(scale), worst(scale), median(decode) + median(scale));
    }
}

qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which may hold spaces, in parentheses.
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return f.size() > 12 ? f[11].toLongLong() + f[12].toLongLong() : -1; // utime + stime
}

double cpuShare(qint64 pid, int seconds)
{
    const qint64 before = cpuTicks(pid);
    QElapsedTimer t;
    t.start();
    QThread::sleep(seconds);
    const qint64 after = cpuTicks(pid);
    return 100.0 * double(after - before) / double(sysconf(_SC_CLK_TCK)) / (t.elapsed() / 1e3);
}

void viewer(const QString &folder, int stillSeconds)
{
    writeLineFile(folder + "/quorix.cfg", {folder + "/shar.bmp", "0", "1", "1", "1", "0", "", "0"});
    writeLineFile(folder + "/quorixlog.cfg", {"Run"});
    QProcess view;
    view.start(QStringLiteral(QUORIX_VIEW_BINARY), {"--trace", folder});
    if (!view.waitForStarted(5000)) {
        std::printf("cannot start %s\n", QUORIX_VIEW_BINARY);
        return;
    }
    QThread::msleep(1500); // the window is up, full screen

    // Write a picture every 600 ms, as Quorix does (in place, one write), and keep the
    // moment each write ended, by the file's modification time.
    QMap<qint64, qint64> writeEnd;
    const int pictures = 20;
    const QString path = folder + "/shar.bmp";
    for (int i = 0; i < pictures; ++i) {
        writeBmpFile(path, testPicture(i + 2));
        const qint64 end = nowNs();
        struct stat st
        {
        };
        ::stat(QFile::encodeName(path).constData(), &st);
        writeEnd.insert(qint64(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, end);
        QThread::msleep(600);
    }
    view.waitForReadyRead(100);
    std::vector<double> latency, decode, scale;
    for (const QByteArray &line : view.readAllStandardError().split('\n')) {
        if (!line.startsWith("quorix-view: painted"))
            continue;
        QMap<QByteArray, qint64> v;
        for (const QByteArray &field : line.split(' ')) {
            const int eq = field.indexOf('=');
            if (eq > 0)
                v.insert(field.left(eq), field.mid(eq + 1).toLongLong());
        }
        const auto end = writeEnd.constFind(v.value("mtime_ns"));
        if (end == writeEnd.constEnd())
            continue;
        latency.push_back((v.value("paint_ns") - *end) / 1e6);
        decode.push_back(v.value("decode_us") / 1e3);
        scale.push_back(v.value("scale_us") / 1e3);
    }
    std::printf("\nthe viewer, full screen 1920 x 1080, %d pictures written 600 ms apart:\n",
                pictures);
    std::printf("  pictures painted          %zu of %d\n", latency.size(), pictures);
    std::printf("  write-to-paint latency    median %6.1f ms, worst %6.1f ms\n", median(latency),
                worst(latency));
    std::printf("  in the viewer: decode     median %6.2f ms, worst %6.2f ms\n", median(decode),
                worst(decode));
    std::printf("                 scale      median %6.2f ms, worst %6.2f ms\n", median(scale),
                worst(scale));

    std::printf("\nCPU share of the viewer over %d s of a still folder: %.3f %% of a core\n",
                stillSeconds, cpuShare(view.processId(), stillSeconds));
    writeLineFile(folder + "/quorix.cfg", {folder + "/shar.bmp", "0", "1", "1", "1", "1",
                                           "The scroll text runs along the bottom edge", "0"});
    QThread::msleep(1000);
    std::printf("  with the scroll text running: %.2f %% of a core\n",
                cpuShare(view.processId(), qMin(stillSeconds, 10)));
    view.terminate();
    view.waitForFinished(5000);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    decodeAndScale(dir.path());
    const int still = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("\nno DISPLAY: run bench/run-view.sh for the viewer's latency and CPU share\n");
        return 0;
    }
    viewer(dir.path(), still > 0 ? still : 20);
    return 0;
}
