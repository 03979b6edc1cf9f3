#pragma once
// A panel that moves a window when dragged with the left mouse button: its parent's
// window, itself, or nothing (DragTarget). Only the bare background starts a move or
// counts as a double click; presses on child controls never do.
#include "controls/ColourPanel.h"

#include <QPoint>
#include <QPointer>

namespace quorix {

class DragPanel : public ColourPanel
{
    Q_OBJECT
    Q_PROPERTY(DragTarget dragTarget READ dragTarget WRITE setDragTarget)

  public:
    enum class DragTarget
    {
        MovesItself,
        MovesNothing,
        MovesParentWindow
    };
    Q_ENUM(DragTarget)

    explicit DragPanel(QWidget *parent = nullptr);

    DragTarget dragTarget() const { return dragTarget_; }
    void setDragTarget(DragTarget value);

  signals:
    void doubleClicked();

  protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

  private:
    // True where no child control lies under the point.
    bool isBareSpot(QPointF position) const;

    DragTarget dragTarget_ = DragTarget::MovesItself;
    bool armed_ = false;  // pressed on a bare spot; a move starts once the pointer moves
    bool moving_ = false; // the pointer has moved far enough: the target follows it
    QPointer<QWidget> dragged_;
    QPoint pressGlobal_;
    QPoint startPos_;
};

} // namespace quorix
