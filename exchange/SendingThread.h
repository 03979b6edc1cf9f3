#pragma once
// One thread of its own for every write into the shared folder, so that encoding a picture
// and writing it over the network never holds up the user interface. Writes run in the
// order they were asked for: a later slide, picture or text never lands before an earlier
// one. A picture still waiting when a newer picture is asked for is stale and dropped
// (the newer one takes its place in the queue); texts and other files are never dropped.
//
// The outcome of each write comes back as a signal in the thread that owns this object
// (the user interface's), where failures reach the same places a direct write's did.
// Every write asked for gets a number, counting up; the outcomes carry it.
//
// A share can hold a write for good (a hard mount whose server is gone): ending waits for
// what is left only so long, then says on stderr what was not written and leaves the
// thread to end by itself, touching nothing of this object.
#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

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

    // How long ending waits for writes still to be done.
    static constexpr std::chrono::milliseconds kEndingWait{2000};

    explicit SendingThread(QObject *parent = nullptr);
    // Finishes what was asked (waiting kEndingWait at most), then ends the thread.
    ~SendingThread() override;

    // Queues `write`, which runs on the sending thread and throws (FileError) on failure.
    // Returns the write's number.
    std::uint64_t send(Kind kind, std::function<void()> write);

    // Queues `write` after everything asked before and waits until it has run; what it
    // throws is thrown here (and not signalled). For the writes whose caller handles their
    // failure itself, as when they ran on the caller's own thread. Returns its number.
    std::uint64_t sendAndWait(Kind kind, const std::function<void()> &write);

    // Waits until every write asked for so far has run and what it held (a frame and its
    // shared memory) is gone.
    void flush();

    // The number of the write asked for last; 0 before the first.
    std::uint64_t lastAsked() const;
    // Since when the write now running has been running; zero when none is.
    std::chrono::steady_clock::time_point busySince() const;
    // Pictures dropped as stale since the start.
    int dropped() const;

  signals:
    void written(quorix::SendingThread::Kind kind, quint64 number);
    // `code` is the system's error number when the failure had one, else 0.
    void failed(quorix::SendingThread::Kind kind, const QString &text, quint64 number, int code);

  private:
    struct Queue;
    static void run(std::shared_ptr<Queue> queue);

    std::shared_ptr<Queue> queue_;
};

} // namespace quorix
