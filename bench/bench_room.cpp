// build/bench_room: the two halves of the room benchmark that bench/room.py runs.
//
//   bench_room screen PICTURE_FOLDER
//       A window filling the screen it is on that changes every 500 ms the way a shared
//       screen does: it scrolls through the document, the terminal, the slide and the
//       desktop of bench/data/make-screens.sh, 24 rows a step, ten seconds each.
//   bench_room present SHARED_FOLDER today|after|only SECONDS
//       The presenter's capture tick, every 500 ms: grab the screen through the program's
//       window-system seam, compare with the last frame, and write a changed frame into
//       the shared folder, "today" as the 32-bit shar.bmp alone, "after" through the
//       program's own sending (24-bit shar.bmp and the compact picture), "only" as with
//       "only Quorix viewers in this room" (the compact picture alone). Prints one line of
//       key=value figures at the end.
//   bench_room share
//       A real SMB share mounted twice (see tests/support/SambaShare.h); prints
//       "writer=PATH viewer=PATH" (or "problem=WHY") and holds it until stdin closes.
#include "core/WholeFile.h"
#include "presenter/SharedState.h"
#include "windowsystem/WindowSystem.h"

#include "support/SambaShare.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

using namespace quorix;

namespace {

class Changer : public QWidget
{
  public:
    explicit Changer(const QString &folder)
    {
        for (const char *name : {"document", "terminal", "slide", "desktop"})
            pictures_ << QImage(QDir(folder).filePath(QString::fromLatin1(name) + ".png"))
                             .convertToFormat(QImage::Format_RGB32);
        setWindowFlags(Qt::FramelessWindowHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
        connect(&step_, &QTimer::timeout, this, [this] {
            ++steps_;
            update();
        });
        step_.start(500);
    }

  protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QImage &picture = pictures_[(steps_ / 20) % pictures_.size()];
        const int shift = (steps_ % 20) * 24 % std::max(1, picture.height());
        // The picture scrolled up by `shift` rows, its top coming in again at the bottom.
        p.drawImage(0, -shift, picture);
        p.drawImage(0, picture.height() - shift, picture);
    }

  private:
    QList<QImage> pictures_;
    QTimer step_;
    int steps_ = 0;
};

double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

// What Quorix wrote before: a 32-bit bitmap, the fourth byte of every pixel 255.
void writeBitmap32(const QString &path, const QImage &image)
{
    const auto w = quint32(image.width()), h = quint32(image.height());
    const quint32 pixels = w * h * 4;
    QByteArray head(54, '\0');
    auto put = [&](int at, quint32 v, int n) {
        for (int i = 0; i < n; ++i)
            head[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    head[0] = 'B';
    head[1] = 'M';
    put(2, 54 + pixels, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, w, 4);
    put(22, h, 4);
    put(26, 1, 2);
    put(28, 32, 2);
    put(34, pixels, 4);
    put(38, 3780, 4);
    put(42, 3780, 4);
    std::vector<FilePiece> pieces{{head.constData(), 54}};
    for (quint32 row = 0; row < h; ++row)
        pieces.push_back(
            {reinterpret_cast<const char *>(image.constScanLine(int(h - 1 - row))), w * 4});
    writeWholeFile(path, pieces);
}

int present(const QString &folder, const QString &mode, int seconds)
{
    const bool today = mode == "today";
    SharedState state;
    state.setSharedFolder(withTrailingSlash(folder));
    state.onlyQuorixViewers = mode == "only";
    state.writeRunState();
    WindowSystem &system = windowSystem();
    QImage last;
    std::vector<double> changedTicks;
    int frames = 0;
    qint64 bytes = 0;
    const double cpuStart = processCpuMs();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        QElapsedTimer clock;
        clock.start();
        if (!last.isNull() && !system.mayHaveChanged(0))
            return;
        QImage frame;
        if (!system.captureScreen(frame) || frame == last)
            return;
        last = frame;
        if (today) {
            writeBitmap32(state.sharedFolder() + "shar.bmp", frame);
        } else {
            state.sendBitmap(frame);
        }
        changedTicks.push_back(double(clock.nsecsElapsed()) / 1e6);
        ++frames;
        if (!state.onlyQuorixViewers)
            bytes += QFileInfo(state.sharedFolder() + "shar.bmp").size();
        if (!today)
            bytes += QFileInfo(state.sharedFolder() + "shar.png").size();
    });
    tick.start(500);
    QTimer::singleShot(seconds * 1000, qApp, &QCoreApplication::quit);
    qApp->exec();
    const double cpu = processCpuMs() - cpuStart;
    std::printf("frames=%d cpu_ms_per_frame=%.1f tick_ms_p50=%.1f tick_ms_p95=%.1f "
                "bytes_per_frame=%lld\n",
                frames, frames ? cpu / frames : 0.0, percentile(changedTicks, 0.5),
                percentile(changedTicks, 0.95), frames ? bytes / frames : 0LL);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == "screen") {
        Changer changer(args[2]);
        changer.setGeometry(changer.screen()->geometry());
        changer.show();
        return app.exec();
    }
    if (args.size() >= 2 && args[1] == "share") {
        quorix::test::SambaShare share(2);
        if (!share.problem().isEmpty())
            std::printf("problem=%s\n", qPrintable(share.problem().simplified()));
        else
            std::printf("writer=%s viewer=%s\n", qPrintable(share.mounted(0)),
                        qPrintable(share.mounted(1)));
        std::fflush(stdout);
        std::string line;
        while (std::getline(std::cin, line)) {
        }
        return 0;
    }
    if (args.size() >= 5 && args[1] == "present")
        return present(args[2], args[3], args[4].toInt());
    std::fprintf(stderr,
                 "usage: bench_room screen PICTURES | present FOLDER today|after|only S | share\n");
    return 2;
}
