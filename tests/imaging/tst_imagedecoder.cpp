// The slide decoders against real files of every variant, and against broken ones: cut
// short, of another kind, with absurd sizes, empty. A broken file must give an ImageError,
// never a crash, a hang or a huge allocation.
#include "core/WholeFile.h"
#include "imaging/BmpFile.h"
#include "imaging/ImageDecoder.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace quorix;

namespace {

ImageFormat formatOf(const QString &name)
{
    if (name.endsWith(".png"))
        return ImageFormat::Png;
    if (name.endsWith(".bmp"))
        return ImageFormat::Bmp;
    return ImageFormat::Jpeg;
}

bool near(QColor a, QColor b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : bytes) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

} // namespace

class TestImageDecoder : public QObject
{
    Q_OBJECT

  private slots:
    void everyVariantOpens_data();
    void everyVariantOpens();
    void transparencyIsLaidOverWhite();
    void previewsDecodeNoLargerThanNeeded_data();
    void previewsDecodeNoLargerThanNeeded();
    void jpegAsBmp24IsTheDecodedPicture_data();
    void jpegAsBmp24IsTheDecodedPicture();
    void brokenFilesAreRefused_data();
    void brokenFilesAreRefused();
    void missingFileIsRefused();

  private:
    QTemporaryDir dir_;
};

void TestImageDecoder::everyVariantOpens_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    // The colour expected at the top-left corner; invalid: not checked.
    QTest::addColumn<QColor>("topLeft");
    const QColor red(255, 0, 0);
    for (const char *f : {"baseline.jpg", "progressive.jpg", "palette.png", "rgb16.png",
                          "interlaced.png", "pal4.bmp", "pal8.bmp", "rle8.bmp", "rgb24.bmp",
                          "v5alpha.bmp", "bitfields565.bmp", "os2.bmp"})
        QTest::newRow(f) << sample(f) << QSize(40, 30) << red;
    QTest::newRow("grey.jpg") << sample("grey.jpg") << QSize(40, 30) << QColor(Qt::white);
    QTest::newRow("grey.png") << sample("grey.png") << QSize(40, 30) << QColor(Qt::white);
    QTest::newRow("cmyk.jpg") << sample("cmyk.jpg") << QSize(40, 30) << QColor(0, 128, 255);
    QTest::newRow("mono.bmp") << sample("mono.bmp") << QSize(40, 30) << QColor();
    QTest::newRow("rle4.bmp") << sample("rle4.bmp") << QSize(8, 2) << QColor(0, 0, 255);
    QTest::newRow("topdown.bmp") << sample("topdown.bmp") << QSize(4, 2) << red;
}

void TestImageDecoder::everyVariantOpens()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QColor, topLeft);
    const ImageFormat format = formatOf(file);
    QCOMPARE(imageDimensions(file, format), size);
    const QImage image = decodeImage(file, format);
    QCOMPARE(image.size(), size);
    QVERIFY(!image.hasAlphaChannel());
    if (topLeft.isValid())
        QVERIFY2(near(image.pixelColor(0, 0), topLeft), qPrintable(image.pixelColor(0, 0).name()));
}

void TestImageDecoder::transparencyIsLaidOverWhite()
{
    const QImage image = decodeImage(sample("alpha.png"), ImageFormat::Png);
    QCOMPARE(image.pixelColor(5, 5), QColor(255, 0, 0));
    QCOMPARE(image.pixelColor(35, 5), QColor(Qt::white));
}

void TestImageDecoder::previewsDecodeNoLargerThanNeeded_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("atLeast");
    QTest::addColumn<QSize>("decoded");
    // JPEG: the smallest of the DCT scales 1/8 .. 8/8 that covers the size.
    QTest::newRow("jpeg 1/8") << sample("progressive.jpg") << QSize(5, 3) << QSize(5, 4);
    QTest::newRow("jpeg 3/8") << sample("progressive.jpg") << QSize(14, 10) << QSize(15, 12);
    QTest::newRow("jpeg larger than the picture")
        << sample("baseline.jpg") << QSize(80, 60) << QSize(40, 30);
    QTest::newRow("jpeg no size") << sample("baseline.jpg") << QSize() << QSize(40, 30);
    // PNG: a whole number of times smaller, read row by row.
    QTest::newRow("png a quarter") << sample("rgb16.png") << QSize(10, 7) << QSize(10, 7);
    QTest::newRow("png with alpha a third")
        << sample("alpha.png") << QSize(10, 10) << QSize(13, 10);
    QTest::newRow("png palette") << sample("palette.png") << QSize(20, 15) << QSize(20, 15);
    QTest::newRow("interlaced png at full size")
        << sample("interlaced.png") << QSize(10, 7) << QSize(40, 30);
}

