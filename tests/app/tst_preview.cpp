// The preview fit and the in-place stretch.
#include "support/AppFixture.h"

#include "capture/FastScale.h"
#include "capture/PreviewFit.h"

#include <QLabel>
#include <QTest>
#include <stdexcept>

using namespace quorix;

class TestPreview : public QObject
{
    Q_OBJECT

  private slots:
    void sizes_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("preview");
        QTest::newRow("4:3 landscape overflows") << QSize(1024, 768) << QSize(407, 305);
        QTest::newRow("full hd") << QSize(1920, 1080) << QSize(407, 228);
        QTest::newRow("portrait") << QSize(768, 1024) << QSize(198, 264);
        QTest::newRow("square takes portrait") << QSize(500, 500) << QSize(264, 264);
        QTest::newRow("one pixel") << QSize(1, 1) << QSize(264, 264);
        QTest::newRow("thin landscape") << QSize(2000, 10) << QSize(407, 2);
        QTest::newRow("thin portrait") << QSize(10, 2000) << QSize(1, 264);
        QTest::newRow("too thin to show") << QSize(1, 265) << QSize(0, 264);
        QTest::newRow("window 800x600") << QSize(800, 600) << QSize(407, 305);
    }
    void sizes()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, preview);
        QCOMPARE(previewSize(source), preview);
    }

    void emptySourceKeepsThePreview()
    {
        AppFixture app;
        QImage shot(1024, 768, QImage::Format_RGB32);
        shot.fill(Qt::red);
        app.main->showPreview(shot);
        QCOMPARE(app.main->preview_->pixmap().size(), QSize(407, 305));
        QVERIFY_THROWS_EXCEPTION(std::domain_error, app.main->showPreview(QImage()));
        QCOMPARE(app.main->preview_->pixmap().size(), QSize(407, 305));
        QCOMPARE(app.main->preview_->pixmap().toImage().pixel(200, 150), qRgb(255, 0, 0));
    }

    // The preview's resize: down from a screen, up from a small picture, one-pixel sides.
    // It keeps flat areas exact, keeps edges where they were (within a pixel) and never
    // reads outside the source (the sanitizer build would tell).
    void fastScaleKeepsThePicture_data()
    {
        QTest::addColumn<QSize>("from");
        QTest::addColumn<QSize>("to");
        QTest::newRow("screen to preview") << QSize(1920, 1080) << QSize(407, 228);
        QTest::newRow("small picture up") << QSize(30, 20) << QSize(407, 271);
        QTest::newRow("one column") << QSize(1, 500) << QSize(1, 264);
        QTest::newRow("one row up") << QSize(7, 1) << QSize(407, 58);
        QTest::newRow("odd sizes") << QSize(1023, 767) << QSize(407, 305);
    }
    void fastScaleKeepsThePicture()
    {
        QFETCH(QSize, from);
        QFETCH(QSize, to);
        // Left half red, right half blue.
        QImage source(from, QImage::Format_RGB32);
        for (int y = 0; y < from.height(); ++y)
            for (int x = 0; x < from.width(); ++x)
                source.setPixel(x, y,
                                x < (from.width() + 1) / 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        const QImage out = scaleBilinear(source, to);
        QCOMPARE(out.size(), to);
        QCOMPARE(out.format(), QImage::Format_RGB32);
        const int edge = to.width() * ((from.width() + 1) / 2) / from.width();
        // Upwards one source pixel spans several output pixels: so does the blend.
        const int blend = to.width() / from.width() + 1;
        for (int y = 0; y < to.height(); ++y)
            for (int x = 0; x < to.width(); ++x) {
                const QRgb p = out.pixel(x, y);
                if (from.width() == 1 || x < edge - blend)
                    QCOMPARE(p, qRgb(255, 0, 0));
                else if (x > edge + blend)
                    QCOMPARE(p, qRgb(0, 0, 255));
                QCOMPARE(qGreen(p), 0);
                QVERIFY(qRed(p) + qBlue(p) >= 253 && qRed(p) + qBlue(p) <= 255);
            }
    }

    void resizeStretchesInPlace()
    {
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(MainWindow::resizeBitmap(image, 4, 2));
        QCOMPARE(image.size(), QSize(4, 2));
        QVERIFY(MainWindow::resizeBitmap(image, 3, 9)); // aspect not kept
        QCOMPARE(image.size(), QSize(3, 9));
        QCOMPARE(image.pixel(1, 8), qRgb(0, 0, 255));
        QVERIFY(!MainWindow::resizeBitmap(image, -1, 5));
        QCOMPARE(image.size(), QSize(3, 9));
    }
};

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
