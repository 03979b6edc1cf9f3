// The real viewer program under Xvfb with openbox, watched by its pixels: the waiting
// screen, a picture sent with the project's writers, torn and broken files that leave the
// last picture on screen, a text written after the picture, the folder going away and
// coming back, Quorix's compact pictures beside bitmaps from another presenter program,
// full screen and a sizeable window following quorix.cfg, the scroll text, Esc, closing,
// and the folder remembered for the next start. The shared folder holds
// afterwards only what the test wrote.
#include "core/LineFile.h"
#include "core/WholeFile.h"
#include "exchange/CompactPicture.h"
#include "exchange/ExchangeProtocol.h"
#include "exchange/FolderWatch.h"
#include "exchange/PictureChoice.h"
#include "imaging/BmpFile.h"
#include "presenter/SharedState.h"
#include "rtf/RichTextFile.h"
#include "view/WaitingScreen.h"

#include "support/OutsideWindow.h"
#include "support/TestPictures.h"

#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <cstdio>

using namespace quorix;
using quorix::test::toolOutput;
using quorix::test::xdotool;

namespace {

// A picture of one colour the size of the viewer's screen.
QImage filledScreen(QColor colour)
{
    return filled(colour, QGuiApplication::primaryScreen()->geometry().size());
}

} // namespace

