#pragma once
// Screen grabs read straight into shared-memory segments that are then handed out as the
// frames themselves, so that a frame the size of the screen is not copied once more after
// the server has written it. A segment is read into again only once no frame holds it any
// more (the preview, the last frame sent, the sending thread): the release is tracked by
// the frames' own reference count, from whichever thread drops the last one. Part of the
// X11 implementation: only the X11 files include this header.
#include <QImage>
#include <QRect>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace quorix {

// Memory shared with the server: mapped here and attached there as `seg`.
struct ShmMemory
{
    void *addr = nullptr;
    std::size_t size = 0;
    xcb_shm_seg_t seg = 0;
    bool byFd = false; // a memory file handed over (MIT-SHM 1.2), else a System V segment
};

// Whether the server takes shared memory as a file descriptor (MIT-SHM 1.2 or later).
bool shmTakesFd(xcb_connection_t *c);

// Creates private shared memory of `bytes`, maps it here and attaches it to the server:
// handed over as a file descriptor where the server takes one (`byFd`), which names the
// same memory whatever IPC namespace either side is in; by System V id otherwise. False
// when the server cannot share memory with this program (a remote display).
bool attachShm(xcb_connection_t *c, bool byFd, std::size_t bytes, ShmMemory &memory);
// Unmaps this side (the server's goes with its detach, or with the connection).
void unmapShm(ShmMemory &memory);

class X11GrabSegments
{
  public:
    explicit X11GrabSegments(xcb_connection_t *c)
        : c_(c), setup_(xcb_get_setup(c)), byFd_(shmTakesFd(c))
    {
    }
    X11GrabSegments(const X11GrabSegments &) = delete;
    X11GrabSegments &operator=(const X11GrabSegments &) = delete;

    // Reads `area` of `drawable` (32 bits a pixel, little-endian) into a segment no frame
    // holds and returns it as an opaque RGB32 frame. False, with `image` untouched, when
    // every segment is still held, the server answers with another pixel layout or an
    // error: the caller's copying read then takes over and reports what went wrong.
    bool read(xcb_drawable_t drawable, QRect area, QImage &image);

  private:
    struct Segment
    {
        ShmMemory memory;
        std::atomic<bool> held{false};
        ~Segment() { unmapShm(memory); }
    };
    static void release(void *keep);
    bool fourBytesAPixel(std::uint8_t depth) const;

    xcb_connection_t *c_;
    const xcb_setup_t *setup_;
    bool byFd_;
    bool otherLayout_ = false; // the screen is not 32 bits a pixel
    // Three, so that the last frame sent, the one shown and one still being encoded can be
    // held while the next is read.
    std::array<std::shared_ptr<Segment>, 3> segments_;
};

} // namespace quorix
