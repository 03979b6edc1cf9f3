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
            b.setColorScheme(GradientButton::NeoSky); // replaced entirely
            applyMainButtonStyle(&b, which);
            QCOMPARE(b.colorScheme(), GradientButton::Custom);
            QVERIFY(b.gradient() && b.hotTrack() && b.transparentGlyph() && !b.tabStop());
            const QImage img = b.paintBitmap();
            for (const QPoint &p : {QPoint(0, 0), QPoint(1, 1), QPoint(24, 18), QPoint(47, 34)})
                QCOMPARE(QColor(img.pixel(p)), background);
            for (int role = GradientButton::roleFace; role < GradientButton::roleBorder; ++role)
                QCOMPARE(b.color(GradientButton::overGroup + role), background);
            QVERIFY(b.overColorBorder() != background); // only the border lights up
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
            faces.insert(b.downColorFace().rgb());
        }
        QCOMPARE(faces.size(), 7);
    }

    void sendButton()
    {
        GradientButton b;
        applyMainButtonStyle(&b, MainButton::Send);
        QCOMPARE(b.layout(), GradientButton::GlyphTop);
        QCOMPARE(b.spacing(), 0);
        QCOMPARE(b.colorText(), QColor(Qt::white));
        QCOMPARE(b.downColorText(), QColor(Qt::white));
        applyMainButtonStyle(&b, MainButton::Screen);
        QCOMPARE(b.layout(), GradientButton::GlyphLeft);
        QCOMPARE(b.spacing(), 4);
        QCOMPARE(b.colorText(), QColor(Qt::black));
    }

    void noButtonGivenIsIgnored() { applyMainButtonStyle(nullptr, MainButton::Send); }
};

QTEST_MAIN(TestMainButtonStyle)
#include "tst_mainbuttonstyle.moc"
