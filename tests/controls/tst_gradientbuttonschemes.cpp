// The gradient button's creation values, colour schemes, colour properties and the colour
// sets that windows give their buttons.
#include "controls/GradientButton.h"
#include "controls/GradientButtonPalettes.h"
#include "core/Colour.h"

#include <QMetaProperty>
#include <QTest>

using namespace quorix;

namespace {

QList<StateColours *> statesOf(ButtonColours &c)
{
    return {&c.normal, &c.hover, &c.pressed, &c.disabled};
}

// The 25 colours by name, in the order the window layouts list them.
QStringList colourNames()
{
    QStringList names;
    for (const char *state : {"normal", "hover", "pressed", "disabled"})
        for (const char *role :
             {"face", "gradientEnd", "bevelDark", "bevelLight", "border", "text"})
            names << QStringLiteral("%1.%2").arg(QLatin1String(state), QLatin1String(role));
    return names << QStringLiteral("focusRect");
}

QColor &namedColour(ButtonColours &c, const QString &name)
{
    if (name == QLatin1String("focusRect"))
        return c.focusRect;
    const QStringList parts = name.split(QLatin1Char('.'));
    StateColours *state = statesOf(c).value(
        QStringList{"normal", "hover", "pressed", "disabled"}.indexOf(parts.value(0)));
    const QString role = parts.value(1);
    if (role == QLatin1String("gradientEnd"))
        return state->gradientEnd;
    if (role == QLatin1String("bevelDark"))
        return state->bevelDark;
    if (role == QLatin1String("bevelLight"))
        return state->bevelLight;
    if (role == QLatin1String("border"))
        return state->border;
    if (role == QLatin1String("text"))
        return state->text;
    return state->face;
}

QColor colourNamed(ButtonColours c, const QString &name)
{
    return namedColour(c, name);
}

} // namespace

class TestGradientButtonSchemes : public QObject
{
    Q_OBJECT

  private slots:
    void creationValues()
    {
        GradientButton b;
        QCOMPARE(b.size(), QSize(75, 25));
        QCOMPARE(b.colourScheme(), GradientButton::Scheme::NeoDesert);
        QVERIFY(b.gradient());
        QVERIFY(b.bevel());
        QVERIFY(b.transparentGlyph());
        QVERIFY(b.hotTrack());
        QVERIFY(b.tabStop());
        QCOMPARE(b.layout(), GradientButton::GlyphLayout::Left);
        QCOMPARE(b.spacing(), 4);
        QVERIFY(!b.cancel());
        QVERIFY(!b.isDefault());
        QCOMPARE(b.modalResult(), ModalResult::None);
        QVERIFY(b.glyph().isNull());
        QCOMPARE(b.colours().normal.face, bgrColour(13036799));
        QCOMPARE(b.colours().normal.gradientEnd, bgrColour(3653375));
        QCOMPARE(b.colours().focusRect, bgrColour(4227327));
        // The hover, press and disabled gradients end in white.
        QCOMPARE(b.colours().hover.gradientEnd, QColor(Qt::white));
        QCOMPARE(b.colours().pressed.gradientEnd, QColor(Qt::white));
        QCOMPARE(b.colours().disabled.gradientEnd, QColor(Qt::white));
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
            << int(B::Scheme::NeoDesert) << 13036799u << 30647u << 15658734u << 4227327u << true;
        QTest::newRow("NeoSky") << int(B::Scheme::NeoSky) << 16772829u << 16752190u << 15658734u
                                << 16755027u << true;
        QTest::newRow("NeoGrass") << int(B::Scheme::NeoGrass) << 14547432u << 1539390u << 15658734u
                                  << 2406748u << true;
        QTest::newRow("NeoSilver")
            << int(B::Scheme::NeoSilver) << 15987699u << 8158332u << 15658734u << 11382189u << true;
        QTest::newRow("NeoRose") << int(B::Scheme::NeoRose) << 15263999u << 6184703u << 15658734u
                                 << 6184703u << true;
        QTest::newRow("NeoSun") << int(B::Scheme::NeoSun) << 15794175u << 33924u << 15658734u
                                << 48059u << true;
        QTest::newRow("Desert") << int(B::Scheme::Desert) << 9821695u << 30647u << 14869218u
                                << 4227327u << false;
        QTest::newRow("Grass") << int(B::Scheme::Grass) << 10021815u << 1539390u << 14869218u
                               << 42017u << false;
        QTest::newRow("Sky") << int(B::Scheme::Sky) << 16769217u << 16748834u << 14869218u
                             << 14457620u << false;
        QTest::newRow("Sun") << int(B::Scheme::Sun) << 11075583u << 33924u << 14869218u << 36084u
                             << false;
        QTest::newRow("Rose") << int(B::Scheme::Rose) << 13027071u << 6184703u << 14869218u
                              << 6184703u << false;
        QTest::newRow("Silver") << int(B::Scheme::Silver) << 14737632u << 8158332u << 14869218u
                                << 9079434u << false;
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
        b.setColourScheme(GradientButton::Scheme::Custom);
        b.setGradient(!gradient);
        ButtonColours before = b.colours();
        for (StateColours *state : statesOf(before))
            state->gradientEnd = QColor(1, 2, 3);
        b.setColours(before);
        b.setColourScheme(GradientButton::Scheme(scheme));
        QCOMPARE(int(b.colourScheme()), scheme);
        QCOMPARE(b.gradient(), gradient);
        QCOMPARE(b.colours().normal.face, bgrColour(face));
        QCOMPARE(b.colours().pressed.bevelLight, bgrColour(downLight));
        QCOMPARE(b.colours().disabled.face, bgrColour(disabledFace));
        QCOMPARE(b.colours().focusRect, bgrColour(focusRect));
        QCOMPARE(b.colours().normal.text, QColor(Qt::black));
        // Only the Neo schemes write the gradient ends.
        ButtonColours after = b.colours();
        for (StateColours *state : statesOf(after))
            QCOMPARE(state->gradientEnd == QColor(1, 2, 3), !gradient);
    }

