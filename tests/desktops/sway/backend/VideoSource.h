#pragma once
// A PipeWire Video/Source node that this program drives: it allocates its own memfd
// buffers (BGRx or RGBx, rows padded beyond the pixels), and sends a frame only when it is given
// one. A crop region, when set, travels with each frame as the buffer's video-crop metadata.
#include <QImage>
#include <QRect>

#include <cstdint>
#include <memory>

namespace quorix::test {

class VideoSource
{
  public:
    VideoSource();
    ~VideoSource();
    VideoSource(const VideoSource &) = delete;
    VideoSource &operator=(const VideoSource &) = delete;

    // Connects the node with `size`; false when PipeWire refused. The node id is known once
    // the server has taken the node (waited for here, at most a few seconds). `rgbx`: the
    // pixels go out as R, G, B, x bytes rather than B, G, R, x.
    bool start(QSize size, bool rgbx = false);
    std::uint32_t nodeId() const;
    // Sends `frame` (Format_RGB32); a frame of another size changes the stream's format
    // first. `crop` null: the whole frame.
    void send(const QImage &frame, QRect crop);
    // Sends the frame that found no free buffer before, if any.
    void flush();
    // Disconnects the node: the consumer sees the stream end.
    void stop();

    struct State;

  private:
    std::unique_ptr<State> d;
};

} // namespace quorix::test
