// The button's properties and its behaviour: the visual-state machine driven by the
// pointer, the focus and the keyboard, dialog keys, the accelerator and the click.
#include "controls/GradientButton.h"

#include "controls/ModalDialog.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcutEvent>

namespace quorix {

GradientButton::GradientButton(QWidget *parent) : QWidget(parent)
{
    resize(75, 25);
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted
    bevel_ = true;
    transparentGlyph_ = true;
    gradient_ = false;
    setTabStop(true);
    spacing_ = 4;
    cancel_ = false;
    default_ = false;
    hotTrack_ = true;
    setColourScheme(Scheme::NeoDesert); // switches the gradient on
    mouseHeld_ = false;
    // Hover, pressed and disabled gradients end in white; the scheme stays NeoDesert.
    colours_.hover.gradientEnd = Qt::white;
    colours_.pressed.gradientEnd = Qt::white;
    colours_.disabled.gradientEnd = Qt::white;
    watchWindow();
}

GradientButton::~GradientButton()
{
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
}

// Properties -------------------------------------------------------------------------------

void GradientButton::setColours(const ButtonColours &colours)
{
    colours_ = colours;
    scheme_ = Scheme::Custom;
    update();
}

void GradientButton::setBevel(bool on)
{
    bevel_ = on;
    update();
}

void GradientButton::setLayout(GlyphLayout layout)
{
    if (layout < GlyphLayout::Left || layout > GlyphLayout::Bottom)
        return;
    layout_ = layout;
    update();
}

void GradientButton::setGlyph(const QImage &glyph)
{
    glyph_ = glyph;
    prepareGlyph();
    update();
}

void GradientButton::setSpacing(int pixels)
{
    spacing_ = pixels;
    update();
}

void GradientButton::setTransparentGlyph(bool on)
{
    transparentGlyph_ = on;
    prepareGlyph();
    update();
}

void GradientButton::setGradient(bool on)
{
    gradient_ = on;
    update();
}

void GradientButton::setCaption(const QString &caption)
{
    caption_ = caption;
    updateAccelerator();
    update();
}

void GradientButton::setTabStop(bool on)
{
    // A left press takes the focus by itself when the button is a tab stop (see
    // pressLeft), so Qt's own click focus is not wanted.
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

void GradientButton::updateAccelerator()
{
    if (acceleratorId_ != 0)
        releaseShortcut(acceleratorId_);
    acceleratorId_ = 0;
    const QKeySequence accelerator = QKeySequence::mnemonic(caption_);
    if (!accelerator.isEmpty())
        acceleratorId_ = grabShortcut(accelerator);
}

// Clicking ---------------------------------------------------------------------------------

void GradientButton::click()
{
    const QPointer<GradientButton> self(this);
    // The form learns the result first (0 included), so a handler of clicked() sees it.
    if (auto *form = qobject_cast<ModalDialog *>(window()))
        form->setModalResult(modalResult_);
    if (!self)
        return;
    setState(VisualState::Normal);
    repaint();
    emit clicked();
}

void GradientButton::setState(VisualState state)
{
    state_ = state;
}

bool GradientButton::canFocus() const
{
    return isVisible() && isEnabled();
}

// Enter and Escape as a dialog offers them: Enter clicks the focused button and Escape a
// Cancel button, both only without Shift, Ctrl or Alt; Enter clicks a Default button
// whatever modifiers are held.
bool GradientButton::dialogKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool escape = key == Qt::Key_Escape;
    const bool plain =
        (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
    if (((enter && focused_) || (escape && cancel_)) && plain && canFocus()) {
        click();
        return true;
    }
    if (default_ && enter && canFocus()) {
        click();
        return true;
    }
    return false;
}

// Enter and Escape that the focused control does not take travel up to the top-level
// window; watching that window lets a Default or Cancel button answer them wherever the
// focus is.
void GradientButton::watchWindow()
{
    QWidget *w = window();
    if (w == this)
        w = nullptr;
    if (w == watchedWindow_)
        return;
    if (watchedWindow_)
        watchedWindow_->removeEventFilter(this);
    watchedWindow_ = w;
    if (watchedWindow_)
        watchedWindow_->installEventFilter(this);
}

bool GradientButton::eventFilter(QObject *watched, QEvent *e)
{
    // Back from a modal window it opened, the button gets no leave event although the
    // pointer may be long gone: ask where the pointer really is.
    if (watched == watchedWindow_ && e->type() == QEvent::WindowActivate)
        pointerMayHaveLeft();
    if (watched == watchedWindow_ && e->type() == QEvent::WindowDeactivate)
        ++deactivations_;
    if (watched == watchedWindow_ && e->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(e);
        if (dialogKey(key->key(), key->modifiers())) {
            key->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

bool GradientButton::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::Shortcut:
        if (static_cast<QShortcutEvent *>(e)->shortcutId() == acceleratorId_ &&
            acceleratorId_ != 0) {
            if (isEnabled())
                click();
            return true;
        }
        break;
    case QEvent::ParentChange:
        watchWindow();
        break;
    default:
        break;
    }
    return QWidget::event(e);
}

void GradientButton::showEvent(QShowEvent *e)
{
    // The button may have reached its window through a parent reparented after it.
    watchWindow();
    QWidget::showEvent(e);
}

// Pointer ----------------------------------------------------------------------------------

void GradientButton::enterEvent(QEnterEvent *)
{
    pointerEntered();
}

void GradientButton::leaveEvent(QEvent *)
{
    pointerLeft();
}

void GradientButton::pointerEntered()
{
    pointerInside_ = true;
    if (!hotTrack_)
        return;
    setState(mouseHeld_ ? VisualState::Pressed : VisualState::Hover);
    repaint();
}

void GradientButton::pointerLeft()
{
    pointerInside_ = false;
    setState(VisualState::Normal);
    repaint();
}

void GradientButton::pointerMayHaveLeft()
{
    if (!pointerInside_ || mouseHeld_)
        return;
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        pointerLeft();
}

void GradientButton::pressLeft(bool mayClick)
{
    mouseHeld_ = true;
    clickOnRelease_ = mayClick;
    setState(VisualState::Pressed);
    if (tabStop())
        setFocus(Qt::MouseFocusReason);
    repaint();
}

void GradientButton::mousePressEvent(QMouseEvent *e)
{
    // Accepted for every button, so a press never reaches a parent that drags the window.
    e->accept();
    if (e->button() == Qt::LeftButton)
        pressLeft(true);
}

void GradientButton::mouseDoubleClickEvent(QMouseEvent *e)
{
    // The second press of a double click is a press that gives no click.
    e->accept();
    if (e->button() == Qt::LeftButton)
        pressLeft(false);
}

void GradientButton::mouseMoveEvent(QMouseEvent *e)
{
    e->accept();
    // While the button is held Qt keeps the pointer grabbed and reports no leave or enter;
    // the button still lets go of its pressed look outside and takes it back inside.
    if (!mouseHeld_)
        return;
    const bool inside = rect().contains(e->position().toPoint());
    if (inside && !pointerInside_)
        pointerEntered();
    else if (!inside && pointerInside_)
        pointerLeft();
}

void GradientButton::mouseReleaseEvent(QMouseEvent *e)
{
    e->accept();
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton) {
        const bool clickNow = clickOnRelease_ && rect().contains(p);
        clickOnRelease_ = false;
        if (clickNow) {
            const QPointer<GradientButton> self(this);
            const int deactivations = deactivations_;
            click();
            if (!self)
                return;
            // The click showed another window (a modal dialog): the pointer has been
            // elsewhere since, and only its present place tells the look.
            if (deactivations_ != deactivations) {
                mouseHeld_ = false;
                pointerInside_ = rect().contains(mapFromGlobal(QCursor::pos()));
                setState(pointerInside_ && hotTrack_ ? VisualState::Hover : VisualState::Normal);
                repaint();
                return;
            }
        }
    }
    mouseHeld_ = false;
    // Only a release strictly inside shows the hot look: one on the left or top edge
    // keeps the normal look that the click left.
    if (p.x() > 0 && p.x() < width() && p.y() > 0 && p.y() < height())
        setState(hotTrack_ ? VisualState::Hover : VisualState::Normal);
    repaint();
}

// Focus and keyboard -----------------------------------------------------------------------

void GradientButton::focusInEvent(QFocusEvent *)
{
    focused_ = true;
    repaint();
}

void GradientButton::focusOutEvent(QFocusEvent *)
{
    focused_ = false;
    setState(VisualState::Normal);
    repaint();
}

void GradientButton::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Space:
        setState(VisualState::Pressed);
        e->accept();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape: {
        const QPointer<GradientButton> self(this);
        const bool handled = dialogKey(e->key(), e->modifiers());
        if (!self)
            return;
        // Not handled here (Shift+Enter, Escape): on to the window, where a Default or
        // Cancel button may take it.
        e->setAccepted(handled);
        break;
    }
    default:
        QWidget::keyPressEvent(e);
        break;
    }
    repaint();
}

void GradientButton::keyReleaseEvent(QKeyEvent *e)
{
    // Held Space repeats as release and press pairs; only the real release clicks.
    if (e->key() != Qt::Key_Space || e->isAutoRepeat()) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    e->accept();
    setState(VisualState::Normal);
    repaint();
    click();
}

void GradientButton::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::FontChange)
        update();
}

} // namespace quorix
