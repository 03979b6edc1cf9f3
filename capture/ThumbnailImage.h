#pragma once
// The thumbnail control of a picker tile: shows its picture from the top-left corner,
// neither centred nor stretched, and reports a left click.
#include <QLabel>

namespace quorix {

class ThumbnailImage : public QLabel
{
    Q_OBJECT

  public:
    explicit ThumbnailImage(QWidget *parent = nullptr);

  signals:
    void clicked(QObject *sender);

  protected:
    void mouseReleaseEvent(QMouseEvent *e) override;
};

} // namespace quorix
