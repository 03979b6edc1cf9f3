#pragma once
// The picture as the settings place it, on black. The scaled copy is made once per
// picture and size, so a repaint (the scroll text passing over it) costs only a copy.
#include "exchange/ViewerSettings.h"

#include <QImage>
#include <QWidget>

namespace quorix {

class PictureView : public QWidget
{
    Q_OBJECT

  public:
    explicit PictureView(QWidget *parent = nullptr);

    // `mtimeNs` and `decodeUs` describe the picture for the timing trace.
    void setPicture(const QImage &picture, qint64 mtimeNs = 0, qint64 decodeUs = 0);
    QImage picture() const { return picture_; }
    void setSettings(const ViewerSettings &settings, bool fullScreen);

    // Prints one line to stderr after each new picture is painted: the file's modification
    // time, the time of the paint (both nanoseconds since the epoch), and the decoding and
    // scaling times in microseconds.
    void setTrace(bool on) { trace_ = on; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QImage picture_;
    QImage scaled_;
    ViewerSettings settings_;
    bool fullScreen_ = false;
    bool trace_ = false;
    bool tracePending_ = false;
    qint64 mtimeNs_ = 0;
    qint64 decodeUs_ = 0;
};

} // namespace quorix
