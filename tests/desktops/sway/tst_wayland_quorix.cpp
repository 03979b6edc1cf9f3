// Quorix itself on a Wayland desktop, as a presenter uses it: the main window runs through
// XWayland inside the private sway session (tests/desktops/sway/with-sway.sh) while the screen
// and chosen windows come through the real portal front end and PipeWire from the
// compositor's own pixels. Only the consent dialog is the test back end's stand-in.
//
// Quorix is kept on the second output, off the one the back end shares: its own preview
// would otherwise be a change on the shared screen at every tick.
#include "support/AppFixture.h"
#include "support/TestPictures.h"
#include "support/WaylandSession.h"

#include "capture/CaptureSources.h"
#include "controls/ColourPanel.h"
#include "core/WholeFile.h"
#include "windowsystem/portal/PortalScreenCast.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace quorix;
using namespace quorix::test;

namespace {

QImage sent(const AppFixture &app)
{
    return QImage(app.shared() + QStringLiteral("shar.bmp"), "BMP");
}

QByteArray sentBytes(const AppFixture &app)
{
    const QString path = app.shared() + QStringLiteral("shar.bmp");
    return fileExists(path) ? readWholeFile(path) : QByteArray();
}

QString status(const AppFixture &app)
{
    return app.main->statusLabel_->text();
}

void forgetPermission()
{
    QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"))
        .remove(QLatin1String(PortalScreenCast::kRestoreTokenKey));
}

// The "another window" tile's thumbnail and title, present after a picker build.
QLabel *otherWindowTile(const AppFixture &app, const char *part)
{
    return app.main->pickerPanel_->findChild<QLabel *>(QLatin1String(part));
}

} // namespace

class TestWaylandQuorix : public QObject
{
    Q_OBJECT

    // Which session this run has: the full back end, monitors only, or no screen cast.
    static QString session()
    {
        if (qEnvironmentVariable("QUORIX_WAYLAND_PORTAL") == QLatin1String("0"))
            return QStringLiteral("no-portal");
        if (qEnvironmentVariable("QUORIX_WAYLAND_SOURCES") == QLatin1String("1"))
            return QStringLiteral("monitors-only");
        if (qEnvironmentVariable("QUORIX_WAYLAND_LATE") == QLatin1String("1"))
            return QStringLiteral("late");
        return QStringLiteral("full");
    }

    // The session each test needs; the others run in the full one.
    static QString sessionFor(const QString &test)
    {
        if (test == QLatin1String("anotherWindowTileSaysMonitorsOnly"))
            return QStringLiteral("monitors-only");
        if (test == QLatin1String("withoutScreenCastNothingIsWritten"))
            return QStringLiteral("no-portal");
        if (test == QLatin1String("aLatePortalFreezesNothing"))
            return QStringLiteral("late");
        return QStringLiteral("full");
    }

    // A configured main window on the second output, automatic sending on or off.
    std::unique_ptr<AppFixture> startQuorix(bool autoSend)
    {
        auto app = std::make_unique<AppFixture>();
        app->configure();
        app->main->startUp();
        app->main->show();
        app->main->autoSendBox_->setChecked(autoSend);
        return app;
    }

