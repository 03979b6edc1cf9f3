// The gradient button's creation values, colour schemes, colour properties and the colour
// sets that windows give their buttons.
#include "controls/GradientButton.h"
#include "controls/GradientButtonPalettes.h"
#include "core/Colour.h"

#include <QMetaProperty>
#include <QTest>

using namespace quorix;

class TestGradientButtonSchemes : public QObject
{
    Q_OBJECT

  private slots:
    void creationValues()
    {
        GradientButton b;
        QCOMPARE(b.size(), QSize(75, 25));
        QCOMPARE(b.colorScheme(), GradientButton::NeoDesert);
        QVERIFY(b.gradient());
        QVERIFY(b.ctl3D());
        QVERIFY(b.transparentGlyph());
        QVERIFY(b.hotTrack());
        QVERIFY(b.tabStop());
        QCOMPARE(b.layout(), GradientButton::GlyphLeft);
        QCOMPARE(b.spacing(), 4);
        QVERIFY(!b.cancel());
        QVERIFY(!b.isDefault());
        QCOMPARE(b.modalResult(), ModalResult::None);
        QVERIFY(b.glyph().isNull());
        QCOMPARE(b.colorFace(), bgrColour(13036799));
        QCOMPARE(b.colorGrad(), bgrColour(3653375));
        QCOMPARE(b.colorFocusRect(), bgrColour(4227327));
        // The hover, press and disabled gradients end in white.
        QCOMPARE(b.overColorGrad(), QColor(Qt::white));
        QCOMPARE(b.downColorGrad(), QColor(Qt::white));
        QCOMPARE(b.disabledColorGrad(), QColor(Qt::white));
    }

    void schemes_data()
    {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<uint>("face");
        QTest::addColumn<uint>("downLight");
        QTest::addColumn<uint>("disabledFace");
        QTest::addColumn<uint>("focusRect");
        QTest::addColumn<bool>("gradient");
        using B = GradientButton;
        QTest::newRow("NeoDesert")
            << int(B::NeoDesert) << 13036799u << 30647u << 15658734u << 4227327u << true;
        QTest::newRow("NeoSky") << int(B::NeoSky) << 16772829u << 16752190u << 15658734u
                                << 16755027u << true;
        QTest::newRow("NeoGrass") << int(B::NeoGrass) << 14547432u << 1539390u << 15658734u
                                  << 2406748u << true;
        QTest::newRow("NeoSilver")
            << int(B::NeoSilver) << 15987699u << 8158332u << 15658734u << 11382189u << true;
        QTest::newRow("NeoRose") << int(B::NeoRose) << 15263999u << 6184703u << 15658734u
                                 << 6184703u << true;
        QTest::newRow("NeoSun") << int(B::NeoSun) << 15794175u << 33924u << 15658734u << 48059u
                                << true;
        QTest::newRow("Desert") << int(B::Desert) << 9821695u << 30647u << 14869218u << 4227327u
                                << false;
        QTest::newRow("Grass") << int(B::Grass) << 10021815u << 1539390u << 14869218u << 42017u
                               << false;
        QTest::newRow("Sky") << int(B::Sky) << 16769217u << 16748834u << 14869218u << 14457620u
                             << false;
        QTest::newRow("Sun") << int(B::Sun) << 11075583u << 33924u << 14869218u << 36084u << false;
        QTest::newRow("Rose") << int(B::Rose) << 13027071u << 6184703u << 14869218u << 6184703u
                              << false;
        QTest::newRow("Silver") << int(B::Silver) << 14737632u << 8158332u << 14869218u << 9079434u
                                << false;
    }

    void schemes()
    {
        QFETCH(int, scheme);
        QFETCH(uint, face);
        QFETCH(uint, downLight);
        QFETCH(uint, disabledFace);
        QFETCH(uint, focusRect);
        QFETCH(bool, gradient);
        GradientButton b;
        b.setColorScheme(GradientButton::Custom);
        b.setGradient(!gradient);
        for (int slot : {1, 7, 13, 19})
            b.setColor(slot, QColor(1, 2, 3));
        b.setColorScheme(GradientButton::Scheme(scheme));
        QCOMPARE(int(b.colorScheme()), scheme);
        QCOMPARE(b.gradient(), gradient);
        QCOMPARE(b.colorFace(), bgrColour(face));
        QCOMPARE(b.downColorLight(), bgrColour(downLight));
        QCOMPARE(b.disabledColorFace(), bgrColour(disabledFace));
        QCOMPARE(b.colorFocusRect(), bgrColour(focusRect));
        QCOMPARE(b.colorText(), QColor(Qt::black));
        // Only the Neo schemes write the grad slots.
        for (int slot : {1, 7, 13, 19})
            QCOMPARE(b.color(slot) == QColor(1, 2, 3), !gradient);
    }

    void skyKeepsAGradSetBefore()
    {
        GradientButton b;
        b.setColorGrad(bgrColour(12345));
        b.setColorScheme(GradientButton::Sky);
        QCOMPARE(b.colorGrad(), bgrColour(12345));
        QVERIFY(!b.gradient());
        QCOMPARE(b.colorScheme(), GradientButton::Sky);
    }

    void singleColourSwitchesToCustom_data()
    {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("overwrittenAgain");
        QTest::newRow("face, Neo") << int(GradientButton::NeoSky) << 0 << true;
        QTest::newRow("grad, Neo") << int(GradientButton::NeoSky) << 13 << true;
        QTest::newRow("focus, plain") << int(GradientButton::Sky) << 24 << true;
        QTest::newRow("grad, plain") << int(GradientButton::Sky) << 7 << false;
    }

