// The sending thread: writes run in the order asked, a stale picture gives way to a newer
// one (a text never does), failures come back with their text on the owner's thread, and
// the thread finishes what was asked before it ends.
#include "core/FileError.h"
#include "exchange/SendingThread.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <QElapsedTimer>
#include <QImage>
#include <QRegularExpression>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

using namespace quorix;
using Kind = SendingThread::Kind;

namespace {

// What ran, in order, from any thread.
struct Log
{
    std::mutex mutex;
    std::vector<QString> entries;
    void add(const QString &s)
    {
        std::lock_guard lock(mutex);
        entries.push_back(s);
    }
    QStringList all()
    {
        std::lock_guard lock(mutex);
        return QStringList(entries.begin(), entries.end());
    }
};

} // namespace

class TestSendingThread : public QObject
{
    Q_OBJECT

  private slots:
    void orderKeptAndStalePicturesDropped()
    {
        Log log;
        std::atomic<bool> release{false};
        SendingThread sender;
        // The first picture is being written while the rest are asked for.
        sender.send(Kind::Picture, [&] {
            while (!release)
                QThread::msleep(1);
            log.add("picture 1");
        });
        QThread::msleep(20);
        sender.send(Kind::Text, [&] { log.add("text 1"); });
        sender.send(Kind::Picture, [&] { log.add("picture 2"); });
        sender.send(Kind::Picture, [&] { log.add("picture 3"); });
        sender.send(Kind::Text, [&] { log.add("text 2"); });
        sender.send(Kind::Text, [&] { log.add("text 3"); });
        sender.send(Kind::Other, [&] { log.add("run state"); });
        sender.send(Kind::Picture, [&] { log.add("picture 4"); });
        release = true;
        sender.flush();
        QCOMPARE(log.all(), (QStringList{"picture 1", "text 1", "picture 3", "text 2", "text 3",
                                         "run state", "picture 4"}));
        QCOMPARE(sender.dropped(), 1);
    }

    void outcomesArriveOnTheOwnersThread()
    {
        SendingThread sender;
        QSignalSpy written(&sender, &SendingThread::written);
        QSignalSpy failed(&sender, &SendingThread::failed);
        QThread *writerThread = nullptr;
        bool slotOnOwner = false;
        connect(&sender, &SendingThread::failed, this,
                [&] { slotOnOwner = QThread::currentThread() == thread(); });
        sender.send(Kind::Picture, [&] {
            writerThread = QThread::currentThread();
            throw FileError("Cannot write file \"shar.bmp\". No space left on device");
        });
        sender.send(Kind::Text, [] {});
        QTRY_COMPARE(written.size(), 1);
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.at(0).at(0).value<Kind>(), Kind::Picture);
        QCOMPARE(failed.at(0).at(1).toString(),
                 QString("Cannot write file \"shar.bmp\". No space left on device"));
        QCOMPARE(written.at(0).at(0).value<Kind>(), Kind::Text);
        QVERIFY(writerThread != thread());
        QVERIFY(slotOnOwner);
    }

    // A write the caller waits for runs after what was asked before it; its failure is
    // thrown to the caller, not signalled.
    void waitedWritesKeepTheOrderAndThrow()
    {
        Log log;
        SendingThread sender;
        QSignalSpy failed(&sender, &SendingThread::failed);
        sender.send(Kind::Picture, [&] {
            QThread::msleep(30);
            log.add("frame");
        });
        sender.sendAndWait(Kind::Text, [&] { log.add("text"); });
        QCOMPARE(log.all(), (QStringList{"frame", "text"}));
        QVERIFY_THROWS_EXCEPTION(FileError, sender.sendAndWait(Kind::Other, [] {
            throw FileError("Cannot create file \"quorixlog.cfg\". Permission denied");
        }));
        QTest::qWait(50);
        QCOMPARE(failed.size(), 0);
    }

    void endingFinishesWhatWasAsked()
    {
        Log log;
        {
            SendingThread sender;
            sender.send(Kind::Text, [&] {
                QThread::msleep(30);
                log.add("text");
            });
            sender.send(Kind::Picture, [&] { log.add("picture"); });
        }
        QCOMPARE(log.all(), (QStringList{"text", "picture"}));
    }

    // A frame's memory (a shared-memory segment of the screen grab) goes back when its
    // write is done: once flush() returns, nothing of the last write is left.
    void flushReturnsOnceTheLastWriteIsGone()
    {
        static std::atomic<bool> released{false};
        released = false;
        static uchar pixels[4 * 4 * 4];
        SendingThread sender;
        {
            // Given back slowly, as a segment detached from the server would be.
            const QImage frame(
                pixels, 4, 4, 16, QImage::Format_RGB32,
                [](void *) {
                    QThread::msleep(100);
                    released = true;
                },
                nullptr);
            sender.send(Kind::Picture, [frame] { (void)frame.constBits(); });
        }
        sender.flush();
        QVERIFY(released);
    }

    // A share that never answers (a hard mount whose server is gone) holds a write for good:
    // ending gives up on it within 3 s and says on stderr what was not written.
    void endingGivesUpOnAWriteThatHangs()
    {
        auto hold = std::make_shared<std::atomic<bool>>(true);
        QElapsedTimer clock;
        {
            SendingThread sender;
            sender.send(Kind::Picture, [hold] {
                while (*hold)
                    QThread::msleep(5);
            });
            sender.send(Kind::Text, [] {});
            QThread::msleep(20);
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression("not written: the picture, the text"));
            clock.start();
        }
        const qint64 ended = clock.elapsed();
        *hold = false; // the write given up on ends by itself, touching nothing of the sender
        QVERIFY2(ended < 3000, qPrintable(QString::number(ended)));
        QThread::msleep(50);
    }
};

QTEST_GUILESS_MAIN(TestSendingThread)
#include "tst_sendingthread.moc"
