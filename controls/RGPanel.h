#pragma once
// A panel that moves a window when pressed with the left mouse button: its parent's
// window (fpParent), itself (fpSelf), or nothing (fpNone). Presses on child controls do
// not reach it, so only the bare background starts a move.
#include "controls/Panel.h"

#include <QPoint>

namespace quorix {

class TRGPanel : public TPanel
{
    Q_OBJECT
    Q_PROPERTY(TFloatingPanel FloatingPanel READ floatingPanel WRITE setFloatingPanel)

  public:
    enum TFloatingPanel
    {
        fpSelf,
        fpNone,
        fpParent
    };
    Q_ENUM(TFloatingPanel)

    explicit TRGPanel(QWidget *parent = nullptr);

    TFloatingPanel floatingPanel() const { return floating_; }
    void setFloatingPanel(TFloatingPanel value);

  signals:
    void doubleClicked();

  protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;

  private:
    // Starts a window-manager move of `w`'s window; false when the platform has none.
    static bool startMove(QWidget *w);

    TFloatingPanel floating_ = fpSelf;
    bool dragging_ = false;
    QPoint dragOffset_;
};

} // namespace quorix