    void singleColourSwitchesToCustom()
    {
        QFETCH(int, scheme);
        QFETCH(int, slot);
        QFETCH(bool, overwrittenAgain);
        GradientButton b;
        b.setColorScheme(GradientButton::Scheme(scheme));
        const QColor before = b.color(slot);
        b.setColor(slot, QColor(9, 8, 7));
        QCOMPARE(b.colorScheme(), GradientButton::Custom);
        QCOMPARE(b.color(slot), QColor(9, 8, 7));
        b.setColorScheme(GradientButton::Scheme(scheme));
        QCOMPARE(b.color(slot), overwrittenAgain ? before : QColor(9, 8, 7));
    }

    void customWritesNothing()
    {
        GradientButton b;
        b.setGradient(false);
        b.setColorScheme(GradientButton::Custom);
        QCOMPARE(b.colorFace(), bgrColour(13036799));
        QVERIFY(!b.gradient());
    }

    void badSlotsAndSchemesAreIgnored()
    {
        GradientButton b;
        b.setColor(-1, Qt::red);
        b.setColor(25, Qt::red);
        QCOMPARE(b.colorScheme(), GradientButton::NeoDesert);
        QVERIFY(!b.color(25).isValid());
        b.setColorScheme(GradientButton::Scheme(13));
        b.setColorScheme(GradientButton::Scheme(-1));
        QCOMPARE(b.colorScheme(), GradientButton::NeoDesert);
    }

    void colourPropertiesInSlotOrder()
    {
        const char *names[] = {
            "colorFace",         "colorGrad",          "colorDark",           "colorLight",
            "colorBorder",       "colorText",          "overColorFace",       "overColorGrad",
            "overColorDark",     "overColorLight",     "overColorBorder",     "overColorText",
            "downColorFace",     "downColorGrad",      "downColorDark",       "downColorLight",
            "downColorBorder",   "downColorText",      "disabledColorFace",   "disabledColorGrad",
            "disabledColorDark", "disabledColorLight", "disabledColorBorder", "disabledColorText",
            "colorFocusRect"};
        const QMetaObject &mo = GradientButton::staticMetaObject;
        const int first = mo.propertyOffset();
        for (int slot = 0; slot < GradientButton::slotCount; ++slot) {
            QCOMPARE(mo.property(first + slot).name(), names[slot]);
            GradientButton b;
            const QColor c(slot, 100, 200);
            QVERIFY(b.setProperty(names[slot], c));
            QCOMPARE(b.color(slot), c);
            QCOMPARE(b.property(names[slot]).value<QColor>(), c);
            QCOMPARE(b.colorScheme(), GradientButton::Custom);
        }
        GradientButton b;
        QVERIFY(b.setProperty("colorScheme", QStringLiteral("Sky")));
        QCOMPARE(b.colorScheme(), GradientButton::Sky);
    }

    void paletteWritesEverySlot()
    {
        GradientButton b;
        GradientButtonPalette p{{1, 2, 3, 4, 5, 6},
                                {7, 8, 9, 10, 11, 12},
                                {13, 14, 15, 16, 17, 18},
                                {19, 20, 21, 22, 23, 24},
                                25};
        applyPalette(b, p);
        for (int slot = 0; slot < GradientButton::slotCount; ++slot)
            QCOMPARE(b.color(slot), bgrColour(std::uint32_t(slot + 1)));
        QCOMPARE(b.colorScheme(), GradientButton::Custom);
    }

    void setupListButtons_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<uint>("hoverFace");
        QTest::addColumn<uint>("hoverGrad");
        QTest::addColumn<uint>("hoverText");
        QTest::newRow("Add Files")
            << int(SetupListButton::AddFiles) << 14024703u << 0x00FFFFu << 0u;
        QTest::newRow("Open Files List")
            << int(SetupListButton::OpenList) << 0x808080u << 0xFF0000u << 0xFFFFFFu;
        QTest::newRow("Save Files List")
            << int(SetupListButton::SaveList) << 0x808080u << 12615680u << 0xFFFFFFu;
        QTest::newRow("Remove") << int(SetupListButton::Remove) << 0x808080u << 0x0000FFu
                                << 0xFFFFFFu;
    }

    void setupListButtons()
    {
        QFETCH(int, which);
        QFETCH(uint, hoverFace);
        QFETCH(uint, hoverGrad);
        QFETCH(uint, hoverText);
        GradientButton b;
        applySetupListStyle(b, SetupListButton(which));
        QCOMPARE(b.colorScheme(), GradientButton::Custom);
        QCOMPARE(b.overColorFace(), bgrColour(hoverFace));
        QCOMPARE(b.overColorGrad(), bgrColour(hoverGrad));
        QCOMPARE(b.overColorText(), bgrColour(hoverText));
        // Shared by all four.
        QCOMPARE(b.colorFace(), bgrColour(15987699));
        QCOMPARE(b.colorGrad(), bgrColour(12369084));
        QCOMPARE(b.overColorBorder(), bgrColour(7697781));
        QCOMPARE(b.downColorLight(), bgrColour(8158332));
        QCOMPARE(b.disabledColorText(), bgrColour(0x808080));
        QCOMPARE(b.colorFocusRect(), bgrColour(11382189));
        QVERIFY(b.gradient());
        QVERIFY(!b.tabStop());
    }
};

QTEST_MAIN(TestGradientButtonSchemes)
#include "tst_gradientbuttonschemes.moc"
