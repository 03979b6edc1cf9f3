// Quorix on KDE Plasma, as a presenter uses it: the main window runs through XWayland inside
// the private KDE session (tests/desktops/kde/with-kde.sh); the screen comes through the real
// xdg-desktop-portal, KDE's own back end and PipeWire. KDE's dialog is answered as a hand
// would: its tiles offer AT-SPI no action and no selection, so consent.py moves KWin's
// pointer onto the tile and clicks it (KWin's fake-input protocol,
// tests/desktops/kde/kde_pointer.c), then presses Share. Nothing here is a stand-in.
#include "desktops/DesktopSession.h"
#include "support/AppFixture.h"
#include "support/TestPictures.h"
#include "support/Widgets.h"

#include "controls/ColourPanel.h"
#include "core/LineFile.h"
#include "core/WholeFile.h"
#include "imaging/BmpFile.h"
#include "windowsystem/portal/PortalScreenCast.h"
#include "windowsystem/WindowSystem.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

using namespace quorix;
using namespace quorix::test;

namespace {

constexpr int kKdeWait = 15000;
// The status once KDE granted a monitor's cast.
const QString kGranted = QStringLiteral("Waiting for the first picture");
const QString kFailed = QStringLiteral("Screen sharing failed: press Screen Image to try again");
// consent.py's exit status when KDE's back end died as Share was pressed.
constexpr int kBackendDied = 3;
// The Wayland app id of KDE's portal dialogs.
const QString kKdeDialogClass = QStringLiteral("org.freedesktop.impl.portal.desktop.kde");

QString inSession(const QString &variable, const QString &name)
{
    return QDir(qEnvironmentVariable(variable.toLatin1().constData())).filePath(name);
}

int consent(QObject *parent, const QString &answer)
{
    return consentResult(startConsent(parent, answer));
}

// KWin's windows as KWin sees them (kwin.py beside this file): class, title, frame, client, x11,
// parent, active.
QJsonArray kwinWindows()
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("/usr/bin/python3"),
            {inSession(QStringLiteral("QUORIX_KDE_BIN"), QStringLiteral("kwin.py")),
             QStringLiteral("windows")});
    QElapsedTimer clock;
    clock.start();
    while (p.state() != QProcess::NotRunning && clock.elapsed() < 10000)
        QTest::qWait(20);
    QJsonArray windows;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            windows.append(QJsonDocument::fromJson(line).object());
    return windows;
}

QJsonObject kwinWindow(const QString &title)
{
    for (const QJsonValue w : kwinWindows())
        if (w.toObject().value(QStringLiteral("title")).toString() == title)
            return w.toObject();
    return {};
}

bool kwin(const QStringList &args)
{
    return QProcess::execute(
               QStringLiteral("/usr/bin/python3"),
               QStringList{inSession(QStringLiteral("QUORIX_KDE_BIN"), QStringLiteral("kwin.py"))} +
                   args) == 0;
}

} // namespace

