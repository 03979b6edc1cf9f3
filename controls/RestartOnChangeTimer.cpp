#include "controls/RestartOnChangeTimer.h"

namespace quorix {

RestartOnChangeTimer::RestartOnChangeTimer(QObject *parent, int interval)
    : QObject(parent), interval_(interval)
{
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &RestartOnChangeTimer::OnTimer);
}

void RestartOnChangeTimer::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    update();
}

void RestartOnChangeTimer::setInterval(int ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    update();
}

void RestartOnChangeTimer::update()
{
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
}

} // namespace quorix
