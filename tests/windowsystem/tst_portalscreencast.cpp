// The screen-cast portal client and its PipeWire stream, inside a private Wayland desktop
// (tests/desktops/sway/with-sway.sh): the real xdg-desktop-portal front end, PipeWire and the
// compositor's pixels; the back end's consent dialog is the test's stand-in.
#include "windowsystem/portal/PipeWireStream.h"
#include "windowsystem/portal/PortalScreenCast.h"
#include "windowsystem/portal/PortalWindowSystem.h"

#include "support/WaylandSession.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace quorix;

using namespace quorix::test;

namespace {

constexpr int kWait = kSessionWait;

} // namespace

// Hears every answer the portal gives to this program's requests.
class PortalAnswers : public QObject
{
    Q_OBJECT

  public:
    std::function<void()> heard;

  public slots:
    void answer(const QDBusMessage &)
    {
        if (heard)
            heard();
    }
};

class TestPortalScreenCast : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("QUORIX_WAYLAND_CONTROL"))
            QSKIP("runs inside tests/desktops/sway/with-sway.sh");
        QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix")).clear();
    }

    void init()
    {
        const bool withoutPortal = qEnvironmentVariable("QUORIX_WAYLAND_PORTAL") == "0";
        const bool forNoPortal =
            QLatin1String(QTest::currentTestFunction()) == QLatin1String("withoutScreenCast");
        if (withoutPortal != forNoPortal)
            QSKIP(withoutPortal ? "needs the screen-cast back end"
                                : "runs in tst_wayland_no_portal");
        QFile::remove(controlFile(QStringLiteral("asked.log")));
        QVERIFY(setControl(QStringLiteral("answer"), "share"));
    }

    // The portal runs without any screen-cast back end: nothing can be captured, and the
    // reason is the one the status strip shows.
    void withoutScreenCast()
    {
        QVERIFY(!PortalScreenCast::probe(kWait).available);
        std::unique_ptr<WindowSystem> system = makePortalWindowSystem(nullptr);
        system->prepareCapture(0, nullptr);
        QImage image(10, 10, QImage::Format_RGB32);
        QVERIFY(!system->mayHaveChanged(0) || !system->captureScreen(image));
        QVERIFY(!system->captureScreen(image));
        QVERIFY(image.isNull());
        // Asked without waiting: the answer comes a moment later.
        QCOMPARE(system->captureProblem(0), QStringLiteral("Asking the desktop..."));
        QTRY_COMPARE_WITH_TIMEOUT(system->captureProblem(0),
                                  QStringLiteral("No screen capture on this desktop"), kWait);
        QCOMPARE(system->otherWindows(), WindowSystem::OtherWindows::Unavailable);
        QCOMPARE(system->chooseOtherWindow(nullptr), WindowId(0));
    }

    void portalOffersMonitorsAndWindows()
    {
        const PortalOffer offer = PortalScreenCast::probe(kWait);
        QVERIFY(offer.available);
        QCOMPARE(offer.version, 4u);
        QVERIFY(offer.sourceTypes & 1);
    }

    void monitorStreamShowsTheScreenAndItsChanges()
    {
        QProcess *foot = startFoot(this, QStringLiteral("00ff00"), QStringLiteral("green"));
        const PortalOffer offer = PortalScreenCast::probe(kWait);
        PortalScreenCast cast(PortalScreenCast::Source::Monitor, offer);
        cast.start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Streaming, kWait);
        QImage frame;
        QTRY_VERIFY_WITH_TIMEOUT(
            (frame = cast.stream()->newestFrame(), centreIs(frame, qRgb(0, 255, 0))), kWait);
        QCOMPARE(frame.size(), QSize(1280, 720));
        QCOMPARE(frame.format(), QImage::Format_RGB32);
        QCOMPARE(timesAsked(), 1);
        // A change on the screen arrives as a new frame.
        foot->kill();
        foot->waitForFinished();
        QProcess *blue = startFoot(this, QStringLiteral("0000ff"), QStringLiteral("blue"));
        QTRY_VERIFY_WITH_TIMEOUT(
            (frame = cast.stream()->newestFrame(), centreIs(frame, qRgb(0, 0, 255))), kWait);
        // The answer was remembered: the next session asks nothing.
        QVERIFY(!QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"))
                     .value(QLatin1String(PortalScreenCast::kRestoreTokenKey))
                     .toString()
                     .isEmpty());
        cast.stop();
        PortalScreenCast again(PortalScreenCast::Source::Monitor, offer);
        again.start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(again.state(), PortalScreenCast::State::Streaming, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(centreIs(again.stream()->newestFrame(), qRgb(0, 0, 255)), kWait);
        QCOMPARE(timesAsked(), 1);
        QVERIFY(backendNotes().contains(QStringLiteral("restored monitor")));
        blue->kill();
        blue->waitForFinished();
    }

    // A desktop that sends its pixels as R, G, B, x: colours stay as they were.
    void rgbxStreamKeepsItsColours()
    {
        QVERIFY(setControl(QStringLiteral("format"), "RGBx"));
        QProcess *red = startFoot(this, QStringLiteral("ff0000"), QStringLiteral("red"));
        PortalScreenCast cast(PortalScreenCast::Source::Monitor, PortalScreenCast::probe(kWait));
        cast.start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Streaming, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(centreIs(cast.stream()->newestFrame(), qRgb(255, 0, 0)), kWait);
        QFile::remove(controlFile(QStringLiteral("format")));
        stop(red);
    }

    // The monitor changes its resolution while the stream runs.
    void sizeChangeMidStreamGivesFramesOfTheNewSize()
    {
        PortalScreenCast cast(PortalScreenCast::Source::Monitor, PortalScreenCast::probe(kWait));
        cast.start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Streaming, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(cast.stream()->newestFrame().size(), QSize(1280, 720), kWait);
        QCOMPARE(swaymsg({QStringLiteral("output"), QStringLiteral("HEADLESS-1"),
                          QStringLiteral("resolution"), QStringLiteral("1024x768")}),
                 0);
        QTRY_COMPARE_WITH_TIMEOUT(cast.stream()->newestFrame().size(), QSize(1024, 768), kWait);
        QCOMPARE(cast.state(), PortalScreenCast::State::Streaming);
        QCOMPARE(swaymsg({QStringLiteral("output"), QStringLiteral("HEADLESS-1"),
                          QStringLiteral("resolution"), QStringLiteral("1280x720")}),
                 0);
        QTRY_COMPARE_WITH_TIMEOUT(cast.stream()->newestFrame().size(), QSize(1280, 720), kWait);
    }

    // A portal that cannot remember (before version 4) is asked without a permission to
    // keep: it asks at each start, and no token is stored.
    void olderPortalAsksAtEveryStart()
    {
        QSettings settings(QStringLiteral("Ombrak"), QStringLiteral("Quorix"));
        settings.remove(QLatin1String(PortalScreenCast::kRestoreTokenKey));
        PortalOffer offer = PortalScreenCast::probe(kWait);
        offer.version = 3;
        for (int i = 0; i < 2; ++i) {
            PortalScreenCast cast(PortalScreenCast::Source::Monitor, offer);
            cast.start(QString());
            QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Streaming, kWait);
            cast.stop();
        }
        QCOMPARE(timesAsked(), 2);
        settings.sync();
        QVERIFY(!settings.contains(QLatin1String(PortalScreenCast::kRestoreTokenKey)));
    }

    // The source is left just after the desktop granted the cast, while the stream is
    // being opened (the answer to OpenPipeWireRemote is on its way): that late answer
    // starts no stream and leaves the cast ended.
    void leftWhileTheStreamOpensStartsNothing()
    {
        PortalScreenCast cast(PortalScreenCast::Source::Monitor, PortalScreenCast::probe(kWait));
        PortalAnswers answers;
        int heard = 0;
        // The third answer is Start's: the cast asks for the stream as it handles it, and
        // is stopped right after, before the portal's reply can arrive.
        answers.heard = [&] {
            if (++heard == 3)
                QMetaObject::invokeMethod(
                    &cast, [&] { cast.stop(); }, Qt::QueuedConnection);
        };
        QVERIFY(QDBusConnection::sessionBus().connect(
            QStringLiteral("org.freedesktop.portal.Desktop"), QString(),
            QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"), &answers,
            SLOT(answer(QDBusMessage))));
        cast.start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(heard, 3, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Ended, kWait);
        QTest::qWait(1500);
        QCOMPARE(cast.state(), PortalScreenCast::State::Ended);
        QVERIFY(!cast.stream());
    }

    void cancelledDialogGivesNoStream()
    {
        QSettings(QStringLiteral("Ombrak"), QStringLiteral("Quorix")).clear();
        QVERIFY(setControl(QStringLiteral("answer"), "cancel"));
        PortalScreenCast cast(PortalScreenCast::Source::Monitor, PortalScreenCast::probe(kWait));
        cast.start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Refused, kWait);
        QVERIFY(!cast.stream());
        QCOMPARE(timesAsked(), 1);
    }

    void streamEndedByTheDesktopKeepsTheLastFrame()
    {
        PortalScreenCast cast(PortalScreenCast::Source::Monitor, PortalScreenCast::probe(kWait));
        cast.start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Streaming, kWait);
        QTRY_VERIFY_WITH_TIMEOUT(!cast.stream()->newestFrame().isNull(), kWait);
        QVERIFY(setControl(QStringLiteral("end-sessions"), "now"));
        QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Ended, kWait);
        QVERIFY(!cast.stream()->newestFrame().isNull());
    }

    void windowStreamIsTheChosenWindowOnly()
    {
        // Two windows side by side; the chosen one is on the right.
        QProcess *other = startFoot(this, QStringLiteral("ffff00"), QStringLiteral("other"));
        QTest::qWait(500);
        QProcess *foot = startFoot(this, QStringLiteral("ff00ff"), QStringLiteral("chosen"));
        QVERIFY(setControl(QStringLiteral("window"), "chosen"));
        PortalScreenCast cast(PortalScreenCast::Source::Window, PortalScreenCast::probe(kWait));
        QTest::qWait(1000);
        cast.start(QString());
        QTRY_COMPARE_WITH_TIMEOUT(cast.state(), PortalScreenCast::State::Streaming, kWait);
        QImage frame;
        QTRY_VERIFY_WITH_TIMEOUT(
            (frame = cast.stream()->newestFrame(), centreIs(frame, qRgb(255, 0, 255))), kWait);
        // The crop region: the window, its title bar included, not the whole output.
        QVERIFY(frame.width() < 1280 && frame.width() > 600);
        QCOMPARE(frame.pixel(20, frame.height() - 20), qRgb(255, 0, 255));
        QVERIFY(backendNotes().contains(QStringLiteral("asked window parent=")));
        foot->kill();
        foot->waitForFinished();
        other->kill();
        other->waitForFinished();
    }
};

QTEST_MAIN(TestPortalScreenCast)
#include "tst_portalscreencast.moc"