class TestKdeQuorix : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppFixture> startQuorix(bool autoSend)
    {
        auto app = std::make_unique<AppFixture>();
        app->configure();
        app->main->startUp();
        app->main->show();
        child<QCheckBox>(*app->main, "autoSendBox")->setChecked(autoSend);
        for (int i = 0; i < 100 && kwinWindow(QStringLiteral("Quorix")).isEmpty(); ++i)
            QTest::qWait(50);
        return app;
    }

    // Screen Image pressed, and a monitor chosen and shared in KDE's dialog; KDE grants the
    // cast (headless KWin sends no frames of a monitor: with-kde.sh).
    void shareScreen(AppFixture &app)
    {
        // As when the presenter clicks Screen Image: Quorix's window is the active one.
        QVERIFY(kwin({QStringLiteral("raise"), QStringLiteral("Quorix")}));
        QProcess *answer = startConsent(this, QStringLiteral("share"));
        app.main->selectScreenSource();
        int result = consentResult(answer);
        if (result == kBackendDied) {
            // KDE's back end at times dies as Share is pressed: the presenter is told, and
            // the next press asks again.
            QTRY_COMPARE_WITH_TIMEOUT(status(app), kFailed, kKdeWait);
            answer = startConsent(this, QStringLiteral("share"));
            app.main->selectClipboardSource();
            app.main->selectScreenSource();
            result = consentResult(answer);
        }
        QCOMPARE(result, 0);
        QTRY_COMPARE_WITH_TIMEOUT(status(app), kGranted, kKdeWait);
    }

  private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("QUORIX_KDE_CONTROL"))
            QSKIP("runs inside tests/desktops/kde/with-kde.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    // Each test starts as a fresh program would: no screen shared yet.
    void cleanup() { windowSystem().endCapture(0); }

    // The first press brings KDE's dialog; a monitor chosen there by the pointer and shared,
    // KDE grants the cast and remembers the answer. Until a first picture comes, nothing
    // is written: never a black screen.
    void screenSourceIsGrantedInKdesDialog()
    {
        forgetPermission();
        auto app = startQuorix(true);
        shareScreen(*app);
        QVERIFY(hasPermission());
        QTest::qWait(2000);
        QVERIFY(!fileExists(app->shared() + QStringLiteral("shar.bmp")));
        QVERIFY(!fileExists(app->shared() + QStringLiteral("shar.png")));
    }

    // The next press, and a restarted Quorix (a new session from the remembered token),
    // are granted without a dialog; a forgotten token asks again.
    void theAnswerIsRemembered()
    {
        QVERIFY(hasPermission());
        {
            auto app = startQuorix(true);
            QProcess *absent = startConsent(this, QStringLiteral("absent"), 4);
            app->main->selectScreenSource();
            QTRY_COMPARE_WITH_TIMEOUT(status(*app), kGranted, kKdeWait);
            app->main->selectClipboardSource();
            app->main->selectScreenSource();
            QCOMPARE(consentResult(absent), 0);
            QTRY_COMPARE_WITH_TIMEOUT(status(*app), kGranted, kKdeWait);
        }
        windowSystem().endCapture(0);
        {
            auto app = startQuorix(true);
            QProcess *absent = startConsent(this, QStringLiteral("absent"), 3);
            app->main->selectScreenSource();
            QCOMPARE(consentResult(absent), 0);
            QCOMPARE(status(*app), kGranted);
        }
        windowSystem().endCapture(0);
        forgetPermission();
        auto app = startQuorix(true);
        shareScreen(*app);
    }

    // KDE's portal runs natively on Wayland and cannot take Quorix's X11 window as its
    // dialog's parent (it says "QWindow::fromWinId(): platform plugin does not support
    // foreign windows"): the dialog is a window of its own in the middle of the screen, and
    // Quorix's window, above all others, covered it. While the dialog is open Quorix's
    // window is an ordinary one; after the answer it is above the others again.
    void kdesDialogIsNotCoveredByQuorix()
    {
        forgetPermission();
        auto app = startQuorix(false);
        QVERIFY(kwinWindow(QStringLiteral("Quorix")).value(QStringLiteral("keepAbove")).toBool());
        QVERIFY(kwin({QStringLiteral("raise"), QStringLiteral("Quorix")}));
        QProcess *open = startConsent(this, QStringLiteral("wait"));
        app->main->selectScreenSource();
        QCOMPARE(consentResult(open), 0);
        QJsonObject dialog;
        QJsonObject quorix;
        for (const QJsonValue w : kwinWindows()) {
            if (w.toObject().value(QStringLiteral("class")).toString() == kKdeDialogClass)
                dialog = w.toObject();
            if (w.toObject().value(QStringLiteral("title")).toString() == QLatin1String("Quorix"))
                quorix = w.toObject();
        }
        qInfo("dialog %s; Quorix %s",
              QJsonDocument(dialog).toJson(QJsonDocument::Compact).constData(),
              QJsonDocument(quorix).toJson(QJsonDocument::Compact).constData());
        QVERIFY(!dialog.isEmpty() && !quorix.isEmpty());
        QVERIFY(!quorix.value(QStringLiteral("keepAbove")).toBool());
        QVERIFY(dialog.value(QStringLiteral("stacking")).toInt() >
                quorix.value(QStringLiteral("stacking")).toInt());
        QCOMPARE(consent(this, QStringLiteral("cancel")), 0);
        QTRY_VERIFY_WITH_TIMEOUT(
            kwinWindow(QStringLiteral("Quorix")).value(QStringLiteral("keepAbove")).toBool(),
            kKdeWait);
    }

    // KDE's back end dies while its dialog is open (it did, in these tests, when a second
    // window was shared after the first had closed): the presenter learns so, and the next
    // press asks again and is granted.
    void backendGoneUnderItsDialog()
    {
        forgetPermission();
        auto app = startQuorix(true);
        QProcess *open = startConsent(this, QStringLiteral("wait"));
        app->main->selectScreenSource();
        QCOMPARE(consentResult(open), 0);
        const uint pid = backendPid();
        QVERIFY(pid != 0);
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QTRY_COMPARE_WITH_TIMEOUT(status(*app), kFailed, kKdeWait);
        app->main->selectClipboardSource();
        shareScreen(*app);
        QVERIFY(backendPid() != pid);
    }

    // Leaving the screen source while KDE's dialog is open leaves the dialog to its answer,
    // and the back end alive; the answer given is the next press's.
    void leavingTheScreenUnderItsDialogLeavesTheBackendAlone()
    {
        forgetPermission();
        auto app = startQuorix(true);
        QProcess *open = startConsent(this, QStringLiteral("wait"));
        app->main->selectScreenSource();
        QCOMPARE(consentResult(open), 0);
        const uint pid = backendPid();
        app->main->selectClipboardSource();
        QTest::qWait(1000);
        QCOMPARE(backendPid(), pid);
        QCOMPARE(consent(this, QStringLiteral("share")), 0);
        QTRY_VERIFY_WITH_TIMEOUT(hasPermission(), kKdeWait);
        QCOMPARE(backendPid(), pid);
        QProcess *absent = startConsent(this, QStringLiteral("absent"), 3);
        app->main->selectScreenSource();
        QTRY_COMPARE_WITH_TIMEOUT(status(*app), kGranted, kKdeWait);
        QCOMPARE(consentResult(absent), 0);
        QCOMPARE(backendPid(), pid);
    }

    // "Another window..." opens KDE's own window chooser; the window chosen there (by its
    // tile) is sent, a change of it arrives, and its last picture stays when it closes. The
    // window is an XWayland terminal: KWin 5.27 sends the cast of a native Wayland window
    // its first frame at most, and of a monitor none (with-kde.sh).
    void anotherWindowComesFromKdesChooser()
    {
        // Green until the file `turn` appears, then blue.
        QTemporaryDir control;
        const QString turn = control.filePath(QStringLiteral("turn"));
        const QString title = QStringLiteral("xclient");
        QProcess xterm;
        xterm.start(QStringLiteral("xterm"),
                    {QStringLiteral("-T"), title, QStringLiteral("-bg"), QStringLiteral("#00ff00"),
                     QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                     QStringLiteral("while [ ! -e \"$1\" ]; do sleep 0.1; done; "
                                    "printf '\\033]11;#0000ff\\007'; exec sleep 600"),
                     QStringLiteral("sh"), turn});
        for (int i = 0; i < 100 && kwinWindow(title).isEmpty(); ++i)
            QTest::qWait(50);
        QVERIFY(kwin({QStringLiteral("place"), title, QStringLiteral("700"), QStringLiteral("200"),
                      QStringLiteral("480"), QStringLiteral("360")}));
        auto app = startQuorix(true);
        app->main->selectWindowSource();
        auto *tile = child<ColourPanel>(*app->main, "pickerPanel")
                         ->findChild<QLabel *>(QStringLiteral("otherWindowThumbnail"));
        QVERIFY(tile);
        QVERIFY(kwin({QStringLiteral("raise"), QStringLiteral("Quorix")}));
        QProcess *answer = startConsent(this, QStringLiteral("share"), 20, title);
        QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(5, 5));
        int result = consentResult(answer);
        if (result == kBackendDied) {
            QTRY_COMPARE_WITH_TIMEOUT(
                status(*app), QStringLiteral("Window sharing failed: choose the window again"),
                kKdeWait);
            answer = startConsent(this, QStringLiteral("share"), 20, title);
            QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(5, 5));
            result = consentResult(answer);
        }
        QCOMPARE(result, 0);
        QVERIFY(app->main->state().capturedWindow >= kPortalWindowBase);
        const auto centreIs = [&](QRgb colour) {
            const QImage sent = sentBmp(*app);
            return !sent.isNull() && sent.pixel(sent.width() / 2, sent.height() / 2) == colour;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(centreIs(kGreen), qPrintable(status(*app)), kKdeWait);
        QVERIFY2(sentBmp(*app).width() < 1280, qPrintable(QString::number(sentBmp(*app).width())));
        QVERIFY(QFile(turn).open(QIODevice::WriteOnly));
        QTRY_VERIFY_WITH_TIMEOUT(centreIs(kBlue), kKdeWait);
        keepShot(sentBmp(*app), QStringLiteral("kde-window"));

        const QByteArray last = readWholeFile(app->shared() + QStringLiteral("shar.bmp"));
        xterm.kill();
        xterm.waitForFinished();
        QTRY_COMPARE_WITH_TIMEOUT(status(*app),
                                  QStringLiteral("Sharing stopped: last picture kept"), kKdeWait);
        QCOMPARE(readWholeFile(app->shared() + QStringLiteral("shar.bmp")), last);
    }

    // Screen Image brings KDE's own dialog; Cancel there writes nothing and says so, and
    // the next press asks again.
    void kdeDialogComesAndCancelWritesNothing()
    {
        forgetPermission();
        auto app = startQuorix(true);
        for (int press = 0; press < 2; ++press) {
            app->main->selectClipboardSource();
            app->main->selectScreenSource();
            QCOMPARE(consent(this, QStringLiteral("cancel")), 0);
            QTRY_COMPARE_WITH_TIMEOUT(status(*app),
                                      QStringLiteral("Sharing cancelled: nothing sent"), kKdeWait);
        }
        QTest::qWait(1000);
        QVERIFY(!fileExists(app->shared() + QStringLiteral("shar.bmp")));
        QVERIFY(app->main->currentBitmap().isNull());
    }

    // quorix-view runs natively on KDE (no XWayland): full screen, and windowed as an
    // ordinary window, as quorix.cfg says. (foot, the other desktops' native test window,
    // dies of a division by zero on KWin's virtual monitor, which has no physical size.)
    void viewerRunsNativelyOnKde()
    {
        QTemporaryDir shared;
        QImage picture(1280, 720, QImage::Format_RGB32);
        picture.fill(kGreen);
        writeBmpFile(shared.filePath(QStringLiteral("shar.bmp")), picture);
        writeLineFile(shared.filePath(QStringLiteral("quorixlog.cfg")), {QStringLiteral("Run")});
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), shared.filePath(QStringLiteral("config")));
        for (const bool fullScreen : {true, false}) {
            writeLineFile(shared.filePath(QStringLiteral("quorix.cfg")),
                          {shared.filePath(QStringLiteral("shar.bmp")), QStringLiteral("0"),
                           QStringLiteral("1"), QStringLiteral("1"),
                           fullScreen ? QStringLiteral("1") : QStringLiteral("0"),
                           QStringLiteral("0"), QString(), QStringLiteral("0")});
            QProcess viewer;
            viewer.setProcessEnvironment(env);
            viewer.start(inSession(QStringLiteral("QUORIX_KDE_BIN"), QStringLiteral("quorix-view")),
                         {shared.path()});
            const auto window = [&viewer] {
                for (const QJsonValue w : kwinWindows())
                    if (w.toObject().value(QStringLiteral("pid")).toInt() == viewer.processId())
                        return w.toObject();
                return QJsonObject();
            };
            QTRY_VERIFY_WITH_TIMEOUT(!window().isEmpty(), kKdeWait);
            QTRY_COMPARE_WITH_TIMEOUT(window().value(QStringLiteral("fullScreen")).toBool(),
                                      fullScreen, kKdeWait);
            QCOMPARE(window().value(QStringLiteral("x11")).toInt(), 0);
            viewer.kill();
            viewer.waitForFinished();
        }
    }

    // KDE offers its window chooser: the picker's extra tile says so.
    void pickerOffersKdesWindowChooser()
    {
        auto app = startQuorix(false);
        QTRY_VERIFY_WITH_TIMEOUT(
            windowSystem().otherWindows() != WindowSystem::OtherWindows::Asking, kKdeWait);
        app->main->selectWindowSource();
        auto *title = child<ColourPanel>(*app->main, "pickerPanel")
                          ->findChild<QLabel *>(QStringLiteral("otherWindowTitle"));
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Another window..."));
    }
};

QTEST_MAIN(TestKdeQuorix)
#include "tst_kde_quorix.moc"
