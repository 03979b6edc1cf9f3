// The folder watch and the reader together, as the viewer runs them: a still folder is
// never read, a rewrite is noticed even at the same size, a torn picture is read again
// until it is whole (and nothing of it is shown before), a broken one is given up on, and
// a folder that goes away and comes back is followed.
#include "core/LineFile.h"
#include "core/WholeFile.h"
#include "exchange/ExchangeProtocol.h"
#include "exchange/ExchangeReader.h"
#include "exchange/FolderWatch.h"
#include "imaging/BmpFile.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace quorix;

class TestFolderWatch : public QObject
{
    Q_OBJECT

    static QImage picture(QColor colour)
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

    static QRgb colourOf(const QSignalSpy &spy, int i)
    {
        return spy.at(i).at(0).value<QImage>().pixel(5, 5);
    }

  private slots:
    void stillFolderIsNotRead()
    {
        QTemporaryDir dir;
        writeBmpFile(dir.filePath(kBitmapName), picture(Qt::red));
        writeLineFile(dir.filePath(kViewerSettingsName), {"x", "0", "1", "1", "1", "0", "", "0"});
        writeLineFile(dir.filePath(kRunStateName), {"Run"});
        FolderWatch watch(dir.path());
        ExchangeReader reader(watch);
        QSignalSpy pictures(&reader, &ExchangeReader::pictureRead);
        QSignalSpy settings(&reader, &ExchangeReader::settingsRead);
        QSignalSpy running(&reader, &ExchangeReader::runStateChanged);
        watch.start();
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(settings.size(), 1);
        QCOMPARE(running.size(), 1);
        QVERIFY(running.at(0).at(0).toBool());

        QTest::qWait(4 * FolderWatch::kPollMs);
        for (int f = 0; f < FolderWatch::FileCount; ++f)
            QVERIFY2(reader.reads(FolderWatch::File(f)) <= 1,
                     qPrintable(FolderWatch::fileName(FolderWatch::File(f))));

        // The same size, new pixels: the new time gives it away.
        writeBmpFile(dir.filePath(kBitmapName), picture(Qt::blue));
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 2, 2000);
        QCOMPARE(colourOf(pictures, 1), qRgb(0, 0, 255));
    }

    void tornPictureIsReadAgain()
    {
        QTemporaryDir dir;
        FolderWatch watch(dir.path());
        ExchangeReader reader(watch);
        QSignalSpy pictures(&reader, &ExchangeReader::pictureRead);
        QSignalSpy unreadable(&reader, &ExchangeReader::unreadable);
        watch.start();

        const QByteArray whole = encodeBmp(picture(Qt::green));
        writeWholeFile(dir.filePath(kBitmapName), whole.left(whole.size() / 3));
        QTest::qWait(150); // noticed, read, found short, read again
        QCOMPARE(pictures.size(), 0);
        QVERIFY(reader.reads(FolderWatch::Picture) >= 2);

        // The rest arrives in place, as a writer's second write would put it.
        QFile file(dir.filePath(kBitmapName));
        QVERIFY(file.open(QIODevice::Append));
        file.write(whole.mid(whole.size() / 3));
        file.close();
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 1, 2000);
        QCOMPARE(colourOf(pictures, 0), qRgb(0, 255, 0));
        QCOMPARE(unreadable.size(), 0);
    }

    void brokenPictureIsGivenUp()
    {
        QTemporaryDir dir;
        FolderWatch watch(dir.path());
        ExchangeReader reader(watch);
        QSignalSpy pictures(&reader, &ExchangeReader::pictureRead);
        QSignalSpy unreadable(&reader, &ExchangeReader::unreadable);
        watch.start();
        writeWholeFile(dir.filePath(kBitmapName), QByteArray(4000, 'x'));
        QTRY_COMPARE_WITH_TIMEOUT(unreadable.size(), 1, 5000);
        QCOMPARE(unreadable.at(0).at(0).toString(), QStringLiteral("shar.bmp"));
        const int reads = reader.reads(FolderWatch::Picture);
        QCOMPARE(reads, int(ExchangeReader::kRetryMs.size()) + 1);
        QTest::qWait(3 * FolderWatch::kPollMs);
        QCOMPARE(reader.reads(FolderWatch::Picture), reads);
        QCOMPARE(pictures.size(), 0);
    }

    // A half-written settings file is not taken for one that turns everything off.
    void tornSettingsWait()
    {
        QTemporaryDir dir;
        FolderWatch watch(dir.path());
        ExchangeReader reader(watch);
        QSignalSpy settings(&reader, &ExchangeReader::settingsRead);
        watch.start();
        writeWholeFile(dir.filePath(kViewerSettingsName), "x\r\n0\r\n1\r\n");
        QTest::qWait(100);
        QCOMPARE(settings.size(), 0);
        writeLineFile(dir.filePath(kViewerSettingsName), {"x", "0", "1", "1", "1", "1", "Hi", "0"});
        QTRY_COMPARE_WITH_TIMEOUT(settings.size(), 1, 2000);
        const auto s = settings.at(0).at(0).value<ViewerSettings>();
        QVERIFY(s.fullScreen);
        QCOMPARE(s.scrollText, QStringLiteral("Hi"));
    }

    void folderGoesAndComesBack()
    {
        QTemporaryDir parent;
        const QString folder = parent.filePath("share");
        QVERIFY(QDir().mkdir(folder));
        writeBmpFile(folder + "/shar.bmp", picture(Qt::red));
        FolderWatch watch(folder);
        ExchangeReader reader(watch);
        QSignalSpy pictures(&reader, &ExchangeReader::pictureRead);
        QSignalSpy reachable(&watch, &FolderWatch::reachableChanged);
        watch.start();
        QCOMPARE(pictures.size(), 1);

        QVERIFY(QDir(parent.path()).rename("share", "away"));
        QTRY_VERIFY_WITH_TIMEOUT(!watch.reachable(), 2000);
        QCOMPARE(reachable.last().at(0).toBool(), false);
        QCOMPARE(pictures.size(), 1); // nothing new to show, nothing taken away

        // The same files back: nothing to read again. Then a new picture.
        QVERIFY(QDir(parent.path()).rename("away", "share"));
        QTRY_VERIFY_WITH_TIMEOUT(watch.reachable(), 2000);
        QTest::qWait(2 * FolderWatch::kPollMs);
        QCOMPARE(pictures.size(), 1);
        writeBmpFile(folder + "/shar.bmp", picture(Qt::blue));
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 2, 2000);
        QCOMPARE(colourOf(pictures, 1), qRgb(0, 0, 255));
    }
};

QTEST_MAIN(TestFolderWatch)
#include "tst_folderwatch.moc"
