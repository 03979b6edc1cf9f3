// The viewer settings as the presenter's Options dialog writes them, and where a picture
// goes on the viewer's screen for each combination of stretch, centre, auto size and full
// screen.
#include "exchange/ExchangeFiles.h"
#include "exchange/ViewerSettings.h"
#include "view/PictureLayout.h"

#include <QTest>

using namespace quorix;

class TestViewerSettings : public QObject
{
    Q_OBJECT

  private slots:
    void parsing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<bool>("scrollVisible");
        QTest::addColumn<QString>("scrollText");
        QTest::addColumn<bool>("dialogBorder");

        QTest::newRow("as written") << QByteArray("/s/shar.bmp\r\n0\r\n1\r\n1\r\n1\r\n1\r\n"
                                                  "Welcome to room 4\r\n0\r\n")
                                    << true << true << true << "Welcome to room 4" << false;
        QTest::newRow("empty scroll text keeps line 7")
            << QByteArray("x\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n1\r\n") << true << false << false << ""
            << true;
        QTest::newRow("last line without CR LF, LF only")
            << QByteArray("x\n1\n1\n1\n1\n0\n  spaced text \n0") << true << true << false
            << "  spaced text " << false;
        QTest::newRow("cut short after line 4")
            << QByteArray("x\r\n0\r\n0\r\n0\r\n1\r\n") << false << true << false << "" << false;
        QTest::newRow("empty file") << QByteArray() << false << false << false << "" << false;
        QTest::newRow("not numbers") << QByteArray("x\r\nyes\r\n\r\nno\r\n 1 \r\n2\r\nt\r\n-1\r\n")
                                     << true << true << true << "t" << true;
    }

    void parsing()
    {
        QFETCH(QByteArray, file);
        const SettingsBytes parsed = parseSettingsFile(file);
        QTEST(parsed.result == ReadResult::Ok, "complete");
        QTEST(parsed.settings.fullScreen, "fullScreen");
        QTEST(parsed.settings.scrollVisible, "scrollVisible");
        QTEST(parsed.settings.scrollText, "scrollText");
        QTEST(parsed.settings.dialogBorder, "dialogBorder");
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QString>("switches"); // s stretch, c centre, a auto size, f full
        QTest::addColumn<QRect>("expected");

        const QSize wide(800, 400);
        // The area is 1000 x 600 throughout.
        QTest::newRow("stretch ignores proportions") << wide << "sca" << QRect(0, 0, 1000, 600);
        QTest::newRow("own size, top left") << wide << "" << QRect(0, 0, 800, 400);
        QTest::newRow("own size, centred") << wide << "c" << QRect(100, 100, 800, 400);
        QTest::newRow("full screen auto size fits up") << wide << "caf" << QRect(0, 50, 1000, 500);
        QTest::newRow("full screen without auto size") << wide << "cf" << QRect(100, 100, 800, 400);
        QTest::newRow("window auto size keeps a fitting picture")
            << wide << "ca" << QRect(100, 100, 800, 400);
        QTest::newRow("window auto size shrinks a large one")
            << QSize(3000, 1000) << "a" << QRect(0, 0, 1000, 333);
        QTest::newRow("too large, no auto size: cut, centred")
            << QSize(1200, 800) << "c" << QRect(-100, -100, 1200, 800);
        QTest::newRow("tall picture fits by height")
            << QSize(300, 1200) << "caf" << QRect(425, 0, 150, 600);
        QTest::newRow("no picture") << QSize() << "sf" << QRect();
    }

    void layout()
    {
        QFETCH(QSize, picture);
        QFETCH(QString, switches);
        ViewerSettings s;
        s.stretch = switches.contains('s');
        s.center = switches.contains('c');
        s.autoSize = switches.contains('a');
        QTEST(pictureRect(picture, QSize(1000, 600), s, switches.contains('f')), "expected");
    }
};

QTEST_APPLESS_MAIN(TestViewerSettings)
#include "tst_viewersettings.moc"
