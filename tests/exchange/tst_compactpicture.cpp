// The compact picture beside shar.bmp: the same pixels for every kind of picture sent,
// readable by other PNG readers, refused cleanly when damaged, and never met half-written.
#include "core/FileError.h"
#include "core/WholeFile.h"
#include "exchange/CompactPicture.h"
#include "exchange/ExchangeProtocol.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"
#include "presenter/SharedState.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <libdeflate.h>

#include <cstdlib>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace quorix;

namespace {

// Noise with runs in it: both the literal and the match paths of the compressor.
QImage screenLike(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_ARGB32);
    QRandomGenerator random(uint(width * 7919 + height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           (x / 5 + y) % 3 == 0 ? qRgba(30, 60, 90, 255 - x % 256)
                                                : random.generate() | 0xFF000000u);
    return image.convertToFormat(format);
}

// Every pixel's colour (alpha left aside: both files are opaque).
void compareColours(const QImage &a, const QImage &b)
{
    QCOMPARE(a.size(), b.size());
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            if (qRgb(qRed(x.pixel(col, row)), qGreen(x.pixel(col, row)),
                     qBlue(x.pixel(col, row))) !=
                qRgb(qRed(y.pixel(col, row)), qGreen(y.pixel(col, row)), qBlue(y.pixel(col, row))))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(col).arg(row)));
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

void putBig32(QByteArray &bytes, int at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(v >> (24 - 8 * i));
}

// The PNG with another width and height in its header, and the header's checksum fixed.
QByteArray withSize(QByteArray png, quint32 width, quint32 height)
{
    putBig32(png, 16, width);
    putBig32(png, 20, height);
    putBig32(png, 29, crc32(png.mid(12, 17)));
    return png;
}

} // namespace

class TestCompactPicture : public QObject
{
    Q_OBJECT

