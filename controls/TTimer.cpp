#include "controls/TTimer.h"

namespace quorix {

TTimer::TTimer(QObject *parent, int interval) : QObject(parent), interval_(interval)
{
    timer_.setTimerType(Qt::CoarseTimer);
    connect(&timer_, &QTimer::timeout, this, &TTimer::OnTimer);
}

void TTimer::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    update();
}

void TTimer::setInterval(int ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    update();
}

void TTimer::update()
{
    timer_.stop();
    if (enabled_ && interval_ > 0)
        timer_.start(interval_);
}

} // namespace quorix
