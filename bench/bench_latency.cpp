// build/bench_latency: the halves of the room's latency benchmark that bench/room.py runs
// (its "change" runs).
//
//   bench_latency present PROGRAM_FOLDER SECONDS STILL_FROM_S
//       The real main window, made as the program makes it, with the screen source chosen
//       and automatic sending switched on, for SECONDS. Prints one line of key=value
//       figures: frames written, frames written after STILL_FROM_S (the screen is still by
//       then), the CPU it used in that still time, and (timed on the last frame after the
//       run) what encoding the compact picture and writing the bitmap cost.
//   bench_latency change CHANGES GAP_MS FOLDER X,Y [X,Y ...]
//       A window filling screen 0 (white; "ready" on stdout, then a line on stdin starts
//       the changes) that takes a new colour every GAP_MS (plus up to half of
//       it at random, so changes land anywhere in the presenter's half-second); after each
//       change it polls the given points of screen 1 (one in each viewer's window) straight
//       from the X server until every one shows the new colour. Prints one line per change
//       and a summary: change to every viewer, change to each viewer, and (when FOLDER is
//       not "-") change to the end of the writes of shar.png and shar.bmp.
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/OptionsDialog.h"
#include "core/ProgramFolder.h"
#include "exchange/CompactPicture.h"
#include "imaging/BmpFile.h"
#include "slideshow/SetupWindow.h"
#include "text/TextEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTimer>

#include <xcb/xcb.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <thread>
#include <vector>

using namespace quorix;

namespace {

double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

int present(const QString &programFolder, int seconds, int stillFrom)
{
    setProgramFolderOverride(programFolder);
    MainWindow mainWindow;
    OptionsDialog optionsDialog(&mainWindow, &mainWindow);
    AboutBox aboutBox(&optionsDialog);
    optionsDialog.setAbout(&aboutBox);
    SetupWindow setupWindow(mainWindow.state(), &mainWindow);
    mainWindow.setSetupWindow(&setupWindow);
    mainWindow.setOptionsDialog(&optionsDialog);
    mainWindow.startUp();
    TextEditor textEditor(TextEditor::documentsFolder(), &mainWindow);
    mainWindow.setTextEditor(&textEditor);
    mainWindow.show();

    int frames = 0, stillFrames = 0;
    double stillCpuStart = 0;
    QElapsedTimer run;
    QObject::connect(&mainWindow.state(), &SharedState::sent, [&] {
        ++frames;
        if (run.isValid() && run.elapsed() >= stillFrom * 1000)
            ++stillFrames;
    });
    QTimer::singleShot(300, [&] {
        mainWindow.selectScreenSource();
        mainWindow.findChild<QCheckBox *>(QStringLiteral("autoSendBox"))->setChecked(true);
        run.start();
    });
    QTimer::singleShot(300 + stillFrom * 1000, [&] { stillCpuStart = processCpuMs(); });
    QTimer::singleShot(300 + seconds * 1000, qApp, &QCoreApplication::quit);
    qApp->exec();
    const double stillCpu = processCpuMs() - stillCpuStart;
    mainWindow.state().finishSending();

    // The steps of the sending thread, timed on the last frame.
    const QImage frame = mainWindow.currentBitmap();
    std::vector<double> encode, bitmap;
    const QString scratch = programFolder + "/scratch.bmp";
    for (int i = 0; i < 10 && !frame.isNull(); ++i) {
        QElapsedTimer t;
        t.start();
        const QByteArray png = encodeCompactPicture(frame);
        encode.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        writeBmpFile(scratch, frame);
        bitmap.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("frames=%d still_frames=%d still_cpu_share=%.3f encode_ms=%.1f "
                "bitmap_write_ms=%.1f\n",
                frames, stillFrames, 100.0 * stillCpu / (double(seconds - stillFrom) * 1000),
                percentile(encode, 0.5), percentile(bitmap, 0.5));
    std::fflush(stdout);
    return 0;
}

struct Point
{
    int x, y;
};

class Display
{
  public:
    Display()
    {
        c_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(c_)) {
            std::fprintf(stderr, "bench_latency: no X server\n");
            std::exit(1);
        }
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c_)); it.rem; xcb_screen_next(&it))
            screens_.push_back(it.data);
        if (screens_.size() < 2) {
            std::fprintf(stderr, "bench_latency: the X server needs two screens\n");
            std::exit(1);
        }
    }
    ~Display() { xcb_disconnect(c_); }

    // A window filling screen 0, below everything mapped after it.
    void makeWindow()
    {
        xcb_screen_t *s = screens_[0];
        window_ = xcb_generate_id(c_);
        const uint32_t values[] = {s->black_pixel, 1};
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, s->root, 0, 0, s->width_in_pixels,
                          s->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, s->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(c_, window_);
        sync();
    }

    void paint(uint32_t rgb)
    {
        xcb_change_window_attributes(c_, window_, XCB_CW_BACK_PIXEL, &rgb);
        xcb_clear_area(c_, 0, window_, 0, 0, 0, 0);
        sync();
    }

    // The pixels at `points` of screen 1, as 0xRRGGBB.
    std::vector<uint32_t> sample(const std::vector<Point> &points)
    {
        std::vector<xcb_get_image_cookie_t> cookies;
        for (const Point &p : points)
            cookies.push_back(xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, screens_[1]->root,
                                            int16_t(p.x), int16_t(p.y), 1, 1, ~0u));
        std::vector<uint32_t> out;
        for (auto cookie : cookies) {
            xcb_get_image_reply_t *r = xcb_get_image_reply(c_, cookie, nullptr);
            uint32_t v = 0;
            if (r && xcb_get_image_data_length(r) >= 4)
                v = *reinterpret_cast<const uint32_t *>(xcb_get_image_data(r)) & 0xFFFFFF;
            std::free(r);
            out.push_back(v);
        }
        return out;
    }

  private:
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    xcb_connection_t *c_;
    std::vector<xcb_screen_t *> screens_;
    xcb_window_t window_ = 0;
};