  private slots:
    // What every source hands to the sending: captures (RGB32, odd widths for the row
    // ends), clipboard pictures with transparency, PNG slides (RGB888), grey and palette
    // bitmaps, and JPEG slides as 24-bit bitmap files.
    void samePixelsAsTheBitmap_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<QString>("jpeg");
        for (int width : {1, 2, 5, 6, 7, 33, 1921})
            QTest::addRow("capture %d wide", width) << screenLike(width, 9) << QString();
        QTest::newRow("clipboard with alpha")
            << screenLike(37, 21, QImage::Format_ARGB32) << QString();
        QTest::newRow("premultiplied")
            << screenLike(19, 4, QImage::Format_ARGB32_Premultiplied) << QString();
        QTest::newRow("png slide")
            << decodeImage(sample("alpha.png"), ImageFormat::Png) << QString();
        QTest::newRow("grey bitmap slide")
            << decodeImage(sample("mono.bmp"), ImageFormat::Bmp) << QString();
        QTest::newRow("palette bitmap slide")
            << decodeImage(sample("pal4.bmp"), ImageFormat::Bmp) << QString();
        QTest::newRow("jpeg slide") << QImage() << sample("baseline.jpg");
        QTest::newRow("grey jpeg slide") << QImage() << sample("grey.jpg");
    }
    void samePixelsAsTheBitmap()
    {
        QFETCH(QImage, picture);
        QFETCH(QString, jpeg);
        QTemporaryDir dir;
        SharedState state;
        state.setSharedFolder(dir.path() + "/");
        if (jpeg.isEmpty()) {
            QVERIFY(!picture.isNull());
            QCOMPARE(state.sendBitmap(picture), Sent::Written);
        } else {
            QCOMPARE(state.sendBitmapFile(decodeJpegAsBmp24(jpeg)), Sent::Written);
        }
        const QString png = dir.filePath(kCompactPictureName);
        const QImage bitmap = decodeImage(dir.filePath(kBitmapName), ImageFormat::Bmp);
        const QImage compact = decodeCompactPicture(readWholeFile(png), png);
        QCOMPARE(compact.format(), QImage::Format_RGB32);
        compareColours(compact, bitmap);
        // Other readers see the same: libpng through the slide decoder, and Qt's reader.
        compareColours(decodeImage(png, ImageFormat::Png), bitmap);
        compareColours(QImage(png, "PNG"), bitmap);
        QVERIFY(!QFileInfo::exists(temporaryNameFor(png)));
    }

    void imageMagickOpensIt()
    {
        const QString identify = QStandardPaths::findExecutable("identify");
        if (identify.isEmpty())
            QSKIP("ImageMagick's identify is not installed");
        QTemporaryDir dir;
        const QString png = dir.filePath(kCompactPictureName);
        writeWholeFile(png, encodeCompactPicture(screenLike(640, 360)));
        QProcess p;
        p.start(identify, {"-format", "%m %w %h", png});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.readAllStandardOutput().trimmed(), QByteArray("PNG 640 360"));
    }

    // Another program's PNG under the name goes through the general reader.
    void otherPngKindsAreRead_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("alpha") << sample("alpha.png");
        QTest::newRow("grey") << sample("grey.png");
        QTest::newRow("interlaced") << sample("interlaced.png");
        QTest::newRow("palette") << sample("palette.png");
        QTest::newRow("16 bits") << sample("rgb16.png");
    }
    void otherPngKindsAreRead()
    {
        QFETCH(QString, file);
        const QImage image = decodeCompactPicture(readWholeFile(file), file);
        QCOMPARE(image.format(), QImage::Format_RGB32);
        compareColours(image, decodeImage(file, ImageFormat::Png));
    }

    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = encodeCompactPicture(screenLike(64, 48));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not a png") << QByteArray("BM not a png at all");
        QTest::newRow("signature only") << good.left(8);
        QTest::newRow("cut in the header") << good.left(20);
        QTest::newRow("cut in the pixels") << good.left(good.size() / 2);
        QTest::newRow("no end") << good.left(good.size() - 12);
        QByteArray crc = good;
        crc[40] = char(crc[40] ^ 0x55);
        QTest::newRow("damaged pixels") << crc;
        // Too large a picture, in a header whose checksum is right.
        QTest::newRow("too large") << withSize(good, 100000, 100000);
        QTest::newRow("largest sides") << withSize(good, 0xFFFFFFFFu, 0xFFFFFFFFu);
        QTest::newRow("no pixels") << withSize(good, 0, 48);
        QTest::newRow("more rows than pixels") << withSize(good, 64, 49);
    }
    void damagedFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY_THROWS_EXCEPTION(ImageError, decodeCompactPicture(bytes, kCompactPictureName));
    }

    // Without memory for libdeflate's compressor or decompressor, encoding and decoding
    // fail with an error (the frame is not sent) and work again once there is memory.
    void noMemoryForTheCompressorIsAnError()
    {
        const QImage picture = screenLike(32, 16);
        const QByteArray good = encodeCompactPicture(picture);
        bool encodeRefused = false, decodeRefused = false, encodedAfter = false,
             decodedAfter = false;
        // A thread of its own: the compressors are kept per thread, and this one has none yet.
        std::thread([&] {
            libdeflate_set_memory_allocator([](std::size_t) -> void * { return nullptr; },
                                            std::free);
            try {
                encodeCompactPicture(picture);
            } catch (const ImageError &) {
                encodeRefused = true;
            }
            try {
                decodeCompactPicture(good, kCompactPictureName);
            } catch (const ImageError &) {
                decodeRefused = true;
            }
            libdeflate_set_memory_allocator(std::malloc, std::free);
            encodedAfter = encodeCompactPicture(picture) == good;
            decodedAfter = decodeCompactPicture(good, kCompactPictureName) == picture;
        }).join();
        QVERIFY(encodeRefused);
        QVERIFY(decodeRefused);
        QVERIFY(encodedAfter);
        QVERIFY(decodedAfter);
    }

    void onlyQuorixViewersWritesNoBitmap()
    {
        QTemporaryDir dir;
        SharedState state;
        state.setSharedFolder(dir.path() + "/");
        state.onlyQuorixViewers = true;
        QCOMPARE(state.sendBitmap(screenLike(8, 8)), Sent::Written);
        QCOMPARE(state.sendBitmapFile(decodeJpegAsBmp24(sample("baseline.jpg"))), Sent::Written);
        QVERIFY(QFileInfo::exists(dir.filePath(kCompactPictureName)));
        QVERIFY(!QFileInfo::exists(dir.filePath(kBitmapName)));
    }

    // Every picture sent carries its frame's tag: one run, frame numbers counting up, and
    // the size of the bitmap written after it (none with only Quorix viewers); other PNG
    // readers still open it, and a damaged tag reads as none.
    void picturesCarryTheirFrameTag()
    {
        QTemporaryDir dir;
        SharedState state;
        state.setSharedFolder(dir.path() + "/");
        const QString png = dir.filePath(kCompactPictureName);
        QCOMPARE(state.sendBitmap(screenLike(64, 48)), Sent::Written);
        const FrameTag first = readFrameTag(readWholeFile(png));
        QVERIFY(first.present());
        QCOMPARE(first.bitmapBytes, QFileInfo(dir.filePath(kBitmapName)).size());
        const Bmp24File jpeg = decodeJpegAsBmp24(sample("baseline.jpg"));
        QCOMPARE(state.sendBitmapFile(jpeg), Sent::Written);
        const FrameTag second = readFrameTag(readWholeFile(png));
        QCOMPARE(second.run, first.run);
        QCOMPARE(second.frame, first.frame + 1);
        QCOMPARE(second.bitmapBytes, QFileInfo(dir.filePath(kBitmapName)).size());
        state.onlyQuorixViewers = true;
        QCOMPARE(state.sendFrame(screenLike(64, 48)), Sent::Written);
        state.finishSending();
        QCOMPARE(readFrameTag(readWholeFile(png)).bitmapBytes, qint64(-1));
        compareColours(decodeImage(png, ImageFormat::Png), screenLike(64, 48));

        QByteArray damaged = readWholeFile(png);
        const qsizetype text = damaged.indexOf(kFrameTagKeyword);
        QVERIFY(text > 0);
        damaged[text + qsizetype(sizeof kFrameTagKeyword) + 1] ^= 0x01;
        QVERIFY(!readFrameTag(damaged).present());
        QVERIFY(!readFrameTag(encodeCompactPicture(screenLike(8, 8))).present());
        QVERIFY(!readFrameTag(QByteArray("not a png")).present());
    }

    // A link planted under either name is replaced, never written through; a folder that
    // takes no new file fails the send and leaves no temporary file.
    void plantedLinksAreNotFollowed_data()
    {
        QTest::addColumn<bool>("atTemporaryName");
        QTest::newRow("under the picture's name") << false;
        QTest::newRow("under the temporary name") << true;
    }
    void plantedLinksAreNotFollowed()
    {
        QFETCH(bool, atTemporaryName);
        QTemporaryDir dir;
        const QString victim = dir.filePath("victim.txt");
        writeWholeFile(victim, "keep me");
        const QString png = dir.filePath(kCompactPictureName);
        QVERIFY(QFile::link(victim, atTemporaryName ? temporaryNameFor(png) : png));
        replaceWholeFile(png, "new bytes");
        QCOMPARE(readWholeFile(victim), QByteArray("keep me"));
        QCOMPARE(readWholeFile(png), QByteArray("new bytes"));
        QVERIFY(!QFileInfo(png).isSymLink());
        QVERIFY(!QFileInfo::exists(temporaryNameFor(png)));
    }

    // A pipe planted under the bitmap's name would hold the sending thread for good (no
    // one reads it): the send fails at once instead.
    void plantedPipeFailsTheSend()
    {
        QTemporaryDir dir;
        QVERIFY(::mkfifo(QFile::encodeName(dir.filePath(kBitmapName)).constData(), 0666) == 0);
        SharedState state;
        state.setSharedFolder(dir.path() + "/");
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(FileError, state.sendBitmap(screenLike(4, 4)));
        QVERIFY(clock.elapsed() < 1000);
    }

    void unwritableFolderFails()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into a read-only folder");
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0555) == 0);
        SharedState state;
        state.setSharedFolder(dir.path() + "/");
        state.onlyQuorixViewers = true;
        QVERIFY_THROWS_EXCEPTION(FileError, state.sendBitmap(screenLike(4, 4)));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    void aFolderUnderTheNameFails()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(kCompactPictureName));
        QVERIFY_THROWS_EXCEPTION(FileError,
                                 replaceWholeFile(dir.filePath(kCompactPictureName), "x"));
        QVERIFY(!QFileInfo::exists(temporaryNameFor(dir.filePath(kCompactPictureName))));
    }
};

QTEST_GUILESS_MAIN(TestCompactPicture)
#include "tst_compactpicture.moc"