  private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("QUORIX_WAYLAND_CONTROL"))
            QSKIP("runs inside tests/desktops/sway/with-sway.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        // New windows open on the focused output: Quorix's go to the second one.
        QCOMPARE(swaymsg({QStringLiteral("focus"), QStringLiteral("output"),
                          QStringLiteral("HEADLESS-2")}),
                 0);
    }

    void init()
    {
        const QString needed = sessionFor(QLatin1String(QTest::currentTestFunction()));
        if (needed != session())
            QSKIP(qPrintable(QStringLiteral("runs in the session with ") + needed));
        QFile::remove(controlFile(QStringLiteral("asked.log")));
        QVERIFY(setControl(QStringLiteral("answer"), "share"));
    }

    // Each test starts as a fresh program would: no screen shared yet.
    void cleanup() { windowSystem().endCapture(0); }

    // The first press asks; the picture is the desktop's, a change arrives at the next
    // tick, and a still screen is not written again.
    void screenSourceSendsWhatTheDesktopShows()
    {
        forgetPermission();
        QProcess *green = startFoot(this, QStringLiteral("00ff00"), QStringLiteral("green"));
        auto app = startQuorix(true);
        app->main->selectScreenSource();
        QTRY_VERIFY2_WITH_TIMEOUT(
            centreIs(sent(*app), kGreen),
            qPrintable(status(*app) + QLatin1Char(' ') + backendNotes().join(QLatin1Char(','))),
            kSessionWait);
        QCOMPARE(sent(*app).size(), QSize(1280, 720));
        QCOMPARE(app->main->currentBitmap().size(), QSize(1280, 720));
        QCOMPARE(app->main->preview_->pixmap().size(), QSize(407, 228));
        QCOMPARE(timesAsked(), 1);
        QVERIFY(backendNotes().first().startsWith(QLatin1String("asked monitor parent=x11:")));

        stop(green);
        QProcess *blue = startFoot(this, QStringLiteral("0000ff"), QStringLiteral("blue"));
        QTRY_VERIFY_WITH_TIMEOUT(centreIs(sent(*app), kBlue), kSessionWait);
        // Once the screen is still, nothing more is written.
        QTest::qWait(1500);
        QSignalSpy writes(&app->main->state(), &SharedState::sent);
        QTest::qWait(3000);
        QCOMPARE(writes.count(), 0);
        stop(blue);
    }

    // Pressing the screen source again, and again after another source, asks nothing.
    void laterPressesDoNotAsk()
    {
        auto app = startQuorix(false);
        app->main->selectScreenSource();
        QTRY_VERIFY_WITH_TIMEOUT(!app->main->currentBitmap().isNull(), kSessionWait);
        const int asked = timesAsked();
        app->main->selectScreenSource();
        app->main->selectClipboardSource();
        app->main->selectScreenSource();
        QTRY_VERIFY_WITH_TIMEOUT(backendNotes().contains(QStringLiteral("restored monitor")),
                                 kSessionWait);
        QCOMPARE(timesAsked(), asked);
    }

    void cancelWritesNothingAndSaysSo()
    {
        forgetPermission();
        QVERIFY(setControl(QStringLiteral("answer"), "cancel"));
        auto app = startQuorix(true);
        app->main->selectClipboardSource(); // ends a cast left by an earlier test
        app->main->selectScreenSource();
        QTRY_COMPARE_WITH_TIMEOUT(status(*app), QStringLiteral("Sharing cancelled: nothing sent"),
                                  kSessionWait);
        QTest::qWait(1500);
        QVERIFY(!fileExists(app->shared() + QStringLiteral("shar.bmp")));
        QVERIFY(app->main->currentBitmap().isNull());
        QCOMPARE(timesAsked(), 1);
    }

    // The presenter stops sharing from the desktop: the viewers keep the last picture.
    void streamEndedKeepsTheLastPicture()
    {
        auto app = startQuorix(true);
        app->main->selectScreenSource();
        QTRY_VERIFY_WITH_TIMEOUT(!sentBytes(*app).isEmpty(), kSessionWait);
        QTest::qWait(1500);
        const QByteArray before = sentBytes(*app);
        QVERIFY(setControl(QStringLiteral("end-sessions"), "now"));
        QTRY_COMPARE_WITH_TIMEOUT(
            status(*app), QStringLiteral("Sharing stopped: last picture kept"), kSessionWait);
        QProcess *red = startFoot(this, QStringLiteral("ff0000"), QStringLiteral("red"));
        QTest::qWait(2000);
        QCOMPARE(sentBytes(*app), before);
        stop(red);
    }

    // The picker lists the XWayland programs and offers the desktop's chooser for the rest;
    // a window chosen there is captured and sent like any other.
    void anotherWindowComesFromTheDesktopsChooser()
    {
        QProcess xclient;
        xclient.start(QStringLiteral("xterm"), {QStringLiteral("-T"), QStringLiteral("xclient"),
                                                QStringLiteral("-e"), QStringLiteral("sleep 600")});
        QProcess *other = startFoot(this, QStringLiteral("ffff00"), QStringLiteral("other"));
        QProcess *chosen = startFoot(this, QStringLiteral("ff00ff"), QStringLiteral("chosen"));
        QVERIFY(setControl(QStringLiteral("window"), "chosen"));
        auto app = startQuorix(true);
        app->main->selectWindowSource();
        QStringList titles;
        for (QLabel *l : app->main->pickerPanel_->findChildren<QLabel *>())
            if (l->objectName().startsWith(QLatin1String("windowTitle")))
                titles << l->text();
        QVERIFY2(titles.contains(QStringLiteral("xclient")), qPrintable(titles.join(", ")));
        QLabel *tile = otherWindowTile(*app, "otherWindowThumbnail");
        QVERIFY(tile);
        QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(app->main->state().capturedWindow >= kPortalWindowBase);
        QTRY_VERIFY_WITH_TIMEOUT(centreIs(sent(*app), kMagenta), kSessionWait);
        QVERIFY(sent(*app).width() < 1280);
        QVERIFY(backendNotes().contains(QStringLiteral("asked window parent=x11:") +
                                        QString::number(app->main->winId(), 16)));
        stop(chosen);
        stop(other);
        xclient.kill();
        xclient.waitForFinished();
    }

    void anotherWindowTileSaysMonitorsOnly()
    {
        auto app = startQuorix(false);
        app->main->selectWindowSource();
        QLabel *title = otherWindowTile(*app, "otherWindowTitle");
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Monitors only here: use Screen Image"));
        QLabel *tile = otherWindowTile(*app, "otherWindowThumbnail");
        QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(app->main->state().capturedWindow, WindowId(0));
        QCOMPARE(timesAsked(), 0);
    }

    // No screen cast on this desktop: never a black picture, and the presenter learns why.
    void withoutScreenCastNothingIsWritten()
    {
        auto app = startQuorix(true);
        app->main->selectScreenSource();
        QTRY_COMPARE_WITH_TIMEOUT(status(*app), QStringLiteral("No screen capture on this desktop"),
                                  kSessionWait);
        QTest::qWait(1500);
        QVERIFY(!fileExists(app->shared() + QStringLiteral("shar.bmp")));
        app->main->selectWindowSource();
        QLabel *title = otherWindowTile(*app, "otherWindowTitle");
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("No window capture on this desktop"));
    }

    // The desktop starts its portal at the first call and takes longer than a presenter
    // would wait: Quorix asks at start without waiting, the picker says so meanwhile, and a
    // press of Screen Image waits for the answer without freezing, then shares.
    void aLatePortalFreezesNothing()
    {
        forgetPermission();
        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longestGap = 0;
        QTimer beat;
        connect(&beat, &QTimer::timeout, this, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        beat.start(20);
        QProcess *green = startFoot(this, QStringLiteral("00ff00"), QStringLiteral("green"));
        auto app = startQuorix(true);
        app->main->selectWindowSource();
        QLabel *title = otherWindowTile(*app, "otherWindowTitle");
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Asking the desktop..."));
        app->main->selectScreenSource();
        QTRY_COMPARE_WITH_TIMEOUT(status(*app), QStringLiteral("Asking the desktop..."), 2000);
        QTRY_VERIFY2_WITH_TIMEOUT(centreIs(sent(*app), kGreen), qPrintable(status(*app)), 30000);
        // It was late, and nothing waited for it.
        QVERIFY2(clock.elapsed() > 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(longestGap < 1500, qPrintable(QString::number(longestGap)));
        app->main->selectWindowSource();
        title = otherWindowTile(*app, "otherWindowTitle");
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Another window..."));
        stop(green);
    }

    // An image copied in a native Wayland program reaches the clipboard source. The
    // compositor gives X11 programs the clipboard only while one of their windows has the
    // focus, and announces it to them again when one gets it: the copy is taken when the
    // presenter comes back to Quorix.
    void clipboardImageFromAWaylandProgram()
    {
        auto app = startQuorix(true);
        app->main->selectClipboardSource();
        QImage red(64, 48, QImage::Format_RGB32);
        red.fill(kRed);
        QTemporaryDir files;
        const QString png = files.filePath(QStringLiteral("red.png"));
        QVERIFY(red.save(png));
        QProcess *foot = startFoot(this, QStringLiteral("00ff00"), QStringLiteral("copier"));
        QCOMPARE(swaymsg({QStringLiteral("[title=\"^copier$\"]"), QStringLiteral("focus")}), 0);
        QProcess copy;
        copy.setStandardInputFile(png);
        copy.start(QStringLiteral("wl-copy"),
                   {QStringLiteral("--type"), QStringLiteral("image/png")});
        QVERIFY(copy.waitForFinished(5000));
        QCOMPARE(copy.exitCode(), 0);
        QTest::qWait(1000);
        QCOMPARE(swaymsg({QStringLiteral("[title=\"^Quorix$\"]"), QStringLiteral("focus")}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(sent(*app).size() == QSize(64, 48), kSessionWait);
        QCOMPARE(sent(*app).pixel(10, 10), kRed);
        stop(foot);
    }
};

QTEST_MAIN(TestWaylandQuorix)
#include "tst_wayland_quorix.moc"
