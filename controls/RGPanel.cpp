#include "controls/RGPanel.h"

#include <QMouseEvent>
#include <QWindow>

namespace quorix {

TRGPanel::TRGPanel(QWidget *parent) : TPanel(parent) {}

void TRGPanel::setFloatingPanel(TFloatingPanel value)
{
    floating_ = value;
    update();
}

bool TRGPanel::startMove(QWidget *w)
{
    QWindow *handle = w->window()->windowHandle();
    return handle && handle->startSystemMove();
}

void TRGPanel::mousePressEvent(QMouseEvent *e)
{
    TPanel::mousePressEvent(e);
    if (e->button() != Qt::LeftButton || floating_ == fpNone)
        return;
    if (floating_ == fpParent && parentWidget()) {
        startMove(parentWidget());
    } else if (floating_ == fpSelf) {
        // A top-level panel is moved by the window manager; a child panel moves inside
        // its parent under the mouse.
        if (!(isWindow() && startMove(this))) {
            dragging_ = !isWindow();
            dragOffset_ = e->position().toPoint();
        }
    }
    update();
}

void TRGPanel::mouseMoveEvent(QMouseEvent *e)
{
    TPanel::mouseMoveEvent(e);
    if (dragging_)
        move(mapToParent(e->position().toPoint()) - dragOffset_);
}

void TRGPanel::mouseReleaseEvent(QMouseEvent *e)
{
    TPanel::mouseReleaseEvent(e);
    dragging_ = false;
}

void TRGPanel::mouseDoubleClickEvent(QMouseEvent *e)
{
    TPanel::mouseDoubleClickEvent(e);
    emit doubleClicked();
}

} // namespace quorix