void TestImageDecoder::previewsDecodeNoLargerThanNeeded()
{
    QFETCH(QString, file);
    QFETCH(QSize, atLeast);
    QFETCH(QSize, decoded);
    const QImage image = decodeImage(file, formatOf(file), atLeast);
    QCOMPARE(image.size(), decoded);
    // The reduced picture is the full one made smaller, not another one.
    const QImage full = decodeImage(file, formatOf(file))
                            .scaled(decoded, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (QPoint p : {QPoint(0, 0), QPoint(decoded.width() - 1, decoded.height() - 1)})
        QVERIFY2(near(image.pixelColor(p), full.pixelColor(p), 48),
                 qPrintable(image.pixelColor(p).name() + " " + full.pixelColor(p).name()));
}

void TestImageDecoder::jpegAsBmp24IsTheDecodedPicture_data()
{
    QTest::addColumn<QString>("file");
    // 40 pixels make rows of 120 bytes, 39 of 117 plus 3 bytes of padding.
    QTest::newRow("baseline") << sample("baseline.jpg");
    QTest::newRow("cmyk") << sample("cmyk.jpg");
    QTest::newRow("grey") << sample("grey.jpg");
    QImage odd(39, 7, QImage::Format_RGB32);
    odd.fill(QColor(10, 200, 30));
    const QString oddFile = dir_.filePath("odd.jpg");
    if (odd.save(oddFile, "JPEG"))
        QTest::newRow("padded rows") << oddFile;
}

void TestImageDecoder::jpegAsBmp24IsTheDecodedPicture()
{
    QFETCH(QString, file);
    const Bmp24File bmp = decodeJpegAsBmp24(file);
    QByteArray bytes = bmp.headers;
    bytes.append(reinterpret_cast<const char *>(bmp.pixels.get()), qsizetype(bmp.pixelBytes));
    const auto *h = reinterpret_cast<const uchar *>(bytes.constData());
    QCOMPARE(qFromLittleEndian<quint32>(h + 2), quint32(bytes.size()));
    QCOMPARE(qFromLittleEndian<quint16>(h + 28), quint16(24));
    QVERIFY(qFromLittleEndian<qint32>(h + 22) > 0); // bottom-up
    const QImage written = QImage::fromData(bytes, "BMP").convertToFormat(QImage::Format_RGB888);
    const QImage decoded = decodeImage(file, ImageFormat::Jpeg);
    QCOMPARE(written, decoded);
    // The padding of every row is zero.
    const std::size_t stride = bmp24Stride(decoded.width());
    for (int y = 0; y < decoded.height(); ++y)
        for (std::size_t x = std::size_t(decoded.width()) * 3; x < stride; ++x)
            QCOMPARE(int(bmp.pixels[stride * std::size_t(y) + x]), 0);
}

void TestImageDecoder::brokenFilesAreRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("headerReadable");
    auto make = [this](const QString &name, const QByteArray &bytes) {
        const QString path = dir_.filePath(name);
        writeWholeFile(path, bytes);
        return path;
    };
    const QByteArray jpg = readWholeFile(sample("baseline.jpg"));
    const QByteArray png = readWholeFile(sample("rgb16.png"));
    const QByteArray bmp = readWholeFile(sample("rgb24.bmp"));

    for (const char *ext : {"jpg", "png", "bmp"}) {
        const QString e = QLatin1String(ext);
        QTest::newRow(qPrintable("empty " + e)) << make("empty." + e, {}) << false;
        QTest::newRow(qPrintable("text named ." + e))
            << make("text." + e, "{\\rtf1 this is no picture}\r\n") << false;
        QTest::newRow(qPrintable("cut in the header " + e))
            << make("header." + e, (e == "jpg"   ? jpg
                                    : e == "png" ? png
                                                 : bmp)
                                       .left(20))
            << false;
    }
    QTest::newRow("jpeg cut in the pixels") << make("cut.jpg", jpg.left(jpg.size() - 40)) << true;
    QTest::newRow("png cut in the pixels") << make("cut.png", png.left(png.size() / 2)) << true;
    QTest::newRow("bmp cut in the pixels") << make("cut.bmp", bmp.left(bmp.size() - 200)) << true;
    // Its sides are there, the rest of the info header (bits per pixel) is not.
    QTest::newRow("bmp cut in the info header") << make("info.bmp", bmp.left(30)) << false;
    QTest::newRow("rle8 cut in the pixels")
        << make("cut-rle.bmp", readWholeFile(sample("rle8.bmp")).chopped(300)) << true;

    // Sides that multiply to billions of pixels: refused before anything is allocated.
    QByteArray hugeJpg = jpg;
    const qsizetype sof = hugeJpg.indexOf("\xFF\xC0");
    QVERIFY(sof > 0);
    qToBigEndian<quint16>(60000, hugeJpg.data() + sof + 5);
    qToBigEndian<quint16>(60000, hugeJpg.data() + sof + 7);
    QTest::newRow("jpeg 60000 x 60000") << make("huge.jpg", hugeJpg) << false;
    QByteArray hugePng = png;
    qToBigEndian<quint32>(200000, hugePng.data() + 16);
    qToBigEndian<quint32>(200000, hugePng.data() + 20);
    qToBigEndian<quint32>(crc32(hugePng.mid(12, 17)), hugePng.data() + 29);
    QTest::newRow("png 200000 x 200000") << make("huge.png", hugePng) << false;
    // Sides whose product does not fit in 64 bits, and one side alone past the limit.
    const auto pngSized = [&](const QString &name, quint32 width, quint32 height) {
        QByteArray bytes = png;
        qToBigEndian<quint32>(width, bytes.data() + 16);
        qToBigEndian<quint32>(height, bytes.data() + 20);
        qToBigEndian<quint32>(crc32(bytes.mid(12, 17)), bytes.data() + 29);
        return make(name, bytes);
    };
    QTest::newRow("png 3221225472 x 3221225472")
        << pngSized("overflow.png", 0xC0000000u, 0xC0000000u) << false;
    QTest::newRow("png 4294967295 x 1") << pngSized("line.png", 0xFFFFFFFFu, 1) << false;
    QByteArray hugeBmp = bmp;
    qToLittleEndian<qint32>(100000, hugeBmp.data() + 18);
    qToLittleEndian<qint32>(-100000, hugeBmp.data() + 22);
    QTest::newRow("bmp 100000 x 100000") << make("huge.bmp", hugeBmp) << false;
    QByteArray zeroBmp = bmp;
    qToLittleEndian<qint32>(0, zeroBmp.data() + 18);
    QTest::newRow("bmp 0 pixels wide") << make("zero.bmp", zeroBmp) << false;
}

