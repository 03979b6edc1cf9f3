#pragma once
// One thread of its own for every write into the shared folder, so that encoding a picture
// and writing it over the network never holds up the user interface. Writes run in the
// order they were asked for: a later slide, picture or text never lands before an earlier
// one. A picture still waiting when a newer picture is asked for is stale and dropped
// (the newer one takes its place in the queue); texts and other files are never dropped.
//
// The outcome of each write comes back as a signal in the thread that owns this object
// (the user interface's), where failures reach the same places a direct write's did.
#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace quorix {

class SendingThread : public QObject
{
    Q_OBJECT

  public:
    enum class Kind
    {
        Picture, // shar.bmp and the compact picture
        Text,    // shar.rtf
        Other    // the run state and the other small files
    };
    Q_ENUM(Kind)

    explicit SendingThread(QObject *parent = nullptr);
    // Finishes what was asked, then ends the thread.
    ~SendingThread() override;

    // Queues `write`, which runs on the sending thread and throws (FileError) on failure.
    void send(Kind kind, std::function<void()> write);

    // Queues `write` after everything asked before and waits until it has run; what it
    // throws is thrown here (and not signalled). For the writes whose caller handles their
    // failure itself, as when they ran on the caller's own thread.
    void sendAndWait(Kind kind, const std::function<void()> &write);

    // Waits until every write asked for so far has run.
    void flush();

    // Pictures dropped as stale since the start.
    int dropped() const;

  signals:
    void written(quorix::SendingThread::Kind kind);
    void failed(quorix::SendingThread::Kind kind, const QString &text);

  private:
    struct Request
    {
        Kind kind;
        std::function<void()> write;
        bool signalled = true; // false: the caller waits for it and learns the outcome
    };

    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Request> queue_;
    bool busy_ = false;
    bool stopping_ = false;
    int dropped_ = 0;
    std::thread thread_;
};

} // namespace quorix
