#include "windowsystem/portal/PipeWireStream.h"

#include "imaging/OpaqueCopy.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <unistd.h>

#include <QMutex>

#include <algorithm>
#include <atomic>

namespace quorix {

namespace {

using Clock = std::chrono::steady_clock;

// Larger frames than this are refused, as a screen grab of that size would be.
constexpr std::size_t kMaxFrameBytes = std::size_t(1) << 28;

} // namespace

struct PipeWireStream::State
{
    PipeWireStream *owner = nullptr;
    int fd = -1;
    std::uint32_t node = 0;
    pw_thread_loop *loop = nullptr;
    pw_context *context = nullptr;
    pw_core *core = nullptr;
    pw_stream *stream = nullptr;
    spa_hook coreListener{};
    spa_hook streamListener{};
    bool wasConnected = false;
    std::atomic<bool> ended{false};

    // Set in the stream thread only.
    spa_video_format format = SPA_VIDEO_FORMAT_UNKNOWN;
    QSize size;
    QImage pool[3];

    mutable QMutex slotLock;
    QImage newest;
    std::uint64_t serial = 0;
    Timing timing;

    void end()
    {
        if (!ended.exchange(true))
            emit owner->ended();
    }
    void receive();
    // The image a frame of `area` size is copied into: a pool image nobody else holds any
    // more, or `fresh`.
    QImage *frameImage(QSize area, QImage &fresh);
};

namespace {

// Converts one row into opaque Format_RGB32 (B, G, R, 255 in memory).
void copyRow(std::uint32_t *out, const std::uint8_t *in, int width, spa_video_format format)
{
    if (format == SPA_VIDEO_FORMAT_BGRx || format == SPA_VIDEO_FORMAT_BGRA) {
        opaqueCopy(out, in, std::size_t(width));
        return;
    }
    for (int x = 0; x < width; ++x) {
        const std::uint8_t *p = in + 4 * x;
        out[x] = 0xFF000000u | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
    }
}

void onStateChanged(void *data, pw_stream_state, pw_stream_state state, const char *)
{
    auto *d = static_cast<PipeWireStream::State *>(data);
    if (state == PW_STREAM_STATE_PAUSED || state == PW_STREAM_STATE_STREAMING)
        d->wasConnected = true;
    if (state == PW_STREAM_STATE_ERROR || (state == PW_STREAM_STATE_UNCONNECTED && d->wasConnected))
        d->end();
}

void onParamChanged(void *data, std::uint32_t id, const spa_pod *param)
{
    auto *d = static_cast<PipeWireStream::State *>(data);
    if (id != SPA_PARAM_Format || !param)
        return;
    spa_video_info_raw info{};
    if (spa_format_video_raw_parse(param, &info) < 0)
        return;
    d->format = info.format;
    d->size = QSize(int(info.size.width), int(info.size.height));
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod *params[3];
    params[0] = static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemFd) | (1 << SPA_DATA_MemPtr))));
    params[1] = static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header))));
    params[2] = static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_VideoCrop), SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_region))));
    pw_stream_update_params(d->stream, params, 3);
}

void onProcess(void *data)
{
    static_cast<PipeWireStream::State *>(data)->receive();
}

void onCoreError(void *data, std::uint32_t id, int, int, const char *)
{
    // An error on the core itself means the remote is gone.
    if (id == PW_ID_CORE)
        static_cast<PipeWireStream::State *>(data)->end();
}

const pw_stream_events kStreamEvents = [] {
    pw_stream_events e{};
    e.version = PW_VERSION_STREAM_EVENTS;
    e.state_changed = onStateChanged;
    e.param_changed = onParamChanged;
    e.process = onProcess;
    return e;
}();

const pw_core_events kCoreEvents = [] {
    pw_core_events e{};
    e.version = PW_VERSION_CORE_EVENTS;
    e.error = onCoreError;
    return e;
}();

} // namespace

void PipeWireStream::State::receive()
{
    // Only the newest buffer matters; older ones go straight back.
    pw_buffer *buffer = nullptr;
    while (pw_buffer *next = pw_stream_dequeue_buffer(stream)) {
        if (buffer)
            pw_stream_queue_buffer(stream, buffer);
        buffer = next;
    }
    if (!buffer)
        return;
    const Clock::time_point start = Clock::now();
    spa_buffer *spa = buffer->buffer;
    const spa_data &plane = spa->datas[0];
    const auto *header = static_cast<const spa_meta_header *>(
        spa_buffer_find_meta_data(spa, SPA_META_Header, sizeof(spa_meta_header)));
    const bool corrupted = (header && (header->flags & SPA_META_HEADER_FLAG_CORRUPTED)) ||
                           !plane.chunk || (plane.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED);
    const bool usable = format == SPA_VIDEO_FORMAT_BGRx || format == SPA_VIDEO_FORMAT_BGRA ||
                        format == SPA_VIDEO_FORMAT_RGBx || format == SPA_VIDEO_FORMAT_RGBA;
    // A buffer without pixels (only a cursor moved, say) leaves the last frame as it is.
    if (corrupted || !usable || !plane.data || plane.chunk->size == 0 || size.isEmpty()) {
        pw_stream_queue_buffer(stream, buffer);
        return;
    }
    const std::size_t stride =
        plane.chunk->stride > 0 ? std::size_t(plane.chunk->stride) : std::size_t(size.width()) * 4;
    const std::size_t offset = plane.chunk->offset % std::max<std::uint32_t>(plane.maxsize, 1);
    QRect area(QPoint(0, 0), size);
    if (const auto *crop = static_cast<const spa_meta_region *>(
            spa_buffer_find_meta_data(spa, SPA_META_VideoCrop, sizeof(spa_meta_region)))) {
        const QRect region(crop->region.position.x, crop->region.position.y,
                           int(crop->region.size.width), int(crop->region.size.height));
        if (!region.isEmpty())
            area &= region;
    }
    const std::size_t needed =
        offset + stride * std::size_t(area.bottom()) + std::size_t(area.right() + 1) * 4;
    if (area.isEmpty() || stride < std::size_t(size.width()) * 4 || needed > plane.maxsize ||
        std::size_t(area.width()) * std::size_t(area.height()) * 4 > kMaxFrameBytes) {
        pw_stream_queue_buffer(stream, buffer);
        return;
    }
    QImage fresh;
    QImage *target = frameImage(area.size(), fresh);
    if (target->isNull()) {
        pw_stream_queue_buffer(stream, buffer);
        return;
    }
    const auto *base = static_cast<const std::uint8_t *>(plane.data) + offset;
    for (int y = 0; y < area.height(); ++y)
        copyRow(reinterpret_cast<std::uint32_t *>(target->scanLine(y)),
                base + stride * std::size_t(area.y() + y) + std::size_t(area.x()) * 4, area.width(),
                format);
    pw_stream_queue_buffer(stream, buffer);

    const Clock::time_point locking = Clock::now();
    {
        QMutexLocker lock(&slotLock);
        newest = *target;
        ++serial;
        const Clock::time_point done = Clock::now();
        timing.lastHandover = done - start;
        timing.longestLock = std::max<std::chrono::nanoseconds>(timing.longestLock, done - locking);
        ++timing.frames;
    }
    emit owner->frameArrived();
}

