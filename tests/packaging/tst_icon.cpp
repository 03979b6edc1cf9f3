// The installed icon is the mark the program draws for itself, at every size.
#include "app/Glyphs.h"
#include "packaging/IconRender.h"

#include <QTest>

#include <algorithm>
#include <cstdlib>

using namespace quorix;

namespace {

const QString kSvg = QStringLiteral(QUORIX_ICON_SVG);

// Mean and largest difference of any channel, alpha included, over two same-sized images.
struct Difference
{
    double mean = 0;
    int largest = 0;
};
Difference difference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    const QImage y = b.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    Difference d;
    qint64 sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row);
        const uchar *q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 4; ++i) {
            const int delta = std::abs(int(p[i]) - int(q[i]));
            sum += delta;
            d.largest = std::max(d.largest, delta);
        }
    }
    d.mean = double(sum) / (x.width() * x.height() * 4);
    return d;
}

} // namespace

class TestIcon : public QObject
{
    Q_OBJECT

  private slots:
    void matchesTheProgramsOwnMark()
    {
        const QImage drawn = programIcon();
        const QImage svg = renderIcon(kSvg, drawn.width());
        QCOMPARE(svg.size(), drawn.size());
        const Difference d = difference(svg, drawn);
        // Two antialiasing rasterisers disagree only along edges.
        QVERIFY2(d.mean < 0.5, qPrintable(QStringLiteral("mean %1").arg(d.mean)));
        QVERIFY2(d.largest < 16, qPrintable(QStringLiteral("largest %1").arg(d.largest)));
    }

    void everySize_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 48, 256})
            QTest::addRow("%d", size) << size;
    }
    void everySize()
    {
        QFETCH(int, size);
        const QImage icon = renderIcon(kSvg, size);
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0); // rounded corner
        QCOMPARE(qAlpha(icon.pixel(size / 2, size / 8)), 255);
        // The same picture as the 32 pixel one, the larger of the two scaled down.
        const QImage reference = renderIcon(kSvg, 32);
        const int small = std::min(size, 32);
        const auto shrink = [small](const QImage &image) {
            return image.scaled(small, small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        const Difference d = difference(shrink(icon), shrink(reference));
        QVERIFY2(d.mean < 6.0, qPrintable(QStringLiteral("mean %1").arg(d.mean)));
    }

    void unreadableSvg()
    {
        QVERIFY(renderIcon(QStringLiteral(QUORIX_TEST_DATA "/no-such.svg"), 32).isNull());
        QVERIFY(renderIcon(kSvg, 0).isNull());
    }
};

QTEST_MAIN(TestIcon)
#include "tst_icon.moc"
