// The main window's clipboard, screen and window sources on a real Xvfb with openbox,
// fed by outside programs: pattern windows, xclip.
#include "capture/CaptureSources.h"
#include "exchange/CompactPicture.h"
#include "presenter/SharedState.h"
#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/OutsideWindow.h"
#include "support/TestPictures.h"

#include "controls/ClipboardWatcher.h"
#include "controls/ColourPanel.h"
#include "controls/GradientButton.h"
#include "imaging/BmpFile.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

using namespace quorix;
using quorix::test::kSlowWait;
using quorix::test::OutsideWindow;
using quorix::test::runTool;
using quorix::test::toolOutput;

namespace {

QByteArray fileBytes(const QString &path)
{
    return fileExists(path) ? readWholeFile(path) : QByteArray();
}

// shar.bmp once the sending thread has written what the ticks handed to it.
QByteArray sentBytes(AppFixture &app)
{
    app.main->state().finishSending();
    return fileBytes(app.shared() + "shar.bmp");
}

QLabel *thumbnailOf(MainWindow &main, std::uint32_t window)
{
    for (QLabel *l : main.pickerPanel_->findChildren<QLabel *>())
        if (l->objectName().startsWith(QLatin1String("windowThumbnail")) &&
            l->property("Tag").toLongLong() == qint64(window))
            return l;
    return nullptr;
}

// A small tmpfs mounted over a folder for the length of a test (root only): a shared
// folder that can be made read-only or full, which chmod cannot do for root.
struct SmallDisk
{
    QByteArray path;
    bool mounted = false;
    explicit SmallDisk(const QString &folder) : path(QFile::encodeName(folder))
    {
        mounted = ::geteuid() == 0 &&
                  ::mount("tmpfs", path.constData(), "tmpfs", 0, "size=24m,mode=0777") == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            ::umount2(path.constData(), MNT_DETACH);
    }
    bool remount(bool readOnly)
    {
        return ::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | (readOnly ? MS_RDONLY : 0),
                       "size=24m") == 0;
    }
    // Takes up every byte left.
    void fill()
    {
        QFile filler(QString::fromLocal8Bit(path) + "/filler");
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(1 << 16, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
};

} // namespace

class TestCaptureSources : public QObject
{
    Q_OBJECT

    QTemporaryDir files_;

    void copyToClipboard(const QStringList &xclipArguments)
    {
        QCOMPARE(runTool(QStringLiteral("xclip"),
                         QStringList{"-selection", "clipboard"} + xclipArguments),
                 0);
    }

    void copyImage(QRgb colour, QSize size)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString file = files_.filePath(QStringLiteral("copied.png"));
        QVERIFY(image.save(file));
        copyToClipboard({"-t", "image/png", "-i", file});
    }

