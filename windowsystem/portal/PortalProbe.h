#pragma once
// What the desktop's screen-cast portal offers, asked without waiting: the session bus may
// have to start the portal first, which can take seconds. The answer comes as answered();
// an answer that failed (no reply, an error) is asked again at the next ask().
#include "windowsystem/portal/PortalScreenCast.h"

#include <QObject>

namespace quorix {

class PortalProbe : public QObject
{
    Q_OBJECT

  public:
    enum class Status
    {
        NotAsked,
        Asking,
        Answered, // the portal said what it offers (possibly nothing)
        Failed,   // no answer: asked again at the next ask()
    };

    explicit PortalProbe(QObject *parent = nullptr);

    // Sends the question unless it is out or answered; `timeoutMs` bounds the wait.
    void ask(int timeoutMs);
    Status status() const { return status_; }
    // What the portal offers; nothing while asking or after a failure.
    const PortalOffer &offer() const { return offer_; }

  signals:
    void answered();

  private:
    Status status_ = Status::NotAsked;
    PortalOffer offer_;
    int generation_ = 0;
};

} // namespace quorix
