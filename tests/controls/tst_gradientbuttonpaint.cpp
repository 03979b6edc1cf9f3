// The gradient button's picture, pixel by pixel: gradient rows, border, bevel, focus
// rectangle, glyph and caption placement, the pressed shift and the disabled colours.
#include "controls/GradientButton.h"
#include "core/Colour.h"

#include <limits>
#include <QApplication>
#include <QTest>

using namespace quorix;

namespace {

const QColor white(255, 255, 255);
const QColor black(0, 0, 0);
const QColor glyphColour(200, 30, 40);

QColor at(const QImage &img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

// Bounding box of the pixels of one exact colour.
QRect boxOf(const QImage &img, const QColor &c)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == c.rgb())
                box |= QRect(x, y, 1, 1);
    return box;
}

// Bounding box of the caption's ink inside the frame: neither face nor glyph.
QRect inkBox(const QImage &img, const QColor &face)
{
    QRect box;
    for (int y = 2; y < img.height() - 2; ++y)
        for (int x = 2; x < img.width() - 2; ++x)
            if (img.pixel(x, y) != face.rgb() && img.pixel(x, y) != glyphColour.rgb())
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage solidGlyph(int w, int h)
{
    QImage g(w, h, QImage::Format_RGB32);
    g.fill(glyphColour);
    return g;
}

// A plain white face with black text and one-colour frame lines, so that every drawn part
// can be told apart.
void makePlain(GradientButton &b)
{
    b.setColorScheme(GradientButton::Custom);
    for (int group :
         {GradientButton::normalGroup, GradientButton::overGroup, GradientButton::downGroup}) {
        b.setColor(group + GradientButton::roleFace, white);
        b.setColor(group + GradientButton::roleGrad, white);
        b.setColor(group + GradientButton::roleText, black);
    }
    b.setGradient(false);
    b.setCtl3D(false);
    b.setTransparentGlyph(false);
}

// A window holding one button at (40, 40). Without a tab stop the button takes no focus
// when the window is shown, so losing it cannot reset the visual state.
struct Host
{
    QWidget window;
    GradientButton *button;
    explicit Host(bool tabStop = false) : button(new GradientButton(&window))
    {
        button->setTabStop(tabStop);
        window.resize(300, 200);
        button->move(40, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
};

} // namespace

class TestGradientButtonPaint : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9)); }

    void gradientRows_data()
    {
        QTest::addColumn<QColor>("face");
        QTest::addColumn<QColor>("grad");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("row");
        QTest::addColumn<QColor>("expected");
        // Rows 0 and H - 1 lie under the border: rows 1 and H - 2 are the first and last
        // visible ones, and they tell n = H apart from n = H - 1.
        QTest::newRow("first visible")
            << QColor(0, 100, 250) << QColor(250, 100, 0) << 25 << 1 << QColor(10, 100, 240);
        QTest::newRow("middle") << QColor(0, 100, 250) << QColor(250, 100, 0) << 25 << 12
                                << QColor(120, 100, 130);
        QTest::newRow("last visible")
            << QColor(0, 100, 250) << QColor(250, 100, 0) << 25 << 23 << QColor(230, 100, 20);
        // 2.5 -> 2, 3.5 -> 4, 0.5 -> 0: halves go to the even neighbour.
        QTest::newRow("halves to even")
            << QColor(0, 0, 0) << QColor(10, 14, 2) << 4 << 1 << QColor(2, 4, 0);
        QTest::newRow("whole values")
            << QColor(0, 0, 0) << QColor(10, 14, 2) << 4 << 2 << QColor(5, 7, 1);
        // 7 - 3 x 7/6 accumulates to 3.4999...: 3, where recomputing per row gives 3.5 -> 4.
        QTest::newRow("accumulated steps")
            << QColor(7, 0, 0) << QColor(0, 0, 0) << 6 << 3 << QColor(3, 0, 0);
    }

    void gradientRows()
    {
        QFETCH(QColor, face);
        QFETCH(QColor, grad);
        QFETCH(int, height);
        QFETCH(int, row);
        QFETCH(QColor, expected);
        GradientButton b;
        b.resize(40, height);
        b.setCtl3D(false);
        b.setColorFace(face);
        b.setColorGrad(grad);
        b.setGradient(true);
        const QImage img = b.paintBitmap();
        QCOMPARE(at(img, 1, row), expected);
        QCOMPARE(at(img, 20, row), expected);
        QCOMPARE(at(img, 38, row), expected);
    }

    void gradientOffPaintsTheFace()
    {
        GradientButton b; // NeoDesert: face 13036799, grad 3653375
        b.setGradient(false);
        const QImage img = b.paintBitmap();
        QCOMPARE(at(img, 10, 21), bgrColour(13036799));
    }

    void frameLines_data()
    {
        QTest::addColumn<bool>("pressed");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("role");
        // 75 x 25: border on the outside, light along x = 1 and y = 1, dark along x = 73 and
        // y = 23; the light line ends where the dark one starts.
        const QList<std::tuple<const char *, QPoint, int>> points = {
            {"border top left", {0, 0}, GradientButton::roleBorder},
            {"border bottom right", {74, 24}, GradientButton::roleBorder},
            {"border left middle", {0, 12}, GradientButton::roleBorder},
            {"border top middle", {37, 0}, GradientButton::roleBorder},
            {"light top left", {1, 1}, GradientButton::roleLight},
            {"light left bottom end", {1, 23}, GradientButton::roleLight},
            {"light top right end", {72, 1}, GradientButton::roleLight},
            {"dark top right corner", {73, 1}, GradientButton::roleDark},
            {"dark right middle", {73, 12}, GradientButton::roleDark},
            {"dark bottom right", {73, 23}, GradientButton::roleDark},
            {"dark bottom left end", {2, 23}, GradientButton::roleDark},
            {"face inside", {2, 2}, GradientButton::roleFace},
        };
        for (bool pressed : {false, true})
            for (const auto &[name, p, role] : points)
                QTest::addRow("%s %s", pressed ? "pressed" : "normal", name)
                    << pressed << p << role;
    }

    void frameLines()
    {
        QFETCH(bool, pressed);
        QFETCH(QPoint, point);
        QFETCH(int, role);
        Host host;
        GradientButton &b = *host.button;
        b.setGradient(false);
        if (pressed)
            QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(30, 10));
        const int group = pressed ? GradientButton::downGroup : GradientButton::normalGroup;
        QCOMPARE(at(b.paintBitmap(), point.x(), point.y()), b.color(group + role));
        if (pressed)
            QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(30, 10));
    }

    void noBevelWithoutCtl3D()
    {
        GradientButton b;
        b.setGradient(false);
        b.setCtl3D(false);
        const QImage img = b.paintBitmap();
        QCOMPARE(at(img, 1, 1), b.colorFace());
        QCOMPARE(at(img, 73, 12), b.colorFace());
        QCOMPARE(at(img, 0, 0), b.colorBorder());
    }

    void focusRectangle()
    {
        Host host(true);
        GradientButton &b = *host.button;
        b.resize(60, 30);
        host.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        b.setFocus();
        QTRY_VERIFY(b.isFocused());
        const QImage img = b.paintBitmap();
        const QColor focus = b.colorFocusRect();
        // The outline (3, 3, 57, 27): x 3 ... 56, y 3 ... 26.
        for (const QPoint &p : {QPoint(3, 3), QPoint(56, 3), QPoint(3, 26), QPoint(56, 26),
                                QPoint(30, 3), QPoint(30, 26), QPoint(3, 15), QPoint(56, 15)})
            QCOMPARE(at(img, p.x(), p.y()), focus);
        QVERIFY(at(img, 57, 15) != focus);
        QVERIFY(at(img, 4, 15) != focus);
        QVERIFY(at(img, 30, 27) != focus);

        host.window.setFocus();
        QTRY_VERIFY(!b.isFocused());
        QVERIFY(at(b.paintBitmap(), 3, 3) != focus);
    }

    void glyphAndCaptionPlacement_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("spacing");
        QTest::addColumn<QSize>("glyphSize");
        QTest::addColumn<QPoint>("glyphOffset"); // from the anchor below
        QTest::addColumn<QPoint>("captionMove"); // against the caption without a glyph
        // Anchors: left: (centred caption x, (H - gh) / 2); right: (caption x + width, same);
        // top: ((W - gw) / 2, centred caption y); bottom: (same, caption y + height).
        using B = GradientButton;
        const QSize even(10, 8), odd(11, 9);
        QTest::newRow("left 4") << int(B::GlyphLeft) << 4 << even << QPoint(-7, 0) << QPoint(7, 0);
        QTest::newRow("left 5") << int(B::GlyphLeft) << 5 << even << QPoint(-8, 0) << QPoint(7, 0);
        QTest::newRow("left 0 touching")
            << int(B::GlyphLeft) << 0 << even << QPoint(-5, 0) << QPoint(5, 0);
        QTest::newRow("right 4") << int(B::GlyphRight) << 4 << even << QPoint(-3, 0)
                                 << QPoint(-7, 0);
        QTest::newRow("right 5") << int(B::GlyphRight) << 5 << even << QPoint(-2, 0)
                                 << QPoint(-7, 0);
        QTest::newRow("right 5 odd glyph")
            << int(B::GlyphRight) << 5 << odd << QPoint(-2, 0) << QPoint(-7, 0);
        QTest::newRow("top 4") << int(B::GlyphTop) << 4 << even << QPoint(0, -6) << QPoint(0, 6);
        QTest::newRow("top 5") << int(B::GlyphTop) << 5 << even << QPoint(0, -7) << QPoint(0, 6);
        QTest::newRow("top 4 odd glyph")
            << int(B::GlyphTop) << 4 << odd << QPoint(0, -7) << QPoint(0, 6);
        QTest::newRow("bottom 4") << int(B::GlyphBottom) << 4 << even << QPoint(0, -2)
                                  << QPoint(0, -6);
        QTest::newRow("bottom 5") << int(B::GlyphBottom) << 5 << even << QPoint(0, -1)
                                  << QPoint(0, -6);
        QTest::newRow("bottom 5 odd glyph")
            << int(B::GlyphBottom) << 5 << odd << QPoint(0, -1) << QPoint(0, -6);
    }

    void glyphAndCaptionPlacement()
    {
        QFETCH(int, layout);
        QFETCH(int, spacing);
        QFETCH(QSize, glyphSize);
        QFETCH(QPoint, glyphOffset);
        QFETCH(QPoint, captionMove);
        GradientButton b;
        b.resize(120, 60);
        makePlain(b);
        b.setCaption(QStringLiteral("Go"));
        const QRect captionAlone = inkBox(b.paintBitmap(), white);
        QVERIFY(!captionAlone.isEmpty());

        b.setLayout(GradientButton::GlyphLayout(layout));
        b.setSpacing(spacing);
        b.setGlyph(solidGlyph(glyphSize.width(), glyphSize.height()));
        const QImage img = b.paintBitmap();
        const QFontMetrics fm(b.font(), &b);
        const int tw = fm.horizontalAdvance(b.caption()), th = fm.height();
        const int tx = (120 - tw) / 2, ty = (60 - th) / 2;
        QPoint anchor;
        switch (layout) {
        case GradientButton::GlyphLeft:
            anchor = {tx, (60 - glyphSize.height()) / 2};
            break;
        case GradientButton::GlyphRight:
            anchor = {tx + tw, (60 - glyphSize.height()) / 2};
            break;
        case GradientButton::GlyphTop:
            anchor = {(120 - glyphSize.width()) / 2, ty};
            break;
        case GradientButton::GlyphBottom:
            anchor = {(120 - glyphSize.width()) / 2, ty + th};
            break;
        }
        QCOMPARE(boxOf(img, glyphColour), QRect(anchor + glyphOffset, glyphSize));
        QCOMPARE(inkBox(img, white), captionAlone.translated(captionMove));
    }

    void glyphAloneIsCentred_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<QSize>("buttonSize");
        QTest::addColumn<QSize>("glyphSize");
        QTest::addColumn<QPoint>("glyphAt");
        using B = GradientButton;
        for (int l : {B::GlyphLeft, B::GlyphRight, B::GlyphTop, B::GlyphBottom})
            QTest::addRow("layout %d", l) << l << QSize(120, 60) << QSize(10, 8) << QPoint(55, 26);
        // The main window's Send button: 49 x 36, a 32 x 32 glyph on top, spacing 0.
        QTest::newRow("send button")
            << int(B::GlyphTop) << QSize(49, 36) << QSize(32, 32) << QPoint(8, 2);
        // A glyph larger than the button: negative halves truncate towards zero.
        QTest::newRow("glyph larger than button")
            << int(B::GlyphLeft) << QSize(20, 20) << QSize(31, 31) << QPoint(-5, -5);
    }

    void glyphAloneIsCentred()
    {
        QFETCH(int, layout);
        QFETCH(QSize, buttonSize);
        QFETCH(QSize, glyphSize);
        QFETCH(QPoint, glyphAt);
        GradientButton b;
        b.resize(buttonSize);
        makePlain(b);
        b.setSpacing(5); // no caption: the spacing plays no part
        b.setLayout(GradientButton::GlyphLayout(layout));
        b.setGlyph(solidGlyph(glyphSize.width(), glyphSize.height()));
        const QRect expected = QRect(glyphAt, glyphSize) & QRect(QPoint(0, 0), buttonSize);
        // The border is drawn over the glyph.
        QCOMPARE(boxOf(b.paintBitmap(), glyphColour),
                 expected.adjusted(expected.left() == 0, expected.top() == 0,
                                   -(expected.right() == buttonSize.width() - 1),
                                   -(expected.bottom() == buttonSize.height() - 1)));
    }

    void pressedShiftsGlyphAndCaption()
    {
        Host host;
        GradientButton &b = *host.button;
        b.resize(120, 60);
        makePlain(b);
        b.setCaption(QStringLiteral("Go"));
        b.setGlyph(solidGlyph(10, 8));
        const QImage normal = b.paintBitmap();
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(b.visualState(), GradientButton::DownState);
        const QImage down = b.paintBitmap();
        QCOMPARE(boxOf(down, glyphColour), boxOf(normal, glyphColour).translated(1, 1));
        QCOMPARE(inkBox(down, white), inkBox(normal, white).translated(1, 1));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(3, 3));
    }

    void transparentGlyphShowsTheFace()
    {
        QImage g(12, 12, QImage::Format_RGB32);
        g.fill(QColor(0, 255, 0)); // the key: its top-left pixel
        for (int y = 4; y < 8; ++y)
            for (int x = 4; x < 8; ++x)
                g.setPixel(x, y, glyphColour.rgb());
        GradientButton b;
        b.resize(40, 40);
        makePlain(b);
        b.setGlyph(g);
        b.setTransparentGlyph(true);
        QImage img = b.paintBitmap();
        QCOMPARE(boxOf(img, glyphColour), QRect(18, 18, 4, 4));
        QVERIFY(boxOf(img, QColor(0, 255, 0)).isEmpty());
        b.setTransparentGlyph(false);
        img = b.paintBitmap();
        QCOMPARE(boxOf(img, QColor(0, 255, 0)), QRect(14, 14, 12, 12));
    }

    void acceleratorIsUnderlinedNotDrawn()
    {
        GradientButton b;
        b.resize(120, 40);
        makePlain(b);
        const QFontMetrics fm(b.font(), &b);
        const int baseline = (40 - fm.height()) / 2 + fm.ascent();
        const auto split = [&](const QString &caption) {
            b.setCaption(caption);
            const QImage img = b.paintBitmap();
            const QRect ink = inkBox(img, white);
            const QRect letters = inkBox(img.copy(0, 0, 120, baseline + 1), white);
            return std::pair{letters, ink.bottom() > baseline ? ink : QRect()};
        };
        const auto [plainLetters, plainBelow] = split(QStringLiteral("W"));
        const auto [markedLetters, markedBelow] = split(QStringLiteral("&W"));
        // The "&" is not drawn: the ink above the baseline is one W wide.
        QVERIFY(!plainLetters.isEmpty());
        QVERIFY(qAbs(markedLetters.width() - plainLetters.width()) <= 1);
        // A line under the letter, which a plain W does not have below its baseline.
        QVERIFY(plainBelow.isNull());
        QVERIFY(!markedBelow.isNull());
        QVERIFY(markedBelow.left() >= markedLetters.left() - 1);
        QVERIFY(markedBelow.right() <= markedLetters.right() + 1);
    }

    void disabledColoursWin_data()
    {
        QTest::addColumn<bool>("hover");
        QTest::addColumn<bool>("hold");
        QTest::newRow("idle") << false << false;
        QTest::newRow("hovered") << true << false;
        QTest::newRow("held") << false << true;
    }

    void disabledColoursWin()
    {
        QFETCH(bool, hover);
        QFETCH(bool, hold);
        Host host;
        GradientButton &b = *host.button;
        b.setCaption(QStringLiteral("Go"));
        QVERIFY(QTest::qWaitForWindowExposed(&host.window));
        if (hover) {
            QTest::mouseMove(&b, QPoint(30, 12));
            QTRY_COMPARE(b.visualState(), GradientButton::HotState);
        }
        if (hold) {
            QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(30, 12));
            QCOMPARE(b.visualState(), GradientButton::DownState);
        }
        b.setEnabled(false);
        QCOMPARE(b.visualState(), hold    ? GradientButton::DownState
                                  : hover ? GradientButton::HotState
                                          : GradientButton::NormalState);
        const QImage img = b.paintBitmap();
        QCOMPARE(at(img, 0, 0), b.disabledColorBorder());
        QCOMPARE(at(img, 1, 1), b.disabledColorLight());
        QCOMPARE(at(img, 73, 12), b.disabledColorDark());
        // The gradient runs from the disabled face (15658734) towards white.
        QCOMPARE(at(img, 2, 2).red(), 238 + 2 * (255 - 238) / 25);
        QVERIFY(boxOf(img, b.disabledColorText()).isValid());
        if (hold)
            QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(30, 12));
    }

    void degenerateSizesDoNotFail_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("height 0") << QSize(75, 0);
        QTest::newRow("width 0") << QSize(0, 25);
        QTest::newRow("1 x 1") << QSize(1, 1);
        QTest::newRow("2 x 2") << QSize(2, 2);
        QTest::newRow("5 x 3") << QSize(5, 3);
    }

    void degenerateSizesDoNotFail()
    {
        QFETCH(QSize, size);
        GradientButton b;
        b.setCaption(QStringLiteral("&Long caption"));
        b.setGlyph(solidGlyph(32, 32));
        b.resize(size);
        // Extreme spacings too: no arithmetic may overflow.
        for (int spacing : {4, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
            b.setSpacing(spacing);
            for (int layout = 0; layout < 4; ++layout) {
                b.setLayout(GradientButton::GlyphLayout(layout));
                const QImage img = b.paintBitmap();
                QCOMPARE(img.size(), size.isEmpty() ? QSize(0, 0) : size);
            }
        }
    }
};

QTEST_MAIN(TestGradientButtonPaint)
#include "tst_gradientbuttonpaint.moc"
