// The viewer as a native Wayland client inside the private sway session, watched through
// the compositor's own screenshots (grim): a sent picture fills the screen, a new one
// replaces it, and the scroll text runs along the bottom.
#include "core/LineFile.h"
#include "imaging/BmpFile.h"
#include "support/TestPictures.h"

#include "support/WaylandSession.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace quorix;

using namespace quorix::test;

namespace {

constexpr int kWait = kSessionWait;

QRgb pixel(QPoint at)
{
    const QImage shot = screenshot();
    return shot.valid(at) ? shot.pixel(at) : 0;
}

} // namespace

class TestWaylandViewer : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QTemporaryDir shared;
    QProcess viewer;

    void settings(bool fullScreen, bool scroll, const QString &text = {})
    {
        writeLineFile(
            shared.filePath(QStringLiteral("quorix.cfg")),
            {shared.filePath(QStringLiteral("shar.bmp")), QStringLiteral("0"), QStringLiteral("1"),
             QStringLiteral("1"), fullScreen ? QStringLiteral("1") : QStringLiteral("0"),
             scroll ? QStringLiteral("1") : QStringLiteral("0"), text, QStringLiteral("0")});
    }

  private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("QUORIX_WAYLAND_BIN"))
            QSKIP("runs inside tests/desktops/sway/with-sway.sh");
        settings(true, false);
        writeLineFile(shared.filePath(QStringLiteral("quorixlog.cfg")), {QStringLiteral("Run")});
        writeBmpFile(shared.filePath(QStringLiteral("shar.bmp")),
                     filled(Qt::blue, QSize(1280, 720)));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        // Natively on Wayland, as it starts on a Wayland desktop with the plugin installed.
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        viewer.setProcessEnvironment(env);
        viewer.setProcessChannelMode(QProcess::ForwardedChannels);
        viewer.start(QDir(qEnvironmentVariable("QUORIX_WAYLAND_BIN"))
                         .filePath(QStringLiteral("quorix-view")),
                     {shared.path()});
        QVERIFY(viewer.waitForStarted());
    }

    void cleanupTestCase()
    {
        viewer.kill();
        viewer.waitForFinished();
    }

    void runsAsANativeWaylandClient()
    {
        QByteArray tree;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QProcess swaymsg;
                swaymsg.start(QStringLiteral("swaymsg"),
                              {QStringLiteral("-t"), QStringLiteral("get_tree")});
                swaymsg.waitForFinished(5000);
                tree = swaymsg.readAllStandardOutput();
                return tree.contains("\"pid\": " + QByteArray::number(viewer.processId()));
            }(),
            kWait);
        // Its window is an xdg-shell surface, not an XWayland one.
        const qsizetype at = tree.indexOf("\"pid\": " + QByteArray::number(viewer.processId()));
        const qsizetype start = tree.lastIndexOf("{", at);
        const QByteArray node = tree.mid(start, tree.indexOf("\"pid\"", at + 1) - start);
        QVERIFY2(node.contains("\"shell\": \"xdg_shell\""), node.constData());
    }

    void sentPictureFillsTheScreenAndIsReplaced()
    {
        // Full screen: the corners show the picture, with no title bar above it.
        QTRY_COMPARE_WITH_TIMEOUT(pixel(QPoint(640, 360)), qRgb(0, 0, 255), kWait);
        QCOMPARE(pixel(QPoint(2, 2)), qRgb(0, 0, 255));
        QCOMPARE(pixel(QPoint(1277, 717)), qRgb(0, 0, 255));
        writeBmpFile(shared.filePath(QStringLiteral("shar.bmp")),
                     filled(Qt::red, QSize(1280, 720)));
        QTRY_COMPARE_WITH_TIMEOUT(pixel(QPoint(640, 360)), qRgb(255, 0, 0), kWait);
    }

    void scrollTextRunsAlongTheBottom()
    {
        settings(true, true, QStringLiteral("Welcome to room 4"));
        QTRY_VERIFY_WITH_TIMEOUT(pixel(QPoint(640, 716)) != qRgb(255, 0, 0) ||
                                     pixel(QPoint(100, 716)) != qRgb(255, 0, 0),
                                 kWait);
        QCOMPARE(pixel(QPoint(640, 300)), qRgb(255, 0, 0));
        const QImage shot = screenshot();
        QVERIFY(shot.save(QDir(qEnvironmentVariable("QUORIX_WAYLAND_CONTROL"))
                              .filePath(QStringLiteral("viewer.png"))));
    }
};

QTEST_MAIN(TestWaylandViewer)
#include "tst_wayland_viewer.moc"
