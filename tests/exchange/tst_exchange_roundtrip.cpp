// Everything the presenter's side can write into the shared folder, read back by the
// viewer's side as the same picture, text and settings, in each write order the folder can
// see: Quorix's bitmap then compact picture, the compact picture alone (only Quorix viewers
// in the room), another program's bitmap alone, and a JPEG slide's bitmap straight from the
// decoder. No display is needed: both sides are files and Qt's offscreen platform.
#include "exchange/ExchangeProtocol.h"
#include "exchange/ExchangeReader.h"
#include "exchange/FolderWatch.h"
#include "exchange/ViewerSettings.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"
#include "presenter/SharedState.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace quorix;

namespace {

// A picture with a different colour in every pixel, so that a flipped row, a swapped
// channel or a lost column shows.
QImage pattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x + y) * 13 % 256));
    return image;
}

QImage opaque(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}

// The presenter's writer and the viewer's reader over one temporary folder.
struct Room
{
    QTemporaryDir dir;
    SharedState state;
    FolderWatch watch{dir.path()};
    ExchangeReader reader{watch};

    Room()
    {
        state.setSharedFolder(dir.path() + QLatin1Char('/'));
        watch.start();
    }
    QString file(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

class ExchangeRoundTripTest : public QObject
{
    Q_OBJECT

  private slots:
    void pictureInEveryWriteOrder_data()
    {
        QTest::addColumn<QString>("order");
        QTest::newRow("bitmap, then compact picture") << "both";
        QTest::newRow("compact picture alone (only Quorix viewers)") << "compact";
        QTest::newRow("bitmap alone (another presenter program)") << "bitmap";
        QTest::newRow("JPEG slide as a 24-bit bitmap, then compact picture") << "jpeg";
    }
    void pictureInEveryWriteOrder()
    {
        QFETCH(QString, order);
        Room room;
        QSignalSpy pictures(&room.reader, &ExchangeReader::pictureRead);
        QImage expected = pattern(97, 41); // odd width: rows padded in the bitmap
        if (order == "both") {
            QCOMPARE(room.state.sendBitmap(expected), Sent::Written);
            QVERIFY(QFileInfo::exists(room.file(kBitmapName)));
        } else if (order == "compact") {
            room.state.onlyQuorixViewers = true;
            QCOMPARE(room.state.sendBitmap(expected), Sent::Written);
            QVERIFY(!QFileInfo::exists(room.file(kBitmapName)));
        } else if (order == "bitmap") {
            writeBmpFile(room.file(kBitmapName), expected);
        } else {
            const QString jpeg = QStringLiteral(QUORIX_TEST_DATA "/slides/baseline.jpg");
            expected = opaque(decodeImage(jpeg, ImageFormat::Jpeg));
            QCOMPARE(room.state.sendBitmapFile(decodeJpegAsBmp24(jpeg)), Sent::Written);
        }
        QCOMPARE(QFileInfo::exists(room.file(kCompactPictureName)), order != "bitmap");
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 1, 5000);
        QCOMPARE(opaque(pictures.first().first().value<QImage>()), opaque(expected));
        // The same picture is not read a second time.
        QTest::qWait(300);
        QCOMPARE(pictures.size(), 1);
    }

    void newerPictureReplacesTheOlder()
    {
        Room room;
        QSignalSpy pictures(&room.reader, &ExchangeReader::pictureRead);
        QCOMPARE(room.state.sendBitmap(pattern(40, 30)), Sent::Written);
        QTRY_COMPARE_WITH_TIMEOUT(pictures.size(), 1, 5000);
        const QImage newer = pattern(30, 40).mirrored(true, false);
        QCOMPARE(room.state.sendBitmap(newer), Sent::Written);
        QTRY_VERIFY_WITH_TIMEOUT(
            !pictures.isEmpty() && opaque(pictures.last().first().value<QImage>()) == opaque(newer),
            5000);
    }

    void text()
    {
        Room room;
        QSignalSpy texts(&room.reader, &ExchangeReader::textRead);
        const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 plain "
                               "{\\b bold} \\u269?ez\\par}";
        QCOMPARE(room.state.sendRtf(rtf), Sent::Written);
        QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 1, 5000);
        const auto document = texts.first().first().value<QSharedPointer<QTextDocument>>();
        QCOMPARE(document->toPlainText().trimmed(), QString::fromUtf8("plain bold \u010dez"));
        QTextCursor cursor(document.get());
        cursor.setPosition(8); // inside "bold"
        QVERIFY(cursor.charFormat().fontWeight() >= QFont::Bold);
    }

    void settings_data()
    {
        QTest::addColumn<ViewerSettings>("settings");
        QTest::newRow("defaults") << ViewerSettings{};
        QTest::newRow("every switch off")
            << ViewerSettings{false, false, false, false, false, QString(), false};
        QTest::newRow("every switch on, a scroll text outside Latin-1") << ViewerSettings{
            true, true, true, true, true, QString::fromUtf8("Pozor: \u0161ola"), true};
    }
    void settings()
    {
        QFETCH(ViewerSettings, settings);
        Room room;
        QSignalSpy read(&room.reader, &ExchangeReader::settingsRead);
        const QStringList lines = viewerSettingsLines(settings, room.file(kBitmapName));
        QCOMPARE(lines.size(), kViewerSettingsLines);
        QCOMPARE(room.state.writeViewerSettings(lines), Sent::Written);
        QTRY_COMPARE_WITH_TIMEOUT(read.size(), 1, 5000);
        QCOMPARE(read.first().first().value<ViewerSettings>(), settings);
    }

    void runState()
    {
        Room room;
        QSignalSpy running(&room.reader, &ExchangeReader::runStateChanged);
        QCOMPARE(room.state.writeRunState(), Sent::Written);
        QTRY_COMPARE_WITH_TIMEOUT(running.size(), 1, 5000);
        QCOMPARE(running.first().first().toBool(), true);
    }
};

QTEST_MAIN(ExchangeRoundTripTest)
#include "tst_exchange_roundtrip.moc"