    // Opens the picker with "Window Image" and clicks the thumbnail of `window`.
    void chooseWindow(AppFixture &app, std::uint32_t window)
    {
        app.main->selectWindowSource();
        QLabel *thumbnail = thumbnailOf(*app.main, window);
        QVERIFY(thumbnail);
        QTest::mouseClick(thumbnail, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(app.main->capturedWindow(), window);
    }

  private slots:
    void screenTickMakesTheScreenTheCurrentBitmap_data()
    {
        QTest::addColumn<bool>("send");
        QTest::newRow("automatic sending off") << false;
        QTest::newRow("automatic sending on") << true;
    }

    void screenTickMakesTheScreenTheCurrentBitmap()
    {
        QFETCH(bool, send);
        OutsideWindow pattern({"--frameless", "--size", "300x200", "--pos", "100,150"});
        QVERIFY(pattern.waitReady());
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->autoSendBox_->setChecked(send);

        app.main->selectScreenSource();
        QCOMPARE(app.main->sourceMode(), 2);
        QVERIFY(app.main->screenCaptureTimer_->enabled());
        QVERIFY(!app.main->windowCaptureTimer_->enabled());
        QVERIFY(!app.main->clipboardWatcher_->isEnabled());
        QCOMPARE(app.main->pages_->currentIndex(), 1);
        QCOMPARE(app.main->captionStrip_->caption(), QStringLiteral("Preview"));

        QTRY_VERIFY_WITH_TIMEOUT(
            (app.main->captureScreenTick(), app.main->currentBitmap().pixel(120, 170) == kBlue),
            kSlowWait);
        const QImage current = app.main->currentBitmap();
        QCOMPARE(current.size(), QSize(1920, 1080));
        QCOMPARE(current.pixel(300, 300), kRed);
        QCOMPARE(current.pixel(99, 170) == kBlue, false);
        QCOMPARE(app.main->preview_->pixmap().size(), QSize(407, 228));
        if (send)
            QCOMPARE(sentBytes(app), encodeBmp(current));
        else
            QVERIFY(!fileExists(app.shared() + "shar.bmp"));
    }

    // With automatic sending on, a still screen is written once; a change on it is written
    // at the next tick; a write that failed is tried again at the next tick although
    // nothing changed.
    void onlyChangesAreWritten()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->selectScreenSource();
        app.main->screenCaptureTimer_->setEnabled(false); // ticks are driven by hand here
        app.main->autoSendBox_->setChecked(true);
        const QString shar = app.shared() + "shar.bmp";
        auto tick = [&] {
            QTest::qWait(150); // the server's reports of drawing arrive as events
            app.main->captureScreenTick();
            app.main->state().finishSending();
        };
        tick();
        QVERIFY(fileExists(shar));
        // Let whatever is still settling on the screen settle, then watch it stand still.
        for (int i = 0; i < 20 && fileExists(shar); ++i) {
            QFile::remove(shar);
            tick();
        }
        QFile::remove(shar);
        for (int i = 0; i < 5; ++i)
            tick();
        QVERIFY2(!fileExists(shar), "a still screen was written again");

        OutsideWindow drawn({"--frameless", "--size", "300x200", "--pos", "500,400"});
        QVERIFY(drawn.waitReady());
        QTRY_VERIFY_WITH_TIMEOUT((tick(), fileExists(shar)), kSlowWait);
        QCOMPARE(sentBytes(app), encodeBmp(app.main->currentBitmap()));
        QCOMPARE(app.main->currentBitmap().pixel(550, 450), kRed);

        // The write fails (a folder is in the way); once it is gone, the frame is written
        // within about a second (the folder is looked at once a second) although the
        // screen has not changed since.
        QVERIFY(QFile::remove(shar));
        QVERIFY(QDir(app.sharedDir.path()).mkdir("shar.bmp"));
        OutsideWindow moved({"--frameless", "--size", "100x100", "--pos", "50,50"});
        QVERIFY(moved.waitReady());
        tick();
        QVERIFY(!fileExists(shar)); // the sending thread's write failed
        QVERIFY(QDir(app.sharedDir.path()).rmdir("shar.bmp"));
        QTRY_VERIFY_WITH_TIMEOUT(fileExists(shar), 2500);
        QCOMPARE(sentBytes(app), encodeBmp(app.main->currentBitmap()));
    }