    void skyKeepsAGradSetBefore()
    {
        GradientButton b;
        ButtonColours colours = b.colours();
        colours.normal.gradientEnd = bgrColour(12345);
        b.setColours(colours);
        b.setColourScheme(GradientButton::Scheme::Sky);
        QCOMPARE(b.colours().normal.gradientEnd, bgrColour(12345));
        QVERIFY(!b.gradient());
        QCOMPARE(b.colourScheme(), GradientButton::Scheme::Sky);
    }

    void singleColourSwitchesToCustom_data()
    {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<QString>("colour");
        QTest::addColumn<bool>("overwrittenAgain");
        QTest::newRow("face, Neo") << int(GradientButton::Scheme::NeoSky) << "normal.face" << true;
        QTest::newRow("grad, Neo")
            << int(GradientButton::Scheme::NeoSky) << "pressed.gradientEnd" << true;
        QTest::newRow("focus, plain") << int(GradientButton::Scheme::Sky) << "focusRect" << true;
        QTest::newRow("grad, plain")
            << int(GradientButton::Scheme::Sky) << "hover.gradientEnd" << false;
    }

    void singleColourSwitchesToCustom()
    {
        QFETCH(int, scheme);
        QFETCH(QString, colour);
        QFETCH(bool, overwrittenAgain);
        GradientButton b;
        b.setColourScheme(GradientButton::Scheme(scheme));
        const QColor before = colourNamed(b.colours(), colour);
        ButtonColours changed = b.colours();
        namedColour(changed, colour) = QColor(9, 8, 7);
        b.setColours(changed);
        QCOMPARE(b.colourScheme(), GradientButton::Scheme::Custom);
        QCOMPARE(colourNamed(b.colours(), colour), QColor(9, 8, 7));
        b.setColourScheme(GradientButton::Scheme(scheme));
        QCOMPARE(colourNamed(b.colours(), colour), overwrittenAgain ? before : QColor(9, 8, 7));
    }

    void customWritesNothing()
    {
        GradientButton b;
        b.setGradient(false);
        b.setColourScheme(GradientButton::Scheme::Custom);
        QCOMPARE(b.colours().normal.face, bgrColour(13036799));
        QVERIFY(!b.gradient());
    }

    void badSchemesAreIgnored()
    {
        GradientButton b;
        b.setColourScheme(GradientButton::Scheme(13));
        b.setColourScheme(GradientButton::Scheme(-1));
        QCOMPARE(b.colourScheme(), GradientButton::Scheme::NeoDesert);
    }

    // Each of the 25 colours is a colour of its own: writing one leaves the others and
    // switches the scheme to Custom.
    void everyColourIsWrittenAlone()
    {
        for (const QString &name : colourNames()) {
            GradientButton b;
            const ButtonColours before = b.colours();
            ButtonColours changed = before;
            namedColour(changed, name) = QColor(1, 100, 200);
            b.setColours(changed);
            QCOMPARE(colourNamed(b.colours(), name), QColor(1, 100, 200));
            for (const QString &other : colourNames()) {
                if (other != name)
                    QCOMPARE(colourNamed(b.colours(), other), colourNamed(before, other));
            }
            QCOMPARE(b.colourScheme(), GradientButton::Scheme::Custom);
        }
        GradientButton b;
        QVERIFY(b.setProperty("colourScheme", QStringLiteral("Sky")));
        QCOMPARE(b.colourScheme(), GradientButton::Scheme::Sky);
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
        std::uint32_t n = 0;
        for (const QString &name : colourNames())
            QCOMPARE(colourNamed(b.colours(), name), bgrColour(++n));
        QCOMPARE(b.colourScheme(), GradientButton::Scheme::Custom);
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
        QCOMPARE(b.colourScheme(), GradientButton::Scheme::Custom);
        const ButtonColours &c = b.colours();
        QCOMPARE(c.hover.face, bgrColour(hoverFace));
        QCOMPARE(c.hover.gradientEnd, bgrColour(hoverGrad));
        QCOMPARE(c.hover.text, bgrColour(hoverText));
        // Shared by all four.
        QCOMPARE(c.normal.face, bgrColour(15987699));
        QCOMPARE(c.normal.gradientEnd, bgrColour(12369084));
        QCOMPARE(c.hover.border, bgrColour(7697781));
        QCOMPARE(c.pressed.bevelLight, bgrColour(8158332));
        QCOMPARE(c.disabled.text, bgrColour(0x808080));
        QCOMPARE(c.focusRect, bgrColour(11382189));
        QVERIFY(b.gradient());
        QVERIFY(!b.tabStop());
    }
};

QTEST_MAIN(TestGradientButtonSchemes)
#include "tst_gradientbuttonschemes.moc"
