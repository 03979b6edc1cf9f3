#include "controls/DragPanel.h"

#include <QApplication>
#include <QMouseEvent>

namespace quorix {

DragPanel::DragPanel(QWidget *parent) : ColourPanel(parent) {}

void DragPanel::setDragTarget(DragTarget value)
{
    dragTarget_ = value;
    update();
}

bool DragPanel::isBareSpot(QPointF position) const
{
    // A press that a child control let through arrives here too; controls that are part
    // of the background (transparent for the mouse) are skipped by childAt.
    return childAt(position.toPoint()) == nullptr;
}

void DragPanel::mousePressEvent(QMouseEvent *e)
{
    ColourPanel::mousePressEvent(e);
    armed_ = false;
    dragged_ = nullptr;
    if (e->button() != Qt::LeftButton || dragTarget_ == DragTarget::MovesNothing ||
        !isBareSpot(e->position()))
        return;
    QWidget *target = dragTarget_ == DragTarget::MovesParentWindow ? parentWidget() : this;
    if (!target)
        return;
    if (dragTarget_ == DragTarget::MovesParentWindow || isWindow())
        target = target->window();
    armed_ = true;
    dragged_ = target;
    pressGlobal_ = e->globalPosition().toPoint();
    startPos_ = target->pos();
    update();
}

void DragPanel::mouseMoveEvent(QMouseEvent *e)
{
    ColourPanel::mouseMoveEvent(e);
    if (!armed_ || !dragged_ || !(e->buttons() & Qt::LeftButton))
        return;
    const QPoint travelled = e->globalPosition().toPoint() - pressGlobal_;
    if (!moving_ && travelled.manhattanLength() < QApplication::startDragDistance())
        return;
    // The window follows the pointer only while the button is held: the move is the
    // panel's own, so a tap can never leave the window stuck to the pointer, as a move
    // handed to the window manager can when the button is up before the manager starts.
    moving_ = true;
    dragged_->move(startPos_ + travelled);
}

void DragPanel::mouseReleaseEvent(QMouseEvent *e)
{
    ColourPanel::mouseReleaseEvent(e);
    armed_ = false;
    moving_ = false;
    dragged_ = nullptr;
}

void DragPanel::mouseDoubleClickEvent(QMouseEvent *e)
{
    ColourPanel::mouseDoubleClickEvent(e);
    if (isBareSpot(e->position()))
        emit doubleClicked();
}

} // namespace quorix
