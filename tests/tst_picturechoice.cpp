// The viewer's choice between the compact picture and shar.bmp, with the real folder watch
// and reader on real files: for every order in which the two files can be written and
// seen, what is shown is the newest picture written, never an older one, never half of
// one, and shar.bmp is not read when its compact picture is there.
#include "core/WholeFile.h"
#include "exchange/CompactPicture.h"
#include "exchange/ExchangeReader.h"
#include "exchange/FolderWatch.h"
#include "exchange/PictureChoice.h"
#include "imaging/BmpFile.h"

#include <QFile>
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

QImage picture(const QString &colour)
{
    QImage image(48, 20, QImage::Format_RGB32);
    image.fill(colourNamed(colour));
    return image;
}

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
    //   "B colour [second]"  shar.bmp written whole (its time set to that second)
    //   "b colour"           shar.bmp cut short: a write in progress
    //   "C colour [second]"  the compact picture written and renamed into place
    //   "start"              the viewer starts; "look" it looks at the folder
    // Nothing is seen between two steps but at "start" and "look"; at the end the viewer
    // runs until every wait is over.
    void newestPictureIsShown_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<bool>("bitmapRead");

        QTest::newRow("a frame as Quorix writes it")
            << "B red; C red; start" << QStringList{"red"} << false;
        QTest::newRow("the compact picture alone") << "C red; start" << QStringList{"red"} << false;
        QTest::newRow("a bitmap alone, from another program, shown at once")
            << "B blue; start" << QStringList{"blue"} << true;
        QTest::newRow("a compact picture older than the bitmap")
            << "C red 1; B blue 9; start" << QStringList{"blue"} << true;
        QTest::newRow("a bitmap older than the compact picture")
            << "B blue 1; C red 9; start" << QStringList{"red"} << false;
        QTest::newRow("both in the same second, seen together")
            << "B blue 5; C red 5; start" << QStringList{"red"} << false;
        QTest::newRow("the next frame's bitmap, then its compact picture")
            << "B red; C red; start; B green; look; C green; look" << QStringList{"red", "green"}
            << false;
        QTest::newRow("the next frame's bitmap seen while it is written")
            << "B red; C red; start; b green; look; B green; look; C green; look"
            << QStringList{"red", "green"} << false;
        QTest::newRow("the next frame seen at once, bitmap and compact")
            << "B red; C red; start; B green; C green; look" << QStringList{"red", "green"}
            << false;
        QTest::newRow("another program's bitmap later in the same second")
            << "B red 5; C red 5; start; B blue 5; look" << QStringList{"red", "blue"} << true;
        QTest::newRow("the presenter stops between the two files")
            << "B red; C red; start; B green; look" << QStringList{"red", "green"} << true;
        QTest::newRow("only Quorix viewers: an old bitmap stays unread")
            << "B blue 1; C red 5; start; C green 6; look" << QStringList{"red", "green"} << false;
        QTest::newRow("a compact picture again after another program's bitmap")
            << "B red 1; C red 1; start; B blue 2; look; wait; B green 3; C green 3; look"
            << QStringList{"red", "blue", "green"} << true;
    }
    void newestPictureIsShown()
    {
        QFETCH(QString, steps);
        QFETCH(QStringList, shown);
        QFETCH(bool, bitmapRead);

        QTemporaryDir dir;
        const QString bitmap = dir.filePath("shar.bmp");
        const QString compact = dir.filePath(kCompactPictureName);
        FolderWatch watch(dir.path());
        ExchangeReader reader(watch);
        QStringList seen;
        connect(&reader, &ExchangeReader::pictureRead, this,
                [&](const QImage &image) { seen << QColor(image.pixel(3, 3)).name(); });
        for (const QString &step : steps.split(';')) {
            const QStringList w = step.simplified().split(' ');
            if (w[0] == "start") {
                watch.start();
            } else if (w[0] == "look") {
                watch.look();
            } else if (w[0] == "wait") {
                QTest::qWait(int(PictureChoice::kBitmapWaitMs) + 300);
            } else if (w[0] == "B" || w[0] == "b") {
                const QByteArray whole = encodeBmp(picture(w[1]));
                writeWholeFile(bitmap, w[0] == "B" ? whole : whole.left(whole.size() / 2));
                if (w.size() > 2)
                    setSecond(bitmap, w[2].toInt());
            } else if (w[0] == "C") {
                replaceWholeFile(compact, encodeCompactPicture(picture(w[1])));
                if (w.size() > 2)
                    setSecond(compact, w[2].toInt());
            }
        }
        QTest::qWait(int(PictureChoice::kBitmapWaitMs) + 300);
        watch.look();
        QStringList expected;
        for (const QString &c : shown)
            expected << colourNamed(c).name();
        QCOMPARE(seen, expected);
        QCOMPARE(reader.reads(FolderWatch::Picture) > 0, bitmapRead);
    }
};

QTEST_GUILESS_MAIN(TestPictureChoice)
#include "tst_picturechoice.moc"
