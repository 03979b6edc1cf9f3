#include "core/WholeFile.h"
#include "imaging/BmpFile.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace quorix;

namespace {
quint32 u32(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
           quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
}
} // namespace

class TestBmpFile : public QObject
{
    Q_OBJECT

  private slots:
    void headersAndBottomUp24BitPixels()
    {
        QImage image(3, 2, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(10, 20, 30, 0)); // transparent: must come out opaque
        image.setPixel(1, 0, qRgb(1, 2, 3));
        image.setPixel(2, 0, qRgb(4, 5, 6));
        image.setPixel(0, 1, qRgb(7, 8, 9));
        image.setPixel(1, 1, qRgb(11, 12, 13));
        image.setPixel(2, 1, qRgb(14, 15, 16));
        const QByteArray b = encodeBmp(image);

        // Rows of 9 bytes padded to 12.
        QCOMPARE(b.size(), 54 + 12 * 2);
        QCOMPARE(b.left(2), QByteArray("BM"));
        QCOMPARE(u32(b, 2), quint32(b.size()));
        QCOMPARE(u32(b, 10), 54u);
        QCOMPARE(u32(b, 14), 40u);
        QCOMPARE(u32(b, 18), 3u);
        QCOMPARE(u32(b, 22), 2u);
        QCOMPARE(u32(b, 26), 1u | 24u << 16);
        QCOMPARE(u32(b, 30), 0u);
        QCOMPARE(u32(b, 34), 24u);
        // First stored row is the bottom one; each pixel is B, G, R; the transparent
        // pixel keeps its colour.
        QCOMPARE(b.mid(54, 12), QByteArray("\x09\x08\x07\x0d\x0c\x0b\x10\x0f\x0e\0\0\0", 12));
        QCOMPARE(b.mid(66, 12), QByteArray("\x1e\x14\x0a\x03\x02\x01\x06\x05\x04\0\0\0", 12));

        QImage back;
        QVERIFY(back.loadFromData(b, "BMP"));
        QCOMPARE(back.size(), image.size());
        QCOMPARE(back.pixel(2, 1), qRgb(14, 15, 16));
        QCOMPARE(qAlpha(back.pixel(0, 0)), 255);
    }

    void otherFormatsAreConverted()
    {
        QImage image(2, 1, QImage::Format_RGB888);
        image.setPixel(0, 0, qRgb(200, 100, 50));
        image.setPixel(1, 0, qRgb(1, 2, 3));
        const QByteArray b = encodeBmp(image);
        QCOMPARE(b.mid(54), QByteArray("\x32\x64\xc8\x03\x02\x01\0\0", 8));
    }

    void emptyImageGivesHeadersOnly()
    {
        const QByteArray b = encodeBmp(QImage());
        QCOMPARE(b.size(), 54);
        QCOMPARE(u32(b, 2), 54u);
        QCOMPARE(u32(b, 18), 0u);
        QCOMPARE(u32(b, 22), 0u);
    }

    void writtenFileShowsThePicture_data()
    {
        QTest::addColumn<QImage>("image");
        QImage odd(7, 5, QImage::Format_RGB32); // rows of 21 bytes, padded to 24
        for (int y = 0; y < odd.height(); ++y)
            for (int x = 0; x < odd.width(); ++x)
                odd.setPixel(x, y, qRgb(x * 30, y * 50, 200 - x - y));
        QTest::newRow("screen-like, written from its rows") << odd;
        QTest::newRow("with alpha, encoded first") << odd.convertToFormat(QImage::Format_ARGB32);
        QTest::newRow("24-bit source") << odd.convertToFormat(QImage::Format_RGB888);
        // Widths around the vector steps of the row conversion.
        for (int width : {4, 6, 8, 13}) {
            QImage w(width, 2, QImage::Format_RGB32);
            for (int x = 0; x < width; ++x)
                w.setPixel(x, 0, qRgb(x, 2 * x, 3 * x)), w.setPixel(x, 1, qRgb(255 - x, x, 9));
            QTest::addRow("%d wide", width) << w;
        }
    }
    void writtenFileShowsThePicture()
    {
        QFETCH(QImage, image);
        QTemporaryDir dir;
        const QString path = dir.filePath("shar.bmp");
        writeBmpFile(path, image);
        QCOMPARE(readWholeFile(path), encodeBmp(image));
        // An outside reader sees the picture's colours, opaque.
        const QImage back(path, "BMP");
        QCOMPARE(back.size(), image.size());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(back.pixel(x, y), image.pixel(x, y) | 0xFF000000u);
    }

    void fileIsReplacedWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("shar.bmp");
        QImage big(40, 40, QImage::Format_RGB32);
        big.fill(Qt::red);
        writeBmpFile(path, big);
        writeBmpFile(path, QImage());
        QCOMPARE(readWholeFile(path).size(), 54);
    }
};

QTEST_GUILESS_MAIN(TestBmpFile)
#include "tst_bmpfile.moc"