void TestImageDecoder::brokenFilesAreRefused()
{
    QFETCH(QString, file);
    QFETCH(bool, headerReadable);
    const ImageFormat format = formatOf(file);
    if (headerReadable)
        QVERIFY(imageDimensions(file, format).isValid());
    else
        QVERIFY_THROWS_EXCEPTION(ImageError, imageDimensions(file, format));
    QVERIFY_THROWS_EXCEPTION(ImageError, decodeImage(file, format));
    QVERIFY_THROWS_EXCEPTION(ImageError, decodeImage(file, format, QSize(5, 5)));
    if (format == ImageFormat::Jpeg)
        QVERIFY_THROWS_EXCEPTION(ImageError, decodeJpegAsBmp24(file));
}

void TestImageDecoder::missingFileIsRefused()
{
    const QString missing = dir_.filePath("missing.jpg");
    for (ImageFormat format : {ImageFormat::Jpeg, ImageFormat::Png, ImageFormat::Bmp}) {
        QVERIFY_THROWS_EXCEPTION(ImageError, imageDimensions(missing, format));
        QVERIFY_THROWS_EXCEPTION(ImageError, decodeImage(missing, format));
    }
}

QTEST_GUILESS_MAIN(TestImageDecoder)
#include "tst_imagedecoder.moc"
