// The window picker's rules that need no window system: thumbnail sizes, dropped tiles,
// table entries and hint texts.
#include "capture/PickerRules.h"

#include <QTest>
#include <stdexcept>

using namespace quorix;

namespace {

WindowEntry entry(const QString &title, const QString &cls,
                  WindowInfo::Kind kind = WindowInfo::Kind::Normal)
{
    WindowEntry e;
    e.title = title;
    e.className = cls;
    e.handle = QStringLiteral("4660");
    e.pid = QStringLiteral("1234");
    e.kind = kind;
    return e;
}

} // namespace

class TestPickerRules : public QObject
{
    Q_OBJECT

  private slots:
    void thumbnailSizes_data()
    {
        QTest::addColumn<QSize>("capture");
        QTest::addColumn<QSize>("thumbnail");
        QTest::newRow("landscape 1600x1200") << QSize(1600, 1200) << QSize(120, 90);
        QTest::newRow("portrait 300x600") << QSize(300, 600) << QSize(60, 120);
        QTest::newRow("square") << QSize(640, 640) << QSize(120, 120);
        QTest::newRow("small window enlarged") << QSize(100, 50) << QSize(120, 60);
        QTest::newRow("truncates") << QSize(800, 599) << QSize(120, 89);
        QTest::newRow("very wide") << QSize(30000, 20) << QSize(120, 0);
    }

    void thumbnailSizes()
    {
        QFETCH(QSize, capture);
        QFETCH(QSize, thumbnail);
        QCOMPARE(thumbnailSize(capture), thumbnail);
    }

    void thumbnailOfNothingIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(std::domain_error, thumbnailSize(QSize(0, 10)));
    }

    void droppedTiles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("cls");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("dropped");
        const int normal = int(WindowInfo::Kind::Normal);
        QTest::newRow("ordinary") << "Report"
                                  << "ReportWindow" << normal << QSize(300, 200) << false;
        QTest::newRow("19 high") << "Report"
                                 << "ReportWindow" << normal << QSize(300, 19) << true;
        QTest::newRow("19 wide") << "Report"
                                 << "ReportWindow" << normal << QSize(19, 300) << true;
        QTest::newRow("20 x 20 stays") << "Report"
                                       << "ReportWindow" << normal << QSize(20, 20) << false;
        QTest::newRow("failed capture") << "Report"
                                        << "ReportWindow" << normal << QSize(1, 1) << true;
        QTest::newRow("desktop title") << "Program Manager"
                                       << "Progman" << normal << QSize(800, 600) << true;
        QTest::newRow("own picker") << "Quorix - Select"
                                    << "X" << normal << QSize(800, 600) << true;
        QTest::newRow("own window") << "Quorix"
                                    << "quorix" << normal << QSize(496, 348) << true;
        QTest::newRow("case counts") << "quorix"
                                     << "quorix" << normal << QSize(496, 348) << false;
        QTest::newRow("untitled taskbar") << "Empty"
                                          << "Shell_TrayWnd" << normal << QSize(800, 30) << true;
        QTest::newRow("titled taskbar class")
            << "Bar"
            << "Shell_TrayWnd" << normal << QSize(800, 30) << false;
        QTest::newRow("untitled window") << "Empty"
                                         << "Empty" << normal << QSize(300, 200) << false;
        QTest::newRow("X11 desktop")
            << "Desktop"
            << "Files" << int(WindowInfo::Kind::Desktop) << QSize(800, 600) << true;
        QTest::newRow("X11 dock") << "Panel"
                                  << "Bar" << int(WindowInfo::Kind::Dock) << QSize(800, 30) << true;
    }

    void droppedTiles()
    {
        QFETCH(QString, title);
        QFETCH(QString, cls);
        QFETCH(int, kind);
        QFETCH(QSize, size);
        QFETCH(bool, dropped);
        QCOMPARE(dropsTile(entry(title, cls, WindowInfo::Kind(kind)), size), dropped);
    }

    void hintsNameClassHandleAndProcess()
    {
        const WindowEntry e = entry(QStringLiteral("Report"), QStringLiteral("ReportWindow"));
        QCOMPARE(
            thumbnailHint(e),
            QStringLiteral("Report [Class Name: ReportWindow] * [Handle: 4660] * [PID: 1234]"));
        QCOMPARE(labelHint(e),
                 QStringLiteral("[Class Name: ReportWindow] * [Handle: 4660] * [PID: 1234]"));
        // Percent signs in outside text are not taken as placeholders.
        const WindowEntry odd = entry(QStringLiteral("50% %1"), QStringLiteral("%2"));
        QCOMPARE(labelHint(odd), QStringLiteral("[Class Name: %2] * [Handle: 4660] * [PID: 1234]"));
    }

    void entriesOfListedWindows()
    {
        WindowInfo w;
        w.id = 4660;
        w.pid = 0;
        WindowEntry e = windowEntry(w);
        QCOMPARE(e.title, QStringLiteral("Empty"));
        QCOMPARE(e.className, QStringLiteral("Empty"));
        QCOMPARE(e.handle, QStringLiteral("4660"));
        QCOMPARE(e.pid, QStringLiteral("0"));
        w.title = QString(300, QLatin1Char('t'));
        w.className = QStringLiteral("Cls");
        e = windowEntry(w);
        QCOMPARE(e.title.size(), 254);
        QCOMPARE(e.className, QStringLiteral("Cls"));
    }
};

QTEST_MAIN(TestPickerRules)
#include "tst_pickerrules.moc"
