#pragma once
// A screen-cast stream from PipeWire, received on its own thread: the newest frame waits in
// one slot that the user-interface thread reads when it wants a picture. Frames come only
// when the desktop drew something; between them the slot keeps the last one.
//
// Accepted: 32-bit BGRx/BGRA/RGBx/RGBA in shared memory (memfd or plain memory), any stride,
// a crop region, and a video size that changes while the stream runs. Frames are
// Format_RGB32 and opaque.
#include <QImage>
#include <QObject>

#include <chrono>
#include <cstdint>
#include <memory>

namespace quorix {

class PipeWireStream : public QObject
{
    Q_OBJECT

  public:
    // Takes `fd`, the remote that the portal opened, and the node to read.
    PipeWireStream(int fd, std::uint32_t node, QObject *parent = nullptr);
    ~PipeWireStream() override;

    // False when the remote could not be used at all (the stream ends at once).
    bool start();

    // The newest frame and its number (counting from 1); null and 0 before the first.
    QImage newestFrame(std::uint64_t *serial = nullptr) const;
    bool hasEnded() const;

    // Measurements: how long the stream's thread took from taking PipeWire's buffer to the
    // frame being in the slot, for the last frame and at most over all frames.
    struct Timing
    {
        std::chrono::nanoseconds lastHandover{0};
        std::chrono::nanoseconds longestLock{0}; // the slot's lock held by the stream thread
        std::uint64_t frames = 0;
    };
    Timing timing() const;

  signals:
    // Emitted from the stream's thread; queued to receivers on other threads.
    void frameArrived();
    void ended();

  public:
    struct State;

  private:
    std::unique_ptr<State> d;
};

} // namespace quorix
