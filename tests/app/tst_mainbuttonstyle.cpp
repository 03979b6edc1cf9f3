// The main window's buttons melt into the window's background while idle and hovered and
// show a pressed colour set that tells the sources apart.
#include "app/MainButtonStyle.h"
#include "controls/GradientButton.h"
#include "core/Colour.h"

#include <QSet>
#include <QTest>

using namespace quorix;

namespace {
const QColor background = bgrColour(5914424);
const QList<MainButton> allButtons = {
    MainButton::Close,   MainButton::Fold,      MainButton::Send,
    MainButton::Options, MainButton::Clipboard, MainButton::Screen,
    MainButton::Window,  MainButton::Slideshow, MainButton::Text};
} // namespace

class TestMainButtonStyle : public QObject
{
    Q_OBJECT

  private slots:
    void idleAndHoveredMeltIntoTheBackground()
    {
        for (MainButton which : allButtons) {
            GradientButton b;
            b.resize(49, 36);
            b.setColourScheme(GradientButton::Scheme::NeoSky); // replaced entirely
            applyMainButtonStyle(&b, which);
            QCOMPARE(b.colourScheme(), GradientButton::Scheme::Custom);
            QVERIFY(b.gradient() && b.hotTrack() && b.transparentGlyph() && !b.tabStop());
            const QImage img = b.paintBitmap();
            for (const QPoint &p : {QPoint(0, 0), QPoint(1, 1), QPoint(24, 18), QPoint(47, 34)})
                QCOMPARE(QColor(img.pixel(p)), background);
            const StateColours &hover = b.colours().hover;
            for (const QColor &c :
                 {hover.face, hover.gradientEnd, hover.bevelDark, hover.bevelLight})
                QCOMPARE(c, background);
            QVERIFY(hover.border != background); // only the border lights up
        }
    }

    void pressedColoursTellTheSourcesApart()
    {
        QSet<QRgb> faces;
        for (MainButton which :
             {MainButton::Clipboard, MainButton::Screen, MainButton::Window, MainButton::Slideshow,
              MainButton::Text, MainButton::Close, MainButton::Fold}) {
            GradientButton b;
            applyMainButtonStyle(&b, which);
            faces.insert(b.colours().pressed.face.rgb());
        }
        QCOMPARE(faces.size(), 7);
    }

    void sendButton()
    {
        GradientButton b;
        applyMainButtonStyle(&b, MainButton::Send);
        QCOMPARE(b.layout(), GradientButton::GlyphLayout::Top);
        QCOMPARE(b.spacing(), 0);
        QCOMPARE(b.colours().normal.text, QColor(Qt::white));
        QCOMPARE(b.colours().pressed.text, QColor(Qt::white));
        applyMainButtonStyle(&b, MainButton::Screen);
        QCOMPARE(b.layout(), GradientButton::GlyphLayout::Left);
        QCOMPARE(b.spacing(), 4);
        QCOMPARE(b.colours().normal.text, QColor(Qt::black));
    }

    void noButtonGivenIsIgnored() { applyMainButtonStyle(nullptr, MainButton::Send); }
};

QTEST_MAIN(TestMainButtonStyle)
#include "tst_mainbuttonstyle.moc"
