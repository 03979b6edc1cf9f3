// Quorix's writer and the viewer's reader through a real SMB share: smbd on 127.0.0.1,
// mounted twice through smbnetfs, the presenter writing through one mount and the viewers
// reading through the other, as in a room. The viewer follows within a second, never
// shows a picture made of two frames or cut short, and keeps its last picture while the
// server is away, then carries on when it is back.
#include "core/FileError.h"
#include "exchange/CompactPicture.h"
#include "exchange/ExchangeFiles.h"
#include "exchange/ExchangeReader.h"
#include "exchange/FolderWatch.h"
#include "presenter/SharedState.h"

#include "helpers/SambaShare.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

using namespace quorix;
using quorix::test::SambaShare;

namespace {

// A 1920 x 1080 frame whose every pixel carries its number in the red channel, over a
// screen-like mix of flat areas and noise.
QImage frame(int number)
{
    QImage image(1920, 1080, QImage::Format_RGB32);
    QRandomGenerator random{quint32(number)};
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = (x / 64 + y / 64) % 4 == 0
                         ? qRgb(number, int(random.bounded(256)), int(random.bounded(256)))
                         : qRgb(number, 200, 220);
    }
    return image;
}

// The frame number every sampled pixel agrees on, or -1 for a picture mixed from several.
int frameOf(const QImage &image)
{
    if (image.size() != QSize(1920, 1080))
        return -1;
    const int number = qRed(image.pixel(0, 0));
    for (int y = 0; y < image.height(); y += 3)
        for (int x = y % 7; x < image.width(); x += 61)
            if (qRed(image.pixel(x, y)) != number)
                return -1;
    return number;
}

} // namespace

class TestSmbShare : public QObject
{
    Q_OBJECT

    std::unique_ptr<SambaShare> share;

    QString writerFolder() const { return share->mounted(0) + "/"; }
    QString viewerFolder() const { return share->mounted(1); }

  private slots:
    void initTestCase()
    {
        share = std::make_unique<SambaShare>(2);
        if (!share->problem().isEmpty())
            QSKIP(qPrintable("no SMB share on this machine: " + share->problem()));
    }

    void cleanupTestCase() { share.reset(); }

    void viewerFollowsWithinASecond()
    {
        SharedState presenter;
        presenter.setSharedFolder(writerFolder());
        FolderWatch watch(viewerFolder());
        ExchangeReader reader(watch);
        int shown = -1;
        connect(&reader, &ExchangeReader::pictureRead, this,
                [&](const QImage &image) { shown = frameOf(image); });
        watch.start();
        QElapsedTimer clock;
        for (int n = 1; n <= 6; ++n) {
            clock.start();
            QCOMPARE(presenter.sendBitmap(frame(n)), Sent::Written);
            const qint64 written = clock.elapsed();
            QTRY_COMPARE_WITH_TIMEOUT(shown, n, 1000);
            qInfo("frame %d: written through the share in %lld ms, shown %lld ms later", n, written,
                  clock.elapsed() - written);
        }
        // The first frame's bitmap may be read before any compact picture exists; after
        // that the viewer reads the compact pictures alone.
        QVERIFY2(reader.reads(FolderWatch::Picture) <= 1,
                 qPrintable(QString::number(reader.reads(FolderWatch::Picture))));
    }

    // The presenter writes frame after frame while one viewer follows the compact
    // pictures and another reads shar.bmp as fast as it can, as an older viewer would.
    void neverAMixedOrShortPicture()
    {
        constexpr int frames = 16;
        std::atomic<bool> done{false};
        std::atomic<int> failures{0};
        const QString folder = writerFolder();
        std::thread writer([&] {
            SharedState presenter;
            presenter.setSharedFolder(folder);
            for (int n = 20; n < 20 + frames; ++n) {
                try {
                    presenter.sendBitmap(frame(n));
                } catch (const FileError &) {
                    ++failures;
                }
            }
            done = true;
        });

        FolderWatch watch(viewerFolder());
        ExchangeReader reader(watch);
        QList<int> shown;
        connect(&reader, &ExchangeReader::pictureRead, this,
                [&](const QImage &image) { shown << frameOf(image); });
        watch.start();
        int bitmapsWhole = 0, bitmapsTorn = 0;
        while (!done) {
            const PictureFile bitmap = readPictureFile(viewerFolder() + "/shar.bmp");
            if (bitmap.result == ReadResult::Ok) {
                ++bitmapsWhole;
                QVERIFY2(frameOf(bitmap.image) >= 0, "a bitmap made of two frames was read");
            } else if (bitmap.result == ReadResult::Torn) {
                ++bitmapsTorn;
            }
            QTest::qWait(20);
        }
        writer.join();
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty() && shown.last() == 20 + frames - 1, 2000);
        qInfo("compact pictures shown: %lld of %d; bitmaps read whole %d, met cut short %d",
              qsizetype(shown.size()), frames, bitmapsWhole, bitmapsTorn);
        QCOMPARE(failures.load(), 0);
        for (int i = 0; i < shown.size(); ++i) {
            QVERIFY2(shown[i] >= 0, "a picture made of two frames was shown");
            if (i > 0)
                QVERIFY2(shown[i] > shown[i - 1], "an older frame was shown after a newer one");
        }
    }

    void shareGoesAwayAndComesBack()
    {
        SharedState presenter;
        presenter.setSharedFolder(writerFolder());
        FolderWatch watch(viewerFolder());
        ExchangeReader reader(watch);
        QList<int> shown;
        connect(&reader, &ExchangeReader::pictureRead, this,
                [&](const QImage &image) { shown << frameOf(image); });
        watch.start();
        presenter.sendBitmap(frame(40));
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty() && shown.last() == 40, 2000);
        const qsizetype before = shown.size();

        share->stopServer();
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(FileError, presenter.sendBitmap(frame(41)));
        qInfo("a send while the server is away fails after %lld ms", clock.elapsed());
        QTest::qWait(1500);
        QCOMPARE(shown.size(), before); // the last picture stays; nothing else is shown

        QVERIFY(share->startServer());
        // The presenter tries again at every tick, as automatic sending does.
        clock.start();
        bool sent = false;
        while (!sent && clock.elapsed() < 30000) {
            try {
                sent = presenter.sendBitmap(frame(42)) == Sent::Written;
            } catch (const FileError &) {
                QTest::qWait(500);
            }
        }
        QVERIFY2(sent, "the share did not take a picture again within 30 s");
        qInfo("sending works again %lld ms after the server is back", clock.elapsed());
        QTRY_VERIFY_WITH_TIMEOUT(shown.last() == 42, 5000);
        for (qsizetype i = before; i < shown.size(); ++i)
            QCOMPARE(shown[i], 42);
    }
};

QTEST_GUILESS_MAIN(TestSmbShare)
#include "tst_smb_share.moc"
