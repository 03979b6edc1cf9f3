#include "windowsystem/x11/X11GrabSegments.h"

#include "imaging/OpaqueCopy.h"

#include <QSysInfo>

#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <unistd.h>

#include <cstdlib>

namespace quorix {

namespace {

struct FreeDeleter
{
    void operator()(void *p) const noexcept { std::free(p); }
};

} // namespace

bool shmTakesFd(xcb_connection_t *c)
{
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (!ext || !ext->present)
        return false;
    xcb_generic_error_t *e = nullptr;
    std::unique_ptr<xcb_shm_query_version_reply_t, FreeDeleter> v(
        xcb_shm_query_version_reply(c, xcb_shm_query_version(c), &e));
    std::unique_ptr<xcb_generic_error_t, FreeDeleter> err(e);
    return v && (v->major_version > 1 || (v->major_version == 1 && v->minor_version >= 2));
}

namespace {

bool attachByFd(xcb_connection_t *c, std::size_t bytes, ShmMemory &memory)
{
    const int fd = memfd_create("quorix-grab", MFD_CLOEXEC);
    if (fd < 0)
        return false;
    void *mapped = MAP_FAILED;
    if (ftruncate(fd, off_t(bytes)) == 0)
        mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED) {
        close(fd);
        return false;
    }
    const xcb_shm_seg_t s = xcb_generate_id(c);
    // xcb closes the descriptor once it has sent it; the mapping keeps the memory here.
    std::unique_ptr<xcb_generic_error_t, FreeDeleter> err(
        xcb_request_check(c, xcb_shm_attach_fd_checked(c, s, fd, 0)));
    if (err) {
        munmap(mapped, bytes);
        return false;
    }
    memory = {mapped, bytes, s, true};
    return true;
}

bool attachById(xcb_connection_t *c, std::size_t bytes, ShmMemory &memory)
{
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0)
        return false;
    void *mapped = shmat(id, nullptr, 0);
    if (mapped == reinterpret_cast<void *>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    const xcb_shm_seg_t s = xcb_generate_id(c);
    std::unique_ptr<xcb_generic_error_t, FreeDeleter> err(
        xcb_request_check(c, xcb_shm_attach_checked(c, s, std::uint32_t(id), 0)));
    // Marked for removal at once: the memory goes when both sides have detached, also
    // when this program ends abruptly.
    shmctl(id, IPC_RMID, nullptr);
    if (err) {
        shmdt(mapped);
        return false;
    }
    memory = {mapped, bytes, s, false};
    return true;
}

} // namespace

bool attachShm(xcb_connection_t *c, bool byFd, std::size_t bytes, ShmMemory &memory)
{
    return (byFd && attachByFd(c, bytes, memory)) || attachById(c, bytes, memory);
}

// The server's side was detached (or goes with the connection); this side goes with the
// last frame that reads it.
void unmapShm(ShmMemory &memory)
{
    if (!memory.addr)
        return;
    if (memory.byFd)
        munmap(memory.addr, memory.size);
    else
        shmdt(memory.addr);
    memory = {};
}

void X11GrabSegments::release(void *keep)
{
    auto *segment = static_cast<std::shared_ptr<Segment> *>(keep);
    (*segment)->held.store(false, std::memory_order_release);
    delete segment;
}

bool X11GrabSegments::fourBytesAPixel(std::uint8_t depth) const
{
    if (depth != 24 && depth != 32)
        return false;
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup_);
    for (; it.rem; xcb_format_next(&it))
        if (it.data->depth == depth)
            return it.data->bits_per_pixel == 32;
    return false;
}

bool X11GrabSegments::read(xcb_drawable_t drawable, QRect area, QImage &image)
{
    if (setup_->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST ||
        QSysInfo::ByteOrder != QSysInfo::LittleEndian || otherLayout_ || area.isEmpty())
        return false;
    const int width = area.width();
    const int height = area.height();
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;

    // A free segment large enough, else a free one (or an empty place) to replace.
    std::shared_ptr<Segment> *place = nullptr;
    for (auto &s : segments_)
        if (!place && s && s->memory.size >= bytes && !s->held.load(std::memory_order_acquire))
            place = &s;
    for (auto &s : segments_)
        if (!place && (!s || !s->held.load(std::memory_order_acquire)))
            place = &s;
    if (!place)
        return false;
    if (!*place || (*place)->memory.size < bytes) {
        if (*place)
            xcb_discard_reply(c_, xcb_shm_detach_checked(c_, (*place)->memory.seg).sequence);
        place->reset();
        auto fresh = std::make_shared<Segment>();
        if (!attachShm(c_, byFd_, bytes, fresh->memory))
            return false;
        *place = std::move(fresh);
    }
    Segment &s = **place;

    xcb_generic_error_t *e = nullptr;
    std::unique_ptr<xcb_shm_get_image_reply_t, FreeDeleter> r(xcb_shm_get_image_reply(
        c_,
        xcb_shm_get_image(c_, drawable, std::int16_t(area.x()), std::int16_t(area.y()),
                          std::uint16_t(width), std::uint16_t(height), ~0u,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, s.memory.seg, 0),
        &e));
    std::unique_ptr<xcb_generic_error_t, FreeDeleter> err(e);
    if (!r)
        return false;
    if (!fourBytesAPixel(r->depth)) {
        // Fewer bits a pixel: the copying read converts them, from now on without this one.
        otherLayout_ = true;
        return false;
    }
    if (r->size < bytes)
        return false;
    // X leaves the fourth byte 0 (or alpha, for 32-bit windows); the frame is opaque.
    void *const addr = s.memory.addr;
    opaqueCopy(addr, addr, std::size_t(width) * std::size_t(height));
    s.held.store(true, std::memory_order_relaxed);
    auto *keep = new std::shared_ptr<Segment>(*place);
    QImage frame(static_cast<uchar *>(addr), width, height, qsizetype(width) * 4,
                 QImage::Format_RGB32, &X11GrabSegments::release, keep);
    if (frame.isNull()) {
        release(keep);
        return false;
    }
    image = std::move(frame);
    return true;
}

} // namespace quorix
