#pragma once
#include <QCoreApplication>

namespace quorix {

// Lets queued events (timer ticks, clicks, clipboard notices) run inside the current
// handler, at exactly the points where the program's handlers allow it.
inline void runQueuedEvents()
{
    QCoreApplication::processEvents();
}

} // namespace quorix
