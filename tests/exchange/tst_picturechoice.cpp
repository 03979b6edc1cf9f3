// The viewer's choice between the compact picture and shar.bmp, with the real folder watch
// and reader on real files: for every order in which the two files can be written and
// seen, what is shown is the newest picture written, never an older one, never half of
// one; shar.bmp is not read when it is the bitmap a compact picture promised, and another
// program's shar.bmp is shown.
#include "core/WholeFile.h"
#include "exchange/CompactPicture.h"
#include "exchange/ExchangeProtocol.h"
#include "exchange/ExchangeReader.h"
#include "exchange/FolderWatch.h"
#include "exchange/PictureChoice.h"
#include "imaging/BmpFile.h"
#include "presenter/SharedState.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace quorix;

namespace {

QColor colourNamed(const QString &name)
{
    return QColor(name);
}

QImage picture(const QString &colour, QSize size = QSize(48, 20))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colourNamed(colour));
    return image;
}

constexpr quint64 kRun = 0x5eed;

// Whole seconds from a fixed base: what a share that keeps only seconds gives.
void setSecond(const QString &path, int second)
{
    const timespec times[2] = {{1'700'000'000 + second, 0}, {1'700'000'000 + second, 0}};
    QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0);
}

} // namespace

class TestPictureChoice : public QObject
{
    Q_OBJECT

  private slots:
    // Steps, separated by ";":
    //   "P colour [second]"  the compact picture as Quorix writes it: tagged with the next
    //                        frame's number, promising a bitmap (renamed into place)
    //   "B colour [second]"  shar.bmp written whole (its time set to that second)
    //   "b colour"           shar.bmp cut short: a write in progress
    //   "X colour"           another program's shar.bmp, of another size
    //   "Q colour"           the compact picture promising no bitmap (only Quorix viewers)
    //   "F colour N"         the compact picture of frame N of the same run
    //   "C colour [second]"  a compact picture without a tag (a PNG from elsewhere)
    //   "start"              the viewer starts; "look" it looks at the folder
    //   "wait"               longer than a promise holds other bitmaps back
    // Nothing is seen between two steps but at "start", "look" and "wait".
    void newestPictureIsShown_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("bitmapRead");

