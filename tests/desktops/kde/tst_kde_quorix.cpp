// Quorix on KDE Plasma, as far as a machine without a person can take it: KWin headless
// with XWayland (tests/desktops/kde/with-kde.sh), the real portal front end and KDE's own back end.
// KDE's dialog comes and is answered through AT-SPI where it can be: its screen tiles
// offer AT-SPI no action and no selection, so "Share" cannot be given; "Cancel" can.
#include "support/AppFixture.h"

#include "controls/ColourPanel.h"
#include "core/WholeFile.h"
#include "windowsystem/portal/PortalScreenCast.h"
#include "windowsystem/WindowSystem.h"

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QTest>

using namespace quorix;

namespace {

// The helper answering (or waiting for) KDE's dialog while the event loop goes on.
int consent(const QString &answer)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral("/usr/bin/python3"),
            {qEnvironmentVariable("QUORIX_KDE_CONSENT"), answer, QStringLiteral("--desktop"),
             QStringLiteral("kde"), QStringLiteral("--timeout"), QStringLiteral("20")});
    QElapsedTimer clock;
    clock.start();
    while (p.state() != QProcess::NotRunning && clock.elapsed() < 25000)
        QTest::qWait(50);
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString status(const AppFixture &app)
{
    return child<QLabel>(*app.main, "statusLabel")->isHidden()
               ? QString()
               : child<QLabel>(*app.main, "statusLabel")->text();
}

} // namespace

class TestKdeQuorix : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("QUORIX_KDE_CONTROL"))
            QSKIP("runs inside tests/desktops/kde/with-kde.sh");
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    }

    // Screen Image brings KDE's own dialog; Cancel there writes nothing and says so, and
    // the next press asks again.
    void kdeDialogComesAndCancelWritesNothing()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->show();
        child<QCheckBox>(*app.main, "autoSendBox")->setChecked(true);
        for (int press = 0; press < 2; ++press) {
            app.main->selectClipboardSource();
            app.main->selectScreenSource();
            QCOMPARE(consent(QStringLiteral("cancel")), 0);
            QTRY_COMPARE_WITH_TIMEOUT(status(app),
                                      QStringLiteral("Sharing cancelled: nothing sent"), 15000);
        }
        QTest::qWait(1000);
        QVERIFY(!fileExists(app.shared() + QStringLiteral("shar.bmp")));
        QVERIFY(app.main->currentBitmap().isNull());
    }

    // KDE offers its window chooser: the picker's extra tile says so.
    void pickerOffersKdesWindowChooser()
    {
        AppFixture app;
        app.configure();
        app.main->startUp();
        app.main->show();
        QTRY_VERIFY_WITH_TIMEOUT(
            windowSystem().otherWindows() != WindowSystem::OtherWindows::Asking, 15000);
        app.main->selectWindowSource();
        auto *title = child<ColourPanel>(*app.main, "pickerPanel")
                          ->findChild<QLabel *>(QStringLiteral("otherWindowTitle"));
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Another window..."));
    }
};

QTEST_MAIN(TestKdeQuorix)
#include "tst_kde_quorix.moc"
