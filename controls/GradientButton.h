#pragma once
// The program's own push button. It paints itself completely: a face in one colour or a
// vertical two-colour gradient, a one-pixel border, an optional light/dark bevel, an
// optional glyph beside, above or below the caption, and a focus rectangle, each in the
// colours of its visual state (normal, pointer over it, pressed, disabled). The colours are
// a ButtonColours set; twelve built-in schemes fill it in one step.
//
// It behaves as a dialog button too: a modal result handed to its ModalDialog before
// clicked() is emitted, Default and Cancel roles for Enter and Escape, keyboard clicks with
// Space and Enter, and an "&" accelerator in the caption (Alt + letter).
#include "controls/ButtonColours.h"
#include "controls/ModalDialog.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace quorix {

class GradientButton : public QWidget
{
    Q_OBJECT

    Q_PROPERTY(Scheme colourScheme READ colourScheme WRITE setColourScheme)
    Q_PROPERTY(bool bevel READ bevel WRITE setBevel)
    Q_PROPERTY(GlyphLayout layout READ layout WRITE setLayout)
    Q_PROPERTY(QImage glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(bool transparentGlyph READ transparentGlyph WRITE setTransparentGlyph)
    Q_PROPERTY(bool gradient READ gradient WRITE setGradient)
    Q_PROPERTY(bool hotTrack READ hotTrack WRITE setHotTrack)
    Q_PROPERTY(bool cancel READ cancel WRITE setCancel)
    Q_PROPERTY(bool default READ isDefault WRITE setDefault)
    Q_PROPERTY(quorix::ModalResult modalResult READ modalResult WRITE setModalResult)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(bool tabStop READ tabStop WRITE setTabStop)

  public:
    enum class Scheme
    {
        NeoDesert,
        NeoSky,
        NeoGrass,
        NeoSilver,
        NeoRose,
        NeoSun,
        Desert,
        Grass,
        Sky,
        Sun,
        Rose,
        Silver,
        Custom
    };
    Q_ENUM(Scheme)

    // Where the glyph sits: left or right of the caption, above or below it.
    enum class GlyphLayout
    {
        Left,
        Right,
        Top,
        Bottom
    };
    Q_ENUM(GlyphLayout)

    // Chooses the colours; pressed also shifts glyph and caption by one pixel. A disabled
    // button keeps its state but paints in its disabled colours.
    enum class VisualState
    {
        Normal,
        Hover,
        Pressed
    };
    Q_ENUM(VisualState)

    explicit GradientButton(QWidget *parent = nullptr);
    ~GradientButton() override;

    // Colours ------------------------------------------------------------------------------
    const ButtonColours &colours() const { return colours_; }
    // Stores the colours, switches the scheme to Custom and repaints later.
    void setColours(const ButtonColours &colours);

    // Look --------------------------------------------------------------------------------
    Scheme colourScheme() const { return scheme_; }
    // The six Neo... schemes write every colour and switch the gradient on; the six others
    // keep the four gradient ends and switch it off; Custom writes nothing.
    void setColourScheme(Scheme scheme);
    // On: a light line along the top and left edges and a dark one along the right and
    // bottom, inside the border.
    bool bevel() const { return bevel_; }
    void setBevel(bool on);
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
    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult result) { modalResult_ = result; }
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

    // The colours of the present state, the disabled ones on a disabled button.
    const StateColours &paintedColours() const;
    void paintGlyphAndCaption(QImage &bitmap, const QColor &text) const;
    // The border, the bevel and the focus rectangle.
    void paintFrame(QImage &bitmap, const StateColours &colours) const;

    ButtonColours colours_;
    Scheme scheme_ = Scheme::Custom;
    bool bevel_ = true;
    GlyphLayout layout_ = GlyphLayout::Left;
    QImage glyph_;
    QImage drawnGlyph_; // glyph_ as drawn: keyed by its top-left pixel or opaque
    int spacing_ = 4;
    bool transparentGlyph_ = true;
    bool gradient_ = false;
    QString caption_;
    bool hotTrack_ = true;
    bool cancel_ = false;
    bool default_ = false;
    ModalResult modalResult_ = ModalResult::None;

    VisualState state_ = VisualState::Normal;
    int deactivations_ = 0; // of the button's window: tells when a click opened another
    bool mouseHeld_ = false;
    bool clickOnRelease_ = false; // a left press on the button that a release may complete
    bool pointerInside_ = false;
    bool focused_ = false;
    int acceleratorId_ = 0;
    QPointer<QWidget> watchedWindow_;
};

} // namespace quorix