bool near(uint32_t a, uint32_t b)
{
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 6)
            return false;
    return true;
}

// The end of the last write of `path`: its change time (a rename sets it, as does a write).
qint64 changedAtNs(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(path.toLocal8Bit().constData(), &st) != 0)
        return 0;
    return qint64(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
}

int change(int changes, int gapMs, const QString &folder, const std::vector<Point> &points)
{
    Display d;
    d.makeWindow();
    std::mt19937 random(12345);
    std::vector<double> all, each, png, bmp;
    int missed = 0;
    // Colours far apart from each other and from the black a viewer starts with.
    const uint32_t palette[] = {0xD03030, 0x30A040, 0x3050D0, 0xE0C020, 0x20C0C0, 0xC040C0};
    d.paint(0xFFFFFF);
    // The presenter and the viewers start now; a line on stdin starts the changes.
    std::printf("ready\n");
    std::fflush(stdout);
    char line[16];
    if (!std::fgets(line, sizeof line, stdin))
        return 1;
    for (int i = 0; i < changes; ++i) {
        std::this_thread::sleep_for(
            std::chrono::milliseconds(gapMs + int(random() % unsigned(gapMs / 2 + 1))));
        const uint32_t colour = palette[i % 6];
        d.paint(colour);
        const qint64 t0 = nowNs();
        std::vector<double> seen(points.size(), -1);
        std::size_t left = points.size();
        while (left > 0 && nowNs() - t0 < 3'000'000'000) {
            const std::vector<uint32_t> px = d.sample(points);
            const double ms = double(nowNs() - t0) / 1e6;
            for (std::size_t v = 0; v < points.size(); ++v)
                if (seen[v] < 0 && near(px[v], colour)) {
                    seen[v] = ms;
                    --left;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        double slowest = 0;
        for (double s : seen) {
            if (s >= 0)
                each.push_back(s);
            slowest = std::max(slowest, s < 0 ? 3000.0 : s);
        }
        if (left > 0)
            ++missed;
        all.push_back(slowest);
        std::printf("change %d all_ms=%.0f", i, slowest);
        if (folder != "-") {
            const double p = double(changedAtNs(folder + "/shar.png") - t0) / 1e6;
            const double b = double(changedAtNs(folder + "/shar.bmp") - t0) / 1e6;
            if (p > 0 && p < 3000)
                png.push_back(p);
            if (b > 0 && b < 3000)
                bmp.push_back(b);
            std::printf(" png_ms=%.0f bmp_ms=%.0f", p, b);
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("changes=%d missed=%d all_p50=%.0f all_p95=%.0f each_p50=%.0f each_p95=%.0f "
                "png_p50=%.0f png_p95=%.0f bmp_p50=%.0f bmp_p95=%.0f\n",
                changes, missed, percentile(all, 0.5), percentile(all, 0.95), percentile(each, 0.5),
                percentile(each, 0.95), percentile(png, 0.5), percentile(png, 0.95),
                percentile(bmp, 0.5), percentile(bmp, 0.95));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 6 && std::string(argv[1]) == "change") {
        std::vector<Point> points;
        for (int i = 5; i < argc; ++i) {
            Point p{};
            if (std::sscanf(argv[i], "%d,%d", &p.x, &p.y) == 2)
                points.push_back(p);
        }
        return change(std::atoi(argv[2]), std::atoi(argv[3]), QString::fromLocal8Bit(argv[4]),
                      points);
    }
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 5 && args[1] == "present")
        return present(args[2], args[3].toInt(), args[4].toInt());
    std::fprintf(stderr, "usage: bench_latency present PROGRAM_FOLDER SECONDS STILL_FROM_S | "
                         "change CHANGES GAP_MS FOLDER X,Y...\n");
    return 2;
}
