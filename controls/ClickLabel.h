#pragma once
// A label that reports clicks, for captions that act as switches.
#include <QLabel>
#include <QMouseEvent>

namespace quorix {

class TClickLabel : public QLabel
{
    Q_OBJECT

  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QLabel::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            emit clicked();
    }
};

} // namespace quorix
