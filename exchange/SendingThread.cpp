#include "exchange/SendingThread.h"

#include "core/FileError.h"

#include <QStringList>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

namespace quorix {

// What the sending thread and this object share; the thread keeps it alive after this
// object is gone (a write that never returns).
struct SendingThread::Queue
{
    struct Request
    {
        Kind kind = Kind::Other;
        std::function<void()> write;
        std::uint64_t number = 0;
        bool signalled = true; // false: the caller waits for it and learns the outcome
    };

    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Request> requests;
    bool busy = false;
    Kind busyKind = Kind::Other;
    std::chrono::steady_clock::time_point busySince{};
    bool stopping = false;
    std::uint64_t asked = 0;
    int dropped = 0;
    // Outcomes are signalled through this object while it lives; guarded by `owner`.
    std::mutex ownerMutex;
    SendingThread *owner = nullptr;

    // Queues `request` with the next number; a picture still waiting gives way to it.
    std::uint64_t push(Request request)
    {
        std::lock_guard lock(mutex);
        request.number = ++asked;
        if (request.kind == Kind::Picture && !requests.empty() &&
            requests.back().kind == Kind::Picture && requests.back().signalled) {
            requests.back() = std::move(request);
            ++dropped;
        } else {
            requests.push_back(std::move(request));
        }
        wake.notify_one();
        return asked;
    }
};

namespace {

QString kindName(SendingThread::Kind kind)
{
    switch (kind) {
    case SendingThread::Kind::Picture:
        return QStringLiteral("the picture");
    case SendingThread::Kind::Text:
        return QStringLiteral("the text");
    case SendingThread::Kind::Other:
        return QStringLiteral("the run state or viewer settings");
    }
    return {};
}

} // namespace

SendingThread::SendingThread(QObject *parent) : QObject(parent), queue_(std::make_shared<Queue>())
{
    queue_->owner = this;
    std::thread(&SendingThread::run, queue_).detach();
}

SendingThread::~SendingThread()
{
    QStringList left;
    {
        std::unique_lock lock(queue_->mutex);
        queue_->stopping = true;
        queue_->wake.notify_all();
        const bool done = queue_->idle.wait_for(
            lock, kEndingWait, [this] { return queue_->requests.empty() && !queue_->busy; });
        if (!done) {
            if (queue_->busy)
                left << kindName(queue_->busyKind);
            for (const Queue::Request &r : queue_->requests)
                left << kindName(r.kind);
            // What is still queued is never written; the write under way ends when the
            // share lets it.
            queue_->requests.clear();
        }
    }
    {
        std::lock_guard lock(queue_->ownerMutex);
        queue_->owner = nullptr;
    }
    if (!left.isEmpty()) {
        left.removeDuplicates();
        qWarning("The shared folder did not answer within %lld s; not written: %s",
                 qint64(std::chrono::duration_cast<std::chrono::seconds>(kEndingWait).count()),
                 qPrintable(left.join(QStringLiteral(", "))));
    }
}

std::uint64_t SendingThread::send(Kind kind, std::function<void()> write)
{
    return queue_->push({kind, std::move(write)});
}

std::uint64_t SendingThread::sendAndWait(Kind kind, const std::function<void()> &write)
{
    std::exception_ptr failure;
    bool done = false;
    Queue &q = *queue_;
    const std::uint64_t number = q.push({kind,
                                         [&] {
                                             try {
                                                 write();
                                             } catch (...) {
                                                 failure = std::current_exception();
                                             }
                                             std::lock_guard doneLock(q.mutex);
                                             done = true;
                                         },
                                         0, false});
    {
        std::unique_lock lock(q.mutex);
        q.idle.wait(lock, [&] { return done; });
    }
    if (failure)
        std::rethrow_exception(failure);
    return number;
}

void SendingThread::flush()
{
    std::unique_lock lock(queue_->mutex);
    queue_->idle.wait(lock, [this] { return queue_->requests.empty() && !queue_->busy; });
}

std::uint64_t SendingThread::lastAsked() const
{
    std::lock_guard lock(queue_->mutex);
    return queue_->asked;
}

std::chrono::steady_clock::time_point SendingThread::busySince() const
{
    std::lock_guard lock(queue_->mutex);
    return queue_->busy ? queue_->busySince : std::chrono::steady_clock::time_point{};
}

int SendingThread::dropped() const
{
    std::lock_guard lock(queue_->mutex);
    return queue_->dropped;
}

void SendingThread::run(std::shared_ptr<Queue> queue)
{
    Queue &q = *queue;
    for (;;) {
        Queue::Request request;
        {
            std::unique_lock lock(q.mutex);
            q.wake.wait(lock, [&] { return q.stopping || !q.requests.empty(); });
            if (q.requests.empty())
                return; // stopping, and nothing is left to write
            request = std::move(q.requests.front());
            q.requests.pop_front();
            q.busy = true;
            q.busyKind = request.kind;
            q.busySince = std::chrono::steady_clock::now();
        }
        QString failure;
        int code = 0;
        bool ok = true;
        try {
            request.write();
        } catch (const FileError &e) {
            ok = false;
            failure = failureText(e);
            code = e.code();
        } catch (const std::exception &e) {
            ok = false;
            failure = failureText(e);
        } catch (...) {
            ok = false;
            failure = QStringLiteral("The write failed");
        }
        // What the write held (a frame, its shared memory) goes before anyone waiting
        // hears that it is done.
        const Kind kind = request.kind;
        const std::uint64_t number = request.number;
        const bool signalled = request.signalled;
        request.write = nullptr;
        if (signalled) {
            // Queued to the owner's thread by Qt, since this is another one.
            std::lock_guard lock(q.ownerMutex);
            if (q.owner && ok)
                emit q.owner->written(kind, number);
            else if (q.owner)
                emit q.owner->failed(kind, failure, number, code);
        }
        {
            std::lock_guard lock(q.mutex);
            q.busy = false;
        }
        q.idle.notify_all();
    }
}

} // namespace quorix