    // The main window is on the screen it captures, and its preview repaints after every
    // frame: those repaints alone send nothing, so one change on the screen is one frame
    // for the viewers (what they see of the main window lags by a change).
    void oneChangeOneFrame()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.main.get()));
        app.main->selectScreenSource();
        app.main->screenCaptureTimer_->setEnabled(false); // ticks are driven by hand here
        int frames = 0;
        connect(&app.main->state(), &SharedState::sent, this, [&] { ++frames; });
        auto ticks = [&](int n) {
            for (int i = 0; i < n; ++i) {
                QTest::qWait(150); // the repaint reaches the screen, its report the program
                app.main->captureScreenTick();
                app.main->state().finishSending();
            }
            QTest::qWait(50); // the sending thread's reports
        };
        app.main->autoSendBox_->setChecked(true);
        ticks(6);
        QCOMPARE(frames, 1);
        OutsideWindow drawn({"--frameless", "--size", "300x200", "--pos", "1500,700"});
        QVERIFY(drawn.waitReady());
        ticks(6);
        QCOMPARE(frames, 2);
        QCOMPARE(app.main->currentBitmap().pixel(1550, 750), kRed);
    }

    // Quorix's other windows on the captured screen (the text editor, the slide show's
    // set-up window) repaint themselves as the presenter works in them: that sends nothing.
    void ownWindowsRepaintingSendNothing()
    {
        AppFixture app(true);
        app.configure();
        app.main->startUp();
        app.main->show();
        app.textEditor->move(100, 100);
        app.textEditor->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.textEditor));
        app.main->selectScreenSource();
        app.main->autoSendBox_->setChecked(true);
        int frames = 0;
        connect(&app.main->state(), &SharedState::sent, this, [&] { ++frames; });
        QTest::qWait(1500); // the first frame, and what still settles after it
        frames = 0;
        for (int i = 0; i < 6; ++i) {
            // The editor's title (drawn in its frame) and contents change; no window of
            // another program does.
            app.textEditor->setWindowTitle(QStringLiteral("Text %1").arg(i));
            app.textEditor->update();
            QTest::qWait(300);
        }
        QTest::qWait(CaptureSources::kFrameGapMs + 200);
        QCOMPARE(frames, 0);
    }

    // Drawing on the screen starts a look of its own once it has settled: with the clock
    // stopped, a window that appears is sent, within a fraction of a second (the bound
    // allows for a busy machine).
    void changeIsLookedAtWithoutTheClock()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->selectScreenSource();
        app.main->autoSendBox_->setChecked(true);
        app.main->screenCaptureTimer_->setEnabled(false);
        app.main->captureScreenTick(); // the first frame; from here on only drawing looks
        app.main->state().finishSending();
        QElapsedTimer clock;
        int frames = 0;
        qint64 sentAtMs = -1;
        connect(&app.main->state(), &SharedState::sent, this, [&] {
            ++frames;
            sentAtMs = clock.elapsed();
        });
        QTest::qWait(CaptureSources::kFrameGapMs + 100);
        frames = 0;
        OutsideWindow drawn({"--frameless", "--size", "300x200", "--pos", "700,500"});
        QVERIFY(drawn.waitReady());
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(frames > 0, kSlowWait);
        QVERIFY2(sentAtMs < 1000, qPrintable(QString::number(sentAtMs)));
        app.main->state().finishSending();
        QCOMPARE(app.main->currentBitmap().pixel(750, 550), kRed);
        QCOMPARE(sentBytes(app), encodeBmp(app.main->currentBitmap()));
    }

    // A screen that keeps changing (a window blinking every 70 ms) with the clock and the
    // drawing both asking for looks: frames go out at most two a second, and they go out.
    void rateNeverExceedsTwoFramesASecond()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->selectScreenSource();
        app.main->autoSendBox_->setChecked(true);
        QVERIFY(app.main->screenCaptureTimer_->enabled());
        QElapsedTimer clock;
        clock.start();
        std::vector<qint64> sentAt;
        // Written frames: each lands some milliseconds after it was handed over.
        connect(&app.main->state(), &SharedState::sent, this,
                [&] { sentAt.push_back(clock.elapsed()); });
        OutsideWindow blinking(
            {"--frameless", "--size", "200x200", "--pos", "900,300", "--blink", "70"});
        QVERIFY(blinking.waitReady());
        sentAt.clear();
        clock.restart();
        QTest::qWait(4000);
        // Eight at most in four seconds (one more where a write ends just inside them);
        // two written frames less than half a second apart only by how long each write took.
        QVERIFY2(sentAt.size() >= 3, qPrintable(QString::number(sentAt.size())));
        QVERIFY2(sentAt.size() <= 9, qPrintable(QString::number(sentAt.size())));
        for (std::size_t i = 1; i < sentAt.size(); ++i)
            QVERIFY2(sentAt[i] - sentAt[i - 1] >= CaptureSources::kFrameGapMs - 250,
                     qPrintable(QStringLiteral("%1 ms apart").arg(sentAt[i] - sentAt[i - 1])));
    }

    // A projector plugged in mid-lesson, while automatic sending runs: the primary monitor
    // shrinks, moves and comes back inside the screen; and, on a server whose root window
    // can change size (Xorg's dummy driver, tst_capturesources_resizable_root), the screen
    // grows, gains a monitor on the right that becomes the primary one, and shrinks. Every
    // frame from a change on is the primary monitor as it is now, with its own pixels.
    void screenFollowsThePrimaryMonitor_data()
    {
        QTest::addColumn<bool>("rootChanges");
        QTest::newRow("monitors inside the screen") << false;
        QTest::newRow("the screen changes size") << true;
    }
    void screenFollowsThePrimaryMonitor()
    {
        QFETCH(bool, rootChanges);
        if (rootChanges && !toolOutput("xrandr", {}).contains(QLatin1String("DUMMY0")))
            QSKIP("this server's root cannot change size (Xvfb): "
                  "tst_capturesources_resizable_root changes it on Xorg's dummy driver");
        OutsideWindow pattern({"--frameless", "--size", "300x200", "--pos", "700,450"});
        QVERIFY(pattern.waitReady());
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->move(1500, 850);
        app.main->selectScreenSource();
        app.main->autoSendBox_->setChecked(true); // the capture timer ticks as for the presenter
        const QString shar = app.shared() + "shar.bmp";
        // The newest frame written is `size` with the pattern's corner at `at`.
        auto sendsMonitor = [&](QSize size, QPoint at) {
            const QImage frame(shar);
            return frame.size() == size && frame.pixel(at + QPoint(20, 20)) == kBlue &&
                   frame.pixel(at + QPoint(200, 150)) == kRed;
        };
        auto xrandr = [](const QStringList &arguments) { return runTool("xrandr", arguments); };
        QTRY_VERIFY_WITH_TIMEOUT(sendsMonitor({1920, 1080}, {700, 450}), kSlowWait);

        if (!rootChanges) {
            QCOMPARE(xrandr({"--setmonitor", "*projector", "1280/339x720/190+0+0", "none"}), 0);
            QTRY_VERIFY_WITH_TIMEOUT(sendsMonitor({1280, 720}, {700, 450}), kSlowWait);
            QCOMPARE(xrandr({"--delmonitor", "projector"}), 0);
            QCOMPARE(xrandr({"--setmonitor", "*moved", "1280/339x720/190+400+100", "none"}), 0);
            QTRY_VERIFY_WITH_TIMEOUT(sendsMonitor({1280, 720}, {300, 350}), kSlowWait);
            QCOMPARE(xrandr({"--delmonitor", "moved"}), 0);
            QTRY_VERIFY_WITH_TIMEOUT(sendsMonitor({1920, 1080}, {700, 450}), kSlowWait);
            return;
        }
        QCOMPARE(xrandr({"--newmode", "2560x1440", "241.50", "2560", "2608", "2640", "2720", "1440",
                         "1443", "1448", "1481", "+hsync", "-vsync"}),
                 0);
        QCOMPARE(xrandr({"--addmode", "DUMMY0", "2560x1440"}), 0);
        QCOMPARE(xrandr({"--output", "DUMMY0", "--mode", "2560x1440", "--primary"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(sendsMonitor({2560, 1440}, {700, 450}), kSlowWait);

        QCOMPARE(xrandr({"--addmode", "DUMMY1", "1280x720"}), 0);
        QCOMPARE(xrandr({"--output", "DUMMY1", "--mode", "1280x720", "--right-of", "DUMMY0",
                         "--primary"}),
                 0);
        OutsideWindow onProjector({"--frameless", "--size", "300x200", "--pos", "2660,150"});
        QVERIFY(onProjector.waitReady());
        QTRY_VERIFY_WITH_TIMEOUT(sendsMonitor({1280, 720}, {100, 150}), kSlowWait);

        QCOMPARE(xrandr({"--output", "DUMMY1", "--off"}), 0);
        QCOMPARE(xrandr({"--output", "DUMMY0", "--mode", "1280x720", "--primary"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(sendsMonitor({1280, 720}, {700, 450}), kSlowWait);
        QCOMPARE(xrandr({"--output", "DUMMY0", "--mode", "1920x1080"}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(sendsMonitor({1920, 1080}, {700, 450}), kSlowWait);
    }

    // The shared folder turns read-only or fills up while automatic sending runs on a
    // screen that keeps changing: the status strip says why within a tick, the frames are
    // not encoded and written again while it lasts (the folder is looked at about once a
    // second), and the screen goes out again within about a second of the repair.
    void failingFolderIsShownAndSendingResumes_data()
    {
        QTest::addColumn<bool>("full");
        QTest::addColumn<QString>("status");
        QTest::newRow("read-only") << false << "Not sent: the shared folder is read-only";
        QTest::newRow("full") << true << "Not sent: the shared folder is full";
    }
    void failingFolderIsShownAndSendingResumes()
    {
        QFETCH(bool, full);
        QFETCH(QString, status);
        AppFixture app;
        SmallDisk disk(app.sharedDir.path());
        if (!disk.mounted)
            QSKIP("needs root to mount a tmpfs over the shared folder");
        app.configure();
        OutsideWindow blinking(
            {"--frameless", "--size", "300x200", "--pos", "700,450", "--blink", "150"});
        QVERIFY(blinking.waitReady());
        app.main->startUp();
        app.main->selectScreenSource();
        app.main->autoSendBox_->setChecked(true);
        const QString shar = app.shared() + "shar.bmp";
        const SharedState &state = app.main->state();
        QTRY_VERIFY_WITH_TIMEOUT(fileExists(shar), kSlowWait);

        if (full) {
            QFile::remove(shar);
            QFile::remove(app.shared() + kCompactPictureName);
            disk.fill();
        } else {
            // The kernel refuses (EBUSY) while a frame's file is still open for writing.
            QTRY_VERIFY_WITH_TIMEOUT(disk.remount(true), kSlowWait);
        }
        QTRY_COMPARE_WITH_TIMEOUT(app.main->statusLabel_->text(), status, 1500);
        QVERIFY(!app.main->statusLabel_->isHidden());
        const int frames = state.framesTried();
        const int probes = state.probesTried();
        QTest::qWait(3000);
        // Six ticks of a changing screen: no frame tried, the folder looked at about three times.
        QVERIFY2(state.framesTried() - frames <= 1,
                 qPrintable(QString::number(state.framesTried() - frames)));
        QVERIFY2(state.probesTried() - probes <= 4,
                 qPrintable(QString::number(state.probesTried() - probes)));
        qInfo("while it failed for 3 s: %d frames tried, %d looks at the folder",
              state.framesTried() - frames, state.probesTried() - probes);
        QCOMPARE(app.main->statusLabel_->text(), status);

        if (full)
            QVERIFY(QFile::remove(app.shared() + "filler"));
        else
            QVERIFY(disk.remount(false));
        QElapsedTimer repaired;
        repaired.start();
        QFile::remove(shar);
        QTRY_VERIFY_WITH_TIMEOUT(fileExists(shar), 2000);
        qInfo("sending resumed %lld ms after the folder was repaired", repaired.elapsed());
        QTRY_VERIFY(app.main->statusLabel_->text() != status);
    }

    void screenTickInAnotherModeResendsTheCurrentBitmap()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->selectScreenSource();
        app.main->captureScreenTick();
        const QImage grabbed = app.main->currentBitmap();
        QCOMPARE(grabbed.size(), QSize(1920, 1080));
        OutsideWindow cover({"--frameless", "--size", "400x400", "--pos", "0,0"});
        QVERIFY(cover.waitReady());
        app.main->clipboardButton_->click(); // a tick in another mode sends the current bitmap
        app.main->autoSendBox_->setChecked(true);
        app.main->captureScreenTick();
        QCOMPARE(app.main->currentBitmap().pixel(200, 200), grabbed.pixel(200, 200));
        QCOMPARE(sentBytes(app), encodeBmp(grabbed));
    }

    void windowSourceCapturesTheChosenWindowWhole()
    {
        OutsideWindow target({"--title", "Target", "--size", "300x200", "--frame-size", "800x600",
                              "--pos", "100,100"});
        QVERIFY(target.waitReady());
        OutsideWindow cover({"--frameless", "--size", "200x200", "--pos", "300,300", "--colour",
                             "00ff00", "--mark", "00ff00"});
        QVERIFY(cover.waitReady());
        AppFixture app;
        app.configure();
        app.main->startUp();

        app.main->selectWindowSource(); // no window chosen yet: no question, the picker
        QCOMPARE(app.main->sourceMode(), 3);
        QCOMPARE(app.main->pages_->currentIndex(), 0);
        QCOMPARE(app.main->captionStrip_->caption(), QStringLiteral("Select window to display"));
        QVERIFY(app.main->pickerPanel_->isVisibleTo(app.main.get()));
        QVERIFY(!app.main->windowCaptureTimer_->enabled());
        QLabel *thumbnail = thumbnailOf(*app.main, target.id());
        QVERIFY(thumbnail);
        QTest::mouseClick(thumbnail, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(app.main->capturedWindow(), target.id());
        QVERIFY(app.main->windowCaptureTimer_->enabled());
        QVERIFY(!app.main->autoSendWatch_->enabled());
        QCOMPARE(app.main->pages_->currentIndex(), 1);
        QCOMPARE(app.main->captionStrip_->caption(), QStringLiteral("Preview"));

        app.main->autoSendBox_->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(
            (app.main->captureWindowTick(), app.main->currentBitmap().size() == QSize(800, 600) &&
                                                !hasColour(app.main->currentBitmap(), kGreen)),
            kSlowWait);
        QVERIFY(hasColour(app.main->currentBitmap(), kRed));
        QCOMPARE(app.main->preview_->pixmap().size(), QSize(407, 305));
        // A change within half a second of the last frame goes out when that is over.
        QTest::qWait(CaptureSources::kFrameGapMs + 100);
        QCOMPARE(sentBytes(app), encodeBmp(app.main->currentBitmap()));

        // The window goes away: the viewers keep its last picture, byte for byte, and so do
        // the current bitmap and the preview; the status label says why nothing changes.
        const QImage shown = app.main->preview_->pixmap().toImage();
        const QImage last = app.main->currentBitmap();
        const QByteArray sent = sentBytes(app);
        target.close();
        QTRY_VERIFY_WITH_TIMEOUT(
            (app.main->captureWindowTick(), !app.main->statusLabel_->isHidden()), kSlowWait);
        QVERIFY2(app.main->statusLabel_->text().contains("gone"),
                 qPrintable(app.main->statusLabel_->text()));
        app.main->captureWindowTick();
        QCOMPARE(sentBytes(app), sent);
        QCOMPARE(app.main->currentBitmap(), last);
        QCOMPARE(app.main->preview_->pixmap().toImage(), shown);
        QVERIFY(app.main->windowCaptureTimer_->enabled());

        // Another window is chosen: the capture goes on with it, and the label is gone.
        OutsideWindow next({"--title", "Next", "--size", "320x240"});
        QVERIFY(next.waitReady());
        answerModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        chooseWindow(app, next.id());
        QTRY_VERIFY_WITH_TIMEOUT((app.main->captureWindowTick(), sentBytes(app) != sent),
                                 kSlowWait);
        QTest::qWait(CaptureSources::kFrameGapMs + 100);
        QCOMPARE(sentBytes(app), encodeBmp(app.main->currentBitmap()));
        QVERIFY(app.main->statusLabel_->isHidden());
    }

    // The window captured last is given back to the server once the window source is
    // left or the picker is built again, not kept redirected until the program ends.
    void leavingTheWindowSourceReleasesTheWindow()
    {
        if (!windowSystem().canCaptureWindows())
            QSKIP("no Composite extension");
        OutsideWindow target({"--title", "Held", "--size", "320x240"});
        QVERIFY(target.waitReady());
        AppFixture app;
        app.configure();
        app.main->startUp();
        chooseWindow(app, target.id());
        QTRY_VERIFY_WITH_TIMEOUT((app.main->captureWindowTick(), windowSystem().heldWindow() != 0),
                                 kSlowWait);
        app.main->selectScreenSource();
        QCOMPARE(windowSystem().heldWindow(), WindowId(0));

        answerModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        chooseWindow(app, target.id()); // "No": the picker is built again
        QTRY_VERIFY_WITH_TIMEOUT((app.main->captureWindowTick(), windowSystem().heldWindow() != 0),
                                 kSlowWait);
        answerModal<QMessageBox>([](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
        app.main->selectWindowSource();
        QCOMPARE(windowSystem().heldWindow(), WindowId(0));
        app.main->screenCaptureTimer_->setEnabled(false);
    }

    void continueQuestion_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes keeps the window") << true;
        QTest::newRow("No rebuilds the picker") << false;
    }

    void continueQuestion()
    {
        QFETCH(bool, yes);
        OutsideWindow target({"--title", "Again", "--size", "300x200"});
        QVERIFY(target.waitReady());
        AppFixture app;
        app.configure();
        app.main->startUp();
        chooseWindow(app, target.id());
        QPointer<QScrollArea> gallery = app.main->pickerPanel_->findChild<QScrollArea *>("gallery");
        QVERIFY(gallery);
        app.main->selectScreenSource();
        QVERIFY(!app.main->windowCaptureTimer_->enabled());

        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        answerModal<QMessageBox>([&](QMessageBox *box) {
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        app.main->selectWindowSource();
        QCOMPARE(text, QStringLiteral("Continue from previous window ?"));
        QCOMPARE(title, QStringLiteral("Quorix"));
        QCOMPARE(icon, QMessageBox::Question);
        QCOMPARE(app.main->sourceMode(), 3);
        QCOMPARE(app.main->capturedWindow(), target.id());
        QCOMPARE(app.main->windowCaptureTimer_->enabled(), yes);
        QCOMPARE(app.main->pages_->currentIndex(), yes ? 1 : 0);
        QCOMPARE(gallery.isNull(), !yes);
        QCOMPARE(app.main->pickerPanel_->findChildren<QScrollArea *>().size(), 1);
    }

    void clipboardImagesBecomeTheCurrentBitmap()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->autoSendBox_->setChecked(true);
        app.main->selectScreenSource();
        app.main->screenCaptureTimer_->setEnabled(false);

        // Copied while another source is chosen: nothing, also not after choosing.
        // (Drawing on the screen may still have been grabbed meanwhile.)
        copyImage(qRgb(10, 20, 30), QSize(50, 40));
        QTest::qWait(300);
        QVERIFY(app.main->currentBitmap().size() != QSize(50, 40));
        app.main->selectClipboardSource();
        QCOMPARE(app.main->sourceMode(), 1);
        QVERIFY(app.main->clipboardWatcher_->isEnabled());
        QTest::qWait(200);
        QVERIFY(app.main->currentBitmap().size() != QSize(50, 40));

        copyImage(qRgb(200, 100, 50), QSize(64, 48));
        QTRY_COMPARE_WITH_TIMEOUT(app.main->currentBitmap().size(), QSize(64, 48), kSlowWait);
        QCOMPARE(app.main->currentBitmap().pixel(10, 10), qRgb(200, 100, 50));
        const QByteArray sent = encodeBmp(app.main->currentBitmap());
        QCOMPARE(sentBytes(app), sent);
        QCOMPARE(app.main->preview_->pixmap().size(), QSize(407, 305));

        // Text changes nothing.
        const QString text = files_.filePath(QStringLiteral("words.txt"));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("some words");
        f.close();
        copyToClipboard({"-i", text});
        QTest::qWait(300);
        QCOMPARE(app.main->currentBitmap().size(), QSize(64, 48));
        QCOMPARE(sentBytes(app), sent);

        // Neither does a picture that cannot be decoded: the viewers keep the last one.
        copyToClipboard({"-t", "image/png", "-i", text});
        QTest::qWait(300);
        QCOMPARE(app.main->currentBitmap().size(), QSize(64, 48));
        QCOMPARE(sentBytes(app), sent);
    }

    void clipboardWithoutSendingWritesNothing()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->selectClipboardSource();
        copyImage(qRgb(1, 2, 3), QSize(30, 60));
        QTRY_COMPARE_WITH_TIMEOUT(app.main->currentBitmap().size(), QSize(30, 60), kSlowWait);
        QCOMPARE(app.main->preview_->pixmap().size(), QSize(132, 264));
        QVERIFY(!fileExists(app.shared() + "shar.bmp"));
    }
};

QTEST_MAIN(TestCaptureSources)
#include "tst_capturesources.moc"