class TestX11Viewer : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QTemporaryDir parent;
    QString shared;
    QProcess viewer;
    QString window;

    void settings(bool fullScreen, bool scroll = false, const QString &text = {})
    {
        writeLineFile(shared + "/quorix.cfg",
                      {shared + "/shar.bmp", "0", "1", "1", fullScreen ? "1" : "0",
                       scroll ? "1" : "0", text, "0"});
    }

    void start(const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        viewer.setProcessEnvironment(env);
        viewer.setProcessChannelMode(QProcess::ForwardedChannels);
        viewer.start(QUORIX_VIEW_BINARY, args);
        QVERIFY(viewer.waitForStarted(5000));
        window.clear();
        for (int i = 0; i < 400 && window.isEmpty(); ++i) {
            window =
                xdotool({"search", "--onlyvisible", "--name", "^Quorix View$"}).section('\n', 0, 0);
            if (window.isEmpty())
                QTest::qWait(50);
        }
        QVERIFY2(!window.isEmpty(), "the viewer's window did not appear");
    }

    QRect geometry() { return quorix::test::windowGeometry(window); }

    bool isFullScreen()
    {
        return toolOutput("xprop", {"-id", window, "_NET_WM_STATE"})
            .contains("_NET_WM_STATE_FULLSCREEN");
    }

    static QRgb pixel(QPoint at)
    {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, at.x(), at.y(), 1, 1)
            .toImage()
            .pixel(0, 0);
    }

  private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        shared = parent.filePath("share");
        QVERIFY(QDir().mkdir(shared));
    }

    void cleanupTestCase()
    {
        if (viewer.state() != QProcess::NotRunning) {
            viewer.kill();
            viewer.waitForFinished(5000);
        }
    }

    void waitsThenShowsWhatIsSent()
    {
        settings(true);
        start({shared});
        QTRY_VERIFY(isFullScreen());
        QTRY_COMPARE(geometry(), QGuiApplication::primaryScreen()->geometry());
        const QPoint spot(100, 100);
        QTRY_COMPARE(pixel(spot), WaitingScreen::background().rgb());

        // A picture without "Run" is not shown yet.
        writeBmpFile(shared + "/shar.bmp", filledScreen(Qt::red));
        QTest::qWait(300);
        QCOMPARE(pixel(spot), WaitingScreen::background().rgb());
        writeLineFile(shared + "/quorixlog.cfg", {"Run"});
        QTRY_COMPARE(pixel(spot), qRgb(255, 0, 0));
    }

    void tornAndBrokenFilesKeepTheLastPicture()
    {
        const QPoint spot(100, 100);
        const QByteArray blue = encodeBmp(filledScreen(Qt::blue));
        writeWholeFile(shared + "/shar.bmp", blue.left(blue.size() / 2));
        QTest::qWait(400);
        QCOMPARE(pixel(spot), qRgb(255, 0, 0));
        writeWholeFile(shared + "/shar.bmp", blue);
        QTRY_COMPARE(pixel(spot), qRgb(0, 0, 255));

        writeWholeFile(shared + "/shar.bmp", QByteArray(blue.size(), 'x'));
        QTest::qWait(400);
        QCOMPARE(pixel(spot), qRgb(0, 0, 255));
        QVERIFY(QFile::remove(shared + "/shar.bmp"));
        QVERIFY(QDir(shared).mkdir(kBitmapName)); // a folder in its place
        QTest::qWait(400);
        QCOMPARE(pixel(spot), qRgb(0, 0, 255));
        QVERIFY(QDir(shared).rmdir(kBitmapName));
    }

    // Whichever was written last: a text after the picture, then a picture again.
    void textAndPictureTakeTurns()
    {
        const QPoint empty(800, 600); // below and beside the text
        QTextDocument text;
        text.setHtml("<p style='font-size:24pt'>Hello room</p>");
        saveRichTextFile(text, shared + "/shar.rtf");
        QTRY_COMPARE(pixel(empty), qRgb(255, 255, 255));
        writeBmpFile(shared + "/shar.bmp", filledScreen(Qt::green));
        QTRY_COMPARE(pixel(empty), qRgb(0, 255, 0));
    }

    void folderGoesAwayAndComesBack()
    {
        const QPoint spot = QGuiApplication::primaryScreen()->geometry().center();
        QVERIFY(QDir(parent.path()).rename("share", "away"));
        QTest::qWait(600);
        QCOMPARE(pixel(spot), qRgb(0, 255, 0));            // still the last picture
        QVERIFY(pixel(QPoint(12, 12)) != qRgb(0, 255, 0)); // the status line
        // An unmounted share leaves its empty mount point: no files, still the picture.
        QVERIFY(QDir().mkdir(shared));
        QTest::qWait(600);
        QCOMPARE(pixel(spot), qRgb(0, 255, 0));
        QVERIFY(QDir().rmdir(shared));
        QVERIFY(QDir(parent.path()).rename("away", "share"));
        writeBmpFile(shared + "/shar.bmp", filledScreen(Qt::red));
        QTRY_COMPARE(pixel(spot), qRgb(255, 0, 0));
        QTRY_COMPARE(pixel(QPoint(12, 12)), qRgb(255, 0, 0)); // status gone
    }

    // Quorix's pictures as the real viewer shows them: the compact picture of each frame,
    // a bitmap that another presenter program writes afterwards, and not a compact
    // picture older than that bitmap.
    void compactPicturesAndBitmapsInTurn()
    {
        const QPoint spot = QGuiApplication::primaryScreen()->geometry().center();
        SharedState presenter;
        presenter.setSharedFolder(shared + "/");
        presenter.sendBitmap(filledScreen(Qt::cyan));
        QTRY_COMPARE(pixel(spot), qRgb(0, 255, 255));
        writeBmpFile(shared + "/shar.bmp", filledScreen(Qt::blue));
        QTRY_COMPARE(pixel(spot), qRgb(0, 0, 255));
        // A compact picture an hour old, put in place whole.
        const QString old = shared + "/old.png";
        writeWholeFile(old, encodeCompactPicture(filledScreen(Qt::yellow)));
        QFile png(old);
        QVERIFY(png.open(QIODevice::ReadWrite));
        QVERIFY(png.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                QFileDevice::FileModificationTime));
        png.close();
        QCOMPARE(std::rename(QFile::encodeName(old).constData(),
                             QFile::encodeName(shared + "/shar.png").constData()),
                 0);
        QTest::qWait(3 * FolderWatch::kPollMs);
        QCOMPARE(pixel(spot), qRgb(0, 0, 255));
        presenter.sendBitmap(filledScreen(Qt::green));
        QTRY_COMPARE(pixel(spot), qRgb(0, 255, 0));
    }

    void sizeableWindowFitsThePictureAndRunsTheScrollText()
    {
        settings(false, true, "Welcome to room 4");
        writeBmpFile(shared + "/shar.bmp", filled(Qt::yellow, QSize(640, 480)));
        QTRY_VERIFY(!isFullScreen());
        QTRY_COMPARE(geometry().size(), QSize(640, 480));
        const QRect g = geometry();
        QTRY_COMPARE(pixel(g.topLeft() + QPoint(20, 20)), qRgb(255, 255, 0));
        // The scroll band along the bottom edge, over the picture.
        QTRY_VERIFY(pixel(g.bottomLeft() + QPoint(5, -3)) != qRgb(255, 255, 0));
        QVERIFY(pixel(g.bottomLeft() + QPoint(5, -60)) == qRgb(255, 255, 0));
    }

    void escLeavesFullScreenAndTheWindowCloses()
    {
        settings(true);
        QTRY_VERIFY(isFullScreen());
        xdotool({"windowactivate", "--sync", window});
        xdotool({"key", "--window", window, "Escape"});
        QTRY_VERIFY(!isFullScreen());
        xdotool({"key", "--window", window, "ctrl+q"});
        QVERIFY(viewer.waitForFinished(5000));
        // The window went with the press: its keys' release reached no window, and the
        // server would repeat Ctrl+Q into the next viewer that takes the focus.
        xdotool({"keyup", "ctrl+q"});
        QCOMPARE(viewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(viewer.exitCode(), 0);
        QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({"quorix.cfg", "quorixlog.cfg", "shar.bmp", "shar.png", "shar.rtf"}));
    }

    // The next start without a folder watches the same one.
    void remembersTheFolder()
    {
        writeBmpFile(shared + "/shar.bmp", filledScreen(Qt::magenta));
        start({});
        QTRY_COMPARE(pixel(QPoint(100, 100)), qRgb(255, 0, 255));
        QVERIFY(QFile::exists(home.filePath("config/Ombrak/QuorixView.conf")));
        viewer.terminate();
        QVERIFY(viewer.waitForFinished(5000));
    }
};

QTEST_MAIN(TestX11Viewer)
#include "tst_x11_viewer.moc"
