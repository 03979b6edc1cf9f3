#include "controls/RestartOnChangeTimer.h"

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
        RestartOnChangeTimer t(nullptr, 0);
        QSignalSpy spy(&t, &RestartOnChangeTimer::timeout);
        t.setEnabled(true);
        QVERIFY(t.enabled());
        QVERIFY(!t.isTicking());
        QTest::qWait(60);
        QCOMPARE(spy.count(), 0);
    }

    void firesWhileEnabled()
    {
        RestartOnChangeTimer t(nullptr, 20);
        QSignalSpy spy(&t, &RestartOnChangeTimer::timeout);
        t.setEnabled(true);
        QTRY_VERIFY(spy.count() >= 2);
        t.setEnabled(false);
        const int seen = spy.count();
        QTest::qWait(60);
        QCOMPARE(spy.count(), seen);
    }

    void sameIntervalDoesNotRestartNewOneDoes()
    {
        // Timer delays only make ticks late, so each check is one-sided: a restart that
        // should not happen makes the first tick late, one that should makes the second.
        RestartOnChangeTimer t(nullptr, 600);
        QElapsedTimer clock;
        QList<qint64> ticks;
        connect(&t, &RestartOnChangeTimer::timeout, this, [&] { ticks << clock.elapsed(); });
        clock.start();
        t.setEnabled(true);
        QTest::qWait(300);
        t.setInterval(600); // unchanged: the count goes on
        t.setEnabled(true); // already running: the count goes on
        QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 1, 2000);
        QVERIFY2(ticks[0] < 800, "an unchanged interval restarted the count");

        QTest::qWait(300);
        t.setInterval(601); // changed: the count starts again
        QTRY_COMPARE_WITH_TIMEOUT(ticks.size(), 2, 2000);
        QVERIFY2(ticks[1] - ticks[0] > 750, "a new interval did not restart the count");
    }
};

QTEST_GUILESS_MAIN(TestTimer)
#include "tst_timer.moc"
