#include "controls/TTimer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace quorix;

class TestTimer : public QObject
{
    Q_OBJECT

private slots:
    void intervalZeroNeverFires()
    {
        TTimer t(nullptr, 0);
        QSignalSpy spy(&t, &TTimer::OnTimer);
        t.setEnabled(true);
        QVERIFY(t.enabled());
        QVERIFY(!t.isTicking());
        QTest::qWait(60);
        QCOMPARE(spy.count(), 0);
    }

    void firesWhileEnabled()
    {
        TTimer t(nullptr, 20);
        QSignalSpy spy(&t, &TTimer::OnTimer);
        t.setEnabled(true);
        QTRY_VERIFY(spy.count() >= 2);
        t.setEnabled(false);
        const int seen = spy.count();
        QTest::qWait(60);
        QCOMPARE(spy.count(), seen);
    }

    void sameIntervalDoesNotRestartNewOneDoes()
    {
        TTimer t(nullptr, 200);
        QSignalSpy spy(&t, &TTimer::OnTimer);
        t.setEnabled(true);
        QTest::qWait(120);
        t.setInterval(200); // unchanged: the count goes on
        t.setEnabled(true); // already running: the count goes on
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 150);

        QTest::qWait(120);
        t.setInterval(201); // changed: the count starts again
        QTest::qWait(150);
        QCOMPARE(spy.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 200);
    }
};

QTEST_GUILESS_MAIN(TestTimer)
#include "tst_timer.moc"
