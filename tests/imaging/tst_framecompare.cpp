// Frames compared outside the presenter's own window: a difference inside it does not
// count, one pixel beside it does, at every edge of the window and where windows overlap.
#include "imaging/FrameCompare.h"

#include <QTest>

using namespace quorix;

class TestFrameCompare : public QObject
{
    Q_OBJECT

  private slots:
    void differencesOutsideTheWindowsCount_data()
    {
        QTest::addColumn<QPoint>("changed");
        QTest::addColumn<bool>("same");
        // Own windows: (10,10)-(29,19) and, overlapping it, (25,15)-(39,24).
        QTest::newRow("inside the first") << QPoint(10, 10) << true;
        QTest::newRow("its last pixel") << QPoint(29, 19) << true;
        QTest::newRow("inside the overlap") << QPoint(27, 17) << true;
        QTest::newRow("inside the second only") << QPoint(39, 24) << true;
        QTest::newRow("left of the first") << QPoint(9, 12) << false;
        QTest::newRow("right of the second") << QPoint(40, 20) << false;
        QTest::newRow("below the first, beside the second") << QPoint(12, 20) << false;
        QTest::newRow("above") << QPoint(30, 9) << false;
        QTest::newRow("the frame's last pixel") << QPoint(63, 31) << false;
    }
    void differencesOutsideTheWindowsCount()
    {
        QFETCH(QPoint, changed);
        QFETCH(bool, same);
        QImage a(64, 32, QImage::Format_RGB32);
        a.fill(Qt::white);
        QImage b = a.copy();
        b.setPixel(changed, qRgb(1, 2, 3));
        const std::vector<QRect> own{QRect(10, 10, 20, 10), QRect(25, 15, 15, 10)};
        QCOMPARE(sameOutside(a, b, own), same);
        QCOMPARE(sameOutside(a, b, {}), false);
    }

    void windowsOffTheFrameAndOtherSizes()
    {
        QImage a(16, 8, QImage::Format_RGB32);
        a.fill(Qt::black);
        QImage b = a.copy();
        b.setPixel(15, 7, qRgb(9, 9, 9));
        QVERIFY(sameOutside(a, b, {QRect(12, 4, 100, 100)})); // reaches past the frame
        QVERIFY(!sameOutside(a, b, {QRect(-50, -50, 10, 10)}));
        QVERIFY(!sameOutside(a, a.scaled(16, 9), {}));
        QVERIFY(!sameOutside(a, QImage(), {}));
        QVERIFY(sameOutside(a, a, {}));
    }
};

QTEST_GUILESS_MAIN(TestFrameCompare)
#include "tst_framecompare.moc"
