#include "exchange/SendingThread.h"

#include "core/FileError.h"

namespace quorix {

SendingThread::SendingThread(QObject *parent) : QObject(parent), thread_([this] { run(); }) {}

SendingThread::~SendingThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SendingThread::send(Kind kind, std::function<void()> write)
{
    {
        std::lock_guard lock(mutex_);
        if (kind == Kind::Picture && !queue_.empty() && queue_.back().kind == Kind::Picture &&
            queue_.back().signalled) {
            queue_.back().write = std::move(write);
            ++dropped_;
        } else {
            queue_.push_back({kind, std::move(write)});
        }
    }
    wake_.notify_one();
}

void SendingThread::sendAndWait(Kind kind, const std::function<void()> &write)
{
    std::exception_ptr failure;
    bool done = false;
    {
        std::lock_guard lock(mutex_);
        Request request{kind,
                        [&] {
                            try {
                                write();
                            } catch (...) {
                                failure = std::current_exception();
                            }
                            std::lock_guard doneLock(mutex_);
                            done = true;
                        },
                        false};
        // A picture waiting to be written gives way to this newer one, as in send().
        if (kind == Kind::Picture && !queue_.empty() && queue_.back().kind == Kind::Picture &&
            queue_.back().signalled) {
            queue_.back() = std::move(request);
            ++dropped_;
        } else {
            queue_.push_back(std::move(request));
        }
    }
    wake_.notify_one();
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [&] { return done; });
    }
    if (failure)
        std::rethrow_exception(failure);
}

void SendingThread::flush()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return queue_.empty() && !busy_; });
}

int SendingThread::dropped() const
{
    std::lock_guard lock(mutex_);
    return dropped_;
}

void SendingThread::run()
{
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return; // stopping, and nothing is left to write
            request = std::move(queue_.front());
            queue_.pop_front();
            busy_ = true;
        }
        QString failure;
        bool ok = true;
        try {
            request.write();
        } catch (const std::exception &e) {
            ok = false;
            failure = failureText(e);
        } catch (...) {
            ok = false;
            failure = QStringLiteral("The write failed");
        }
        // Queued to the owner's thread by Qt, since this is another one.
        if (request.signalled && ok)
            emit written(request.kind);
        else if (request.signalled)
            emit failed(request.kind, failure);
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
        }
        idle_.notify_all();
    }
}

} // namespace quorix