QImage *PipeWireStream::State::frameImage(QSize area, QImage &fresh)
{
    // A pool image nobody else holds any more is filled again (fresh memory the size of
    // a screen costs page faults); the slot and the user-interface thread keep theirs.
    QImage *target = nullptr;
    for (QImage &image : pool)
        if (image.isDetached() && image.size() == area)
            target = &image;
    for (QImage &image : pool)
        if (!target && (image.isNull() || image.isDetached()))
            target = &image;
    if (!target)
        target = &fresh;
    if (target->size() != area)
        *target = QImage(area, QImage::Format_RGB32);
    return target;
}

PipeWireStream::PipeWireStream(int fd, std::uint32_t node, QObject *parent)
    : QObject(parent), d(std::make_unique<State>())
{
    d->owner = this;
    d->fd = fd;
    d->node = node;
}

PipeWireStream::~PipeWireStream()
{
    if (d->loop) {
        pw_thread_loop_lock(d->loop);
        if (d->stream)
            pw_stream_destroy(d->stream);
        if (d->core)
            pw_core_disconnect(d->core);
        pw_thread_loop_unlock(d->loop);
        pw_thread_loop_stop(d->loop);
        if (d->context)
            pw_context_destroy(d->context);
        pw_thread_loop_destroy(d->loop);
    }
    if (d->fd >= 0)
        close(d->fd);
}

bool PipeWireStream::start()
{
    // A stream that cannot start has ended before its first frame.
    const auto fail = [this] {
        d->end();
        return false;
    };
    pw_init(nullptr, nullptr);
    d->loop = pw_thread_loop_new("quorix-screen", nullptr);
    if (!d->loop)
        return fail();
    d->context = pw_context_new(pw_thread_loop_get_loop(d->loop), nullptr, 0);
    if (!d->context || pw_thread_loop_start(d->loop) < 0)
        return fail();
    pw_thread_loop_lock(d->loop);
    // The core owns the descriptor from here on, also when connecting fails.
    d->core = pw_context_connect_fd(d->context, d->fd, nullptr, 0);
    d->fd = -1;
    if (!d->core) {
        pw_thread_loop_unlock(d->loop);
        return fail();
    }
    pw_core_add_listener(d->core, &d->coreListener, &kCoreEvents, d.get());
    d->stream = pw_stream_new(d->core, "Quorix screen",
                              pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                                "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    if (!d->stream) {
        pw_thread_loop_unlock(d->loop);
        return fail();
    }
    pw_stream_add_listener(d->stream, &d->streamListener, &kStreamEvents, d.get());
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    spa_rectangle sizeDefault = SPA_RECTANGLE(1920, 1080);
    spa_rectangle sizeMin = SPA_RECTANGLE(1, 1);
    spa_rectangle sizeMax = SPA_RECTANGLE(16384, 16384);
    spa_fraction rateDefault = SPA_FRACTION(30, 1);
    spa_fraction rateMin = SPA_FRACTION(0, 1);
    spa_fraction rateMax = SPA_FRACTION(1000, 1);
    const spa_pod *params[1] = {static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
        SPA_POD_CHOICE_ENUM_Id(5, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx,
                               SPA_VIDEO_FORMAT_BGRA, SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA),
        SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&sizeDefault, &sizeMin, &sizeMax),
        SPA_FORMAT_VIDEO_framerate,
        SPA_POD_CHOICE_RANGE_Fraction(&rateDefault, &rateMin, &rateMax)))};
    const int rc =
        pw_stream_connect(d->stream, PW_DIRECTION_INPUT, d->node,
                          pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                          PW_STREAM_FLAG_DONT_RECONNECT),
                          params, 1);
    pw_thread_loop_unlock(d->loop);
    if (rc < 0)
        return fail();
    return true;
}

QImage PipeWireStream::newestFrame(std::uint64_t *serial) const
{
    QMutexLocker lock(&d->slotLock);
    if (serial)
        *serial = d->serial;
    return d->newest;
}

bool PipeWireStream::hasEnded() const
{
    return d->ended;
}

PipeWireStream::Timing PipeWireStream::timing() const
{
    QMutexLocker lock(&d->slotLock);
    return d->timing;
}

} // namespace quorix
