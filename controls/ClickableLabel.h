#pragma once
// A label that reports clicks, for captions that act as switches.
#include <QLabel>
#include <QMouseEvent>

namespace quorix {

class ClickableLabel : public QLabel
{
    Q_OBJECT

  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    // The press is the label's own: it must not reach a dragging panel behind it.
    void mousePressEvent(QMouseEvent *e) override { e->accept(); }
    void mouseDoubleClickEvent(QMouseEvent *e) override { e->accept(); }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QLabel::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            emit clicked();
    }
};

} // namespace quorix