        QTest::newRow("a frame as Quorix writes it")
            << "P red; B red; start" << QStringList{"red"} << false;
        QTest::newRow("seen between the two files")
            << "P red; start; B red; look" << QStringList{"red"} << false;
        QTest::newRow("its bitmap seen while it is written")
            << "P red; start; b red; look; B red; look" << QStringList{"red"} << false;
        QTest::newRow("the next frame seen file by file")
            << "P red; B red; start; P green; look; b green; look; B green; look"
            << QStringList{"red", "green"} << false;
        QTest::newRow("the next frame seen at once")
            << "P red; B red; start; P green; B green; look" << QStringList{"red", "green"}
            << false;
        QTest::newRow("an old bitmap seen with the next compact picture")
            << "P red; start; B red; P green; look; B green; look" << QStringList{"red", "green"}
            << false;
        QTest::newRow("another program's bitmap after a frame")
            << "P red; B red; start; X blue; look" << QStringList{"red", "blue"} << true;
        QTest::newRow("another program's bitmap of the same size after a frame")
            << "P red; B red; start; B blue; look" << QStringList{"red", "blue"} << true;
        QTest::newRow("another program's bitmap of the promised size, there at the start")
            << "P red; B blue; start" << QStringList{"blue"} << true;
        QTest::newRow("another program's bitmap where the promised one never came")
            << "P red; start; X blue; look; wait" << QStringList{"red", "blue"} << true;
        QTest::newRow("Quorix again after another program's bitmap")
            << "P red; B red; start; X blue; look; P green; look; B green; look"
            << QStringList{"red", "blue", "green"} << true;
        QTest::newRow("only Quorix viewers: compact pictures alone")
            << "Q red; start; Q green; look" << QStringList{"red", "green"} << false;
        QTest::newRow("only Quorix viewers: a bitmap after them is another program's")
            << "Q red; start; B blue; look" << QStringList{"red", "blue"} << true;
        QTest::newRow("a compact picture of an older frame, and its bitmap")
            << "F red 5; B red; start; F green 3; look; B green; look" << QStringList{"red"}
            << false;
        QTest::newRow("the frame on screen met again with a new stamp")
            << "F red 5; B red; start; F red 5; look" << QStringList{"red"} << false;
        QTest::newRow("a bitmap alone, from another program, shown at once")
            << "B blue; start" << QStringList{"blue"} << true;
        QTest::newRow("an untagged compact picture older than the bitmap")
            << "C red 1; B blue 9; start" << QStringList{"blue"} << true;
        QTest::newRow("a bitmap older than an untagged compact picture")
            << "B blue 1; C red 9; start" << QStringList{"red"} << false;
        QTest::newRow("both in the same second, seen together")
            << "B blue 5; C red 5; start" << QStringList{"red"} << false;
        QTest::newRow("another program's bitmap later in the same second")
            << "C red 5; start; B blue 5; look" << QStringList{"red", "blue"} << true;
    }
    void newestPictureIsShown()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, shown);
        QFETCH(bool, bitmapRead);

        QTemporaryDir dir;
        const QString bitmap = dir.filePath(kBitmapName);
        const QString compact = dir.filePath(kCompactPictureName);
        FolderWatch watch(dir.path());
        ExchangeReader reader(watch);
        QStringList seen;
        connect(&reader, &ExchangeReader::pictureRead, this,
                [&](const QImage &image) { seen << QColor(image.pixel(3, 3)).name(); });
        quint64 frame = 10;
        auto writeCompact = [&](const QString &colour, FrameTag tag) {
            replaceWholeFile(compact, encodeCompactPicture(picture(colour), RowFilter::Up, tag));
        };
        for (const QString &step : steps.split(';')) {
            const QStringList w = step.simplified().split(' ');
            const qint64 bmpBytes = encodeBmp(picture(w.value(1))).size();
            if (w[0] == "start") {
                watch.start();
            } else if (w[0] == "look") {
                watch.look();
            } else if (w[0] == "wait") {
                QTest::qWait(int(PictureChoice::kPairGiveUpMs) + 300);
                watch.look();
            } else if (w[0] == "B" || w[0] == "b") {
                const QByteArray whole = encodeBmp(picture(w[1]));
                writeWholeFile(bitmap, w[0] == "B" ? whole : whole.left(whole.size() / 2));
                if (w.size() > 2)
                    setSecond(bitmap, w[2].toInt());
            } else if (w[0] == "X") {
                writeWholeFile(bitmap, encodeBmp(picture(w[1], QSize(30, 30))));
            } else if (w[0] == "P") {
                writeCompact(w[1], {kRun, ++frame, bmpBytes});
            } else if (w[0] == "Q") {
                writeCompact(w[1], {kRun, ++frame, -1});
            } else if (w[0] == "F") {
                writeCompact(w[1], {kRun, w[2].toULongLong(), bmpBytes});
            } else if (w[0] == "C") {
                writeCompact(w[1], {});
                if (w.size() > 2)
                    setSecond(compact, w[2].toInt());
            }
            // A frame takes longer than the kernel's clock tick, which times files.
            QTest::qWait(10);
        }
        QTest::qWait(100);
        watch.look();
        QStringList expected;
        for (const QString &c : shown)
            expected << colourNamed(c).name();
        QCOMPARE(seen, expected);
        QCOMPARE(reader.reads(FolderWatch::Picture) > 0, bitmapRead);
    }

    // The program's own writes, frame after frame, while a viewer follows: every frame is
    // shown from its compact picture, none twice, and the bitmaps are never read.
    void framesFromTheSendingThreadArePaired()
    {
        QTemporaryDir dir;
        SharedState state;
        state.setSharedFolder(dir.path() + '/');
        FolderWatch watch(dir.path());
        ExchangeReader reader(watch);
        QStringList seen;
        connect(&reader, &ExchangeReader::pictureRead, this,
                [&](const QImage &image) { seen << QColor(image.pixel(3, 3)).name(); });
        watch.start();
        const QStringList colours{"red", "green", "blue", "yellow", "cyan", "magenta"};
        for (const QString &c : colours) {
            state.sendFrame(picture(c, QSize(640, 360)));
            state.finishSending();
            QTRY_COMPARE(seen.size(), colours.indexOf(c) + 1);
            QTest::qWait(FolderWatch::kPollMs + 50); // every look the folder has to give
        }
        QStringList expected;
        for (const QString &c : colours)
            expected << colourNamed(c).name();
        QCOMPARE(seen, expected);
        QCOMPARE(reader.reads(FolderWatch::Picture), 0);
    }

    // A compact picture left from an earlier run beside another program that rewrites only
    // shar.bmp every 300 ms (a video on its screen): the old promise stops holding the
    // bitmaps back after three changes or 3 s, and the last bitmap written is shown.
    void oldCompactPictureNoLongerHoldsBitmapsBack_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("shownWithinMs");
        // The promised size: the first rewrite passes for the promised bitmap.
        QTest::newRow("bitmaps of the promised size") << QSize(48, 20) << 900;
        // Another size: three rewrites of the same size are no bitmap being written.
        QTest::newRow("bitmaps of another size") << QSize(64, 64) << 1500;
    }
    void oldCompactPictureNoLongerHoldsBitmapsBack()
    {
        QFETCH(QSize, size);
        QFETCH(int, shownWithinMs);
        QTemporaryDir dir;
        const QString bitmap = dir.filePath(kBitmapName);
        replaceWholeFile(dir.filePath(kCompactPictureName),
                         encodeCompactPicture(picture("white"), RowFilter::Up,
                                              {kRun, 7, encodeBmp(picture("white")).size()}));
        setSecond(dir.filePath(kCompactPictureName), 0);
        FolderWatch watch(dir.path());
        ExchangeReader reader(watch);
        QStringList seen;
        QElapsedTimer clock;
        qint64 firstBitmapMs = -1;
        connect(&reader, &ExchangeReader::pictureRead, this, [&](const QImage &image) {
            seen << QColor(image.pixel(3, 3)).name();
            if (firstBitmapMs < 0 && seen.size() > 1)
                firstBitmapMs = clock.elapsed();
        });
        watch.start();
        QCOMPARE(seen, QStringList{colourNamed("white").name()});
        const QStringList colours{"red", "green", "blue", "yellow"};
        clock.start();
        QString last;
        for (int i = 0; i < 14; ++i) {
            last = colours[i % colours.size()];
            writeWholeFile(bitmap, encodeBmp(picture(last, size)));
            QTest::qWait(300);
        }
        QTest::qWait(FolderWatch::kPollMs + 100);
        QVERIFY2(firstBitmapMs >= 0, "no bitmap was shown");
        QVERIFY2(firstBitmapMs <= shownWithinMs, qPrintable(QString::number(firstBitmapMs)));
        QCOMPARE(seen.last(), colourNamed(last).name());
    }

    // A share that keeps whole seconds (or two) in both of its times: another program
    // rewrites shar.bmp in place, slowly and several times a second, then stops. A rewrite
    // within the same second leaves the stamp as it was; still every picture shown is one
    // frame whole, and the last frame written is shown.
    void wholeSecondShares_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::newRow("whole seconds") << 1;
        QTest::newRow("two seconds") << 2;
    }
    void wholeSecondShares()
    {
#ifndef QUORIX_COARSETIMEFS
        QSKIP("needs libfuse3 (tools/deps.sh test) for its share with whole-second times");
#else
        QFETCH(int, seconds);
        if (!QFile::exists("/dev/fuse"))
            QSKIP("no /dev/fuse on this machine");
        QTemporaryDir source;
        QTemporaryDir mount;
        QProcess fs;
        fs.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fs.start(QUORIX_COARSETIMEFS, {source.path(), mount.path(), QString::number(seconds)});
        QVERIFY(fs.waitForStarted());
        auto unmount = qScopeGuard([&] {
            QProcess::execute("fusermount3", {"-u", mount.path()});
            if (!fs.waitForFinished(5000))
                fs.kill();
        });
        writeWholeFile(source.filePath("probe"), "x");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(mount.filePath("probe")), 10000);
        struct stat st
        {
        };
        QVERIFY(::stat(QFile::encodeName(mount.filePath("probe")).constData(), &st) == 0);
        QCOMPARE(st.st_mtim.tv_nsec + st.st_ctim.tv_nsec, 0L);
        QCOMPARE(st.st_ctim.tv_sec % seconds, 0L);

        FolderWatch watch(mount.path());
        ExchangeReader reader(watch);
        QStringList seen;
        QStringList mixed;
        connect(&reader, &ExchangeReader::pictureRead, this, [&](const QImage &image) {
            const QString top = QColor(image.pixel(0, 0)).name();
            const QString bottom =
                QColor(image.pixel(image.width() - 1, image.height() - 1)).name();
            if (top != bottom)
                mixed << top + "/" + bottom;
            seen << top;
        });
        const QString bitmap = source.filePath(kBitmapName);
        const QSize size(1280, 720);
        writeWholeFile(bitmap, encodeBmp(picture("white", size)));
        watch.start();
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty(), 3000 * seconds + 2000);

        // Rewritten in place (same size, same file) in four pieces, the way a slow writer
        // on a network lands: a reader in the middle meets two frames at once.
        const QStringList colours{"red", "green", "blue", "yellow", "cyan", "magenta"};
        for (const QString &c : colours) {
            const QByteArray bytes = encodeBmp(picture(c, size));
            QFile f(bitmap);
            QVERIFY(f.open(QIODevice::ReadWrite));
            const qsizetype piece = bytes.size() / 4 + 1;
            for (qsizetype at = 0; at < bytes.size(); at += piece) {
                f.write(bytes.mid(at, piece));
                f.flush();
                QTest::qWait(15);
            }
            f.close();
            QTest::qWait(60);
        }
        QTest::qWait(2000 * seconds + 800);
        QVERIFY2(mixed.isEmpty(), qPrintable(mixed.join(' ')));
        QCOMPARE(seen.last(), colourNamed(colours.last()).name());
#endif
    }
};

QTEST_GUILESS_MAIN(TestPictureChoice)
#include "tst_picturechoice.moc"
