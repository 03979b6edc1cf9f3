#pragma once
// A timer with the semantics the program's handlers rely on: an interval of 0 never
// fires; enabling a running timer or setting the interval it already has changes
// nothing; a changed interval restarts the count.
#include <QObject>
#include <QTimer>

namespace quorix {

class RestartOnChangeTimer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ enabled WRITE setEnabled)
    Q_PROPERTY(int Interval READ interval WRITE setInterval)

  public:
    explicit RestartOnChangeTimer(QObject *parent = nullptr, int interval = 1000);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    int interval() const { return interval_; }
    void setInterval(int ms);

    // Whether ticks are being delivered (enabled with an interval above 0).
    bool isTicking() const { return timer_.isActive(); }

  signals:
    void OnTimer();

  private:
    void update();

    QTimer timer_;
    bool enabled_ = false;
    int interval_;
};

} // namespace quorix
