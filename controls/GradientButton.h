#pragma once
// The program's own push button. It paints itself completely: a face in one colour or a
// vertical two-colour gradient, a one-pixel border, an optional light/dark bevel, an
// optional glyph beside, above or below the caption, and a focus rectangle, each in the
// colours of its visual state (normal, pointer over it, pressed, disabled). Twenty-five
// colour slots hold these colours; twelve built-in schemes fill them in one step.
//
// It behaves as a dialog button too: a modal result handed to its ModalDialog before
// clicked() is emitted, Default and Cancel roles for Enter and Escape, keyboard clicks with
// Space and Enter, and an "&" accelerator in the caption (Alt + letter).
#include <array>
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace quorix {

class GradientButton : public QWidget
{
    Q_OBJECT

    // The colour slots, in slot order (the index of setColor()).
    Q_PROPERTY(QColor ColorFace READ colorFace WRITE setColorFace)
    Q_PROPERTY(QColor ColorGrad READ colorGrad WRITE setColorGrad)
    Q_PROPERTY(QColor ColorDark READ colorDark WRITE setColorDark)
    Q_PROPERTY(QColor ColorLight READ colorLight WRITE setColorLight)
    Q_PROPERTY(QColor ColorBorder READ colorBorder WRITE setColorBorder)
    Q_PROPERTY(QColor ColorText READ colorText WRITE setColorText)
    Q_PROPERTY(QColor OverColorFace READ overColorFace WRITE setOverColorFace)
    Q_PROPERTY(QColor OverColorGrad READ overColorGrad WRITE setOverColorGrad)
    Q_PROPERTY(QColor OverColorDark READ overColorDark WRITE setOverColorDark)
    Q_PROPERTY(QColor OverColorLight READ overColorLight WRITE setOverColorLight)
    Q_PROPERTY(QColor OverColorBorder READ overColorBorder WRITE setOverColorBorder)
    Q_PROPERTY(QColor OverColorText READ overColorText WRITE setOverColorText)
    Q_PROPERTY(QColor DownColorFace READ downColorFace WRITE setDownColorFace)
    Q_PROPERTY(QColor DownColorGrad READ downColorGrad WRITE setDownColorGrad)
    Q_PROPERTY(QColor DownColorDark READ downColorDark WRITE setDownColorDark)
    Q_PROPERTY(QColor DownColorLight READ downColorLight WRITE setDownColorLight)
    Q_PROPERTY(QColor DownColorBorder READ downColorBorder WRITE setDownColorBorder)
    Q_PROPERTY(QColor DownColorText READ downColorText WRITE setDownColorText)
    Q_PROPERTY(QColor DisabledColorFace READ disabledColorFace WRITE setDisabledColorFace)
    Q_PROPERTY(QColor DisabledColorGrad READ disabledColorGrad WRITE setDisabledColorGrad)
    Q_PROPERTY(QColor DisabledColorDark READ disabledColorDark WRITE setDisabledColorDark)
    Q_PROPERTY(QColor DisabledColorLight READ disabledColorLight WRITE setDisabledColorLight)
    Q_PROPERTY(QColor DisabledColorBorder READ disabledColorBorder WRITE setDisabledColorBorder)
    Q_PROPERTY(QColor DisabledColorText READ disabledColorText WRITE setDisabledColorText)
    Q_PROPERTY(QColor ColorFocusRect READ colorFocusRect WRITE setColorFocusRect)

    Q_PROPERTY(Scheme ColorScheme READ colorScheme WRITE setColorScheme)
    Q_PROPERTY(bool Ctl3D READ ctl3D WRITE setCtl3D)
    Q_PROPERTY(GlyphLayout Layout READ layout WRITE setLayout)
    Q_PROPERTY(QImage Glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int Spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(bool TransparentGlyph READ transparentGlyph WRITE setTransparentGlyph)
    Q_PROPERTY(bool Gradient READ gradient WRITE setGradient)
    Q_PROPERTY(bool HotTrack READ hotTrack WRITE setHotTrack)
    Q_PROPERTY(bool Cancel READ cancel WRITE setCancel)
    Q_PROPERTY(bool Default READ isDefault WRITE setDefault)
    Q_PROPERTY(int ModalResult READ modalResult WRITE setModalResult)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)

  public:
    enum Scheme
    {
        csNeoDesert,
        csNeoSky,
        csNeoGrass,
        csNeoSilver,
        csNeoRose,
        csNeoSun,
        csDesert,
        csGrass,
        csSky,
        csSun,
        csRose,
        csSilver,
        csCustom
    };
    Q_ENUM(Scheme)

    enum GlyphLayout
    {
        blGlyphLeft,
        blGlyphRight,
        blGlyphTop,
        blGlyphBottom
    };
    Q_ENUM(GlyphLayout)

    // Chooses the colour group; down also shifts glyph and caption by one pixel.
    enum VisualState
    {
        vsNormal,
        vsHot,
        vsDown
    };

    // Slot numbers: four groups of six roles, then the focus rectangle.
    enum ColorRole
    {
        roleFace,
        roleGrad,
        roleDark,
        roleLight,
        roleBorder,
        roleText
    };
    static constexpr int normalGroup = 0, overGroup = 6, downGroup = 12, disabledGroup = 18;
    static constexpr int focusRectSlot = 24;
    static constexpr int slotCount = 25;

    explicit GradientButton(QWidget *parent = nullptr);
    ~GradientButton() override;

    // Colour slots -----------------------------------------------------------------------
    QColor color(int slot) const;
    // Stores the colour, switches the scheme to csCustom and repaints later. A slot number
    // outside 0 ... 24 is ignored.
    void setColor(int slot, const QColor &colour);

    QColor colorFace() const { return color(0); }
    QColor colorGrad() const { return color(1); }
    QColor colorDark() const { return color(2); }
    QColor colorLight() const { return color(3); }
    QColor colorBorder() const { return color(4); }
    QColor colorText() const { return color(5); }
    QColor overColorFace() const { return color(6); }
    QColor overColorGrad() const { return color(7); }
    QColor overColorDark() const { return color(8); }
    QColor overColorLight() const { return color(9); }
    QColor overColorBorder() const { return color(10); }
    QColor overColorText() const { return color(11); }
    QColor downColorFace() const { return color(12); }
    QColor downColorGrad() const { return color(13); }
    QColor downColorDark() const { return color(14); }
    QColor downColorLight() const { return color(15); }
    QColor downColorBorder() const { return color(16); }
    QColor downColorText() const { return color(17); }
    QColor disabledColorFace() const { return color(18); }
    QColor disabledColorGrad() const { return color(19); }
    QColor disabledColorDark() const { return color(20); }
    QColor disabledColorLight() const { return color(21); }
    QColor disabledColorBorder() const { return color(22); }
    QColor disabledColorText() const { return color(23); }
    QColor colorFocusRect() const { return color(24); }

    void setColorFace(const QColor &c) { setColor(0, c); }
    void setColorGrad(const QColor &c) { setColor(1, c); }
    void setColorDark(const QColor &c) { setColor(2, c); }
    void setColorLight(const QColor &c) { setColor(3, c); }
    void setColorBorder(const QColor &c) { setColor(4, c); }
    void setColorText(const QColor &c) { setColor(5, c); }
    void setOverColorFace(const QColor &c) { setColor(6, c); }
    void setOverColorGrad(const QColor &c) { setColor(7, c); }
    void setOverColorDark(const QColor &c) { setColor(8, c); }
    void setOverColorLight(const QColor &c) { setColor(9, c); }
    void setOverColorBorder(const QColor &c) { setColor(10, c); }
    void setOverColorText(const QColor &c) { setColor(11, c); }
    void setDownColorFace(const QColor &c) { setColor(12, c); }
    void setDownColorGrad(const QColor &c) { setColor(13, c); }
    void setDownColorDark(const QColor &c) { setColor(14, c); }
    void setDownColorLight(const QColor &c) { setColor(15, c); }
    void setDownColorBorder(const QColor &c) { setColor(16, c); }
    void setDownColorText(const QColor &c) { setColor(17, c); }
    void setDisabledColorFace(const QColor &c) { setColor(18, c); }
    void setDisabledColorGrad(const QColor &c) { setColor(19, c); }
    void setDisabledColorDark(const QColor &c) { setColor(20, c); }
    void setDisabledColorLight(const QColor &c) { setColor(21, c); }
    void setDisabledColorBorder(const QColor &c) { setColor(22, c); }
    void setDisabledColorText(const QColor &c) { setColor(23, c); }
    void setColorFocusRect(const QColor &c) { setColor(24, c); }

    // Look --------------------------------------------------------------------------------
    Scheme colorScheme() const { return scheme_; }
    // The six csNeo... schemes write all 25 slots and switch the gradient on; the six
    // others keep the four grad slots and switch it off; csCustom writes nothing.
    void setColorScheme(Scheme scheme);
    bool ctl3D() const { return ctl3D_; }
    void setCtl3D(bool on);
    GlyphLayout layout() const { return layout_; }
    void setLayout(GlyphLayout layout);
    const QImage &glyph() const { return glyph_; }
    void setGlyph(const QImage &glyph);
    int spacing() const { return spacing_; }
    void setSpacing(int pixels);
    bool transparentGlyph() const { return transparentGlyph_; }
    void setTransparentGlyph(bool on);
    bool gradient() const { return gradient_; }
    void setGradient(bool on);
    QString caption() const { return caption_; }
    void setCaption(const QString &caption);

    // Behaviour ---------------------------------------------------------------------------
    bool hotTrack() const { return hotTrack_; }
    void setHotTrack(bool on) { hotTrack_ = on; }
    bool cancel() const { return cancel_; }
    void setCancel(bool on) { cancel_ = on; }
    bool isDefault() const { return default_; }
    void setDefault(bool on) { default_ = on; }
    int modalResult() const { return modalResult_; }
    void setModalResult(int result) { modalResult_ = result; }
    // On: the button is in the tab order and a left press takes the focus.
    bool tabStop() const { return focusPolicy() != Qt::NoFocus; }
    void setTabStop(bool on);

    VisualState visualState() const { return state_; }
    bool isFocused() const { return focused_; }

    // The picture the button shows in its present state, W x H.
    QImage paintBitmap() const;

    // Hands the modal result to the containing ModalDialog, shows the normal colours and
    // emits clicked(): what a mouse click, Space, Enter or the accelerator does.
    void click();

  signals:
    void clicked();

  protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void enterEvent(QEnterEvent *e) override;
    void leaveEvent(QEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;
    void showEvent(QShowEvent *e) override;

  private:
    void pointerEntered();
    void pointerLeft();
    void pressLeft(bool mayClick);
    void setState(VisualState state);
    // Drops the hover look when the pointer is no longer over the button.
    void pointerMayHaveLeft();
    bool canFocus() const;
    bool dialogKey(int key, Qt::KeyboardModifiers modifiers);
    void watchWindow();
    void updateAccelerator();
    void prepareGlyph();
    void applySchemeColours(Scheme scheme);

    std::array<QColor, slotCount> colours_;
    Scheme scheme_ = csCustom;
    bool ctl3D_ = true;
    GlyphLayout layout_ = blGlyphLeft;
    QImage glyph_;
    QImage drawnGlyph_; // glyph_ as drawn: keyed by its top-left pixel or opaque
    int spacing_ = 4;
    bool transparentGlyph_ = true;
    bool gradient_ = false;
    QString caption_;
    bool hotTrack_ = true;
    bool cancel_ = false;
    bool default_ = false;
    int modalResult_ = 0;

    VisualState state_ = vsNormal;
    int deactivations_ = 0; // of the button's window: tells when a click opened another
    bool mouseHeld_ = false;
    bool clickOnRelease_ = false; // a left press on the button that a release may complete
    bool pointerInside_ = false;
    bool focused_ = false;
    int acceleratorId_ = 0;
    QPointer<QWidget> watchedWindow_;
};

} // namespace quorix
