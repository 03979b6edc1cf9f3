#include "VideoSource.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace quorix::test {

struct VideoSource::State
{
    pw_thread_loop *loop = nullptr;
    pw_context *context = nullptr;
    pw_core *core = nullptr;
    pw_stream *stream = nullptr;
    spa_hook listener{};
    pw_stream_state state = PW_STREAM_STATE_UNCONNECTED;
    QSize offered;    // the size of the format offered
    QSize negotiated; // the size of the buffers
    int stride = 0;
    QImage pending; // the frame waiting for a buffer
    QRect pendingCrop;
    std::uint64_t sequence = 0;

    bool rgbx = false;

    void offerFormat(QSize size);
};

namespace {

void sendPending(VideoSource::State *d);

const spa_pod *formatParam(spa_pod_builder *b, QSize size, bool rgbx)
{
    spa_rectangle rect = SPA_RECTANGLE(std::uint32_t(size.width()), std::uint32_t(size.height()));
    spa_fraction rate = SPA_FRACTION(0, 1);
    spa_fraction maxDefault = SPA_FRACTION(30, 1);
    spa_fraction maxMin = SPA_FRACTION(1, 1);
    spa_fraction maxMax = SPA_FRACTION(60, 1);
    return static_cast<const spa_pod *>(spa_pod_builder_add_object(
        b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype,
        SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
        SPA_POD_Id(rgbx ? SPA_VIDEO_FORMAT_RGBx : SPA_VIDEO_FORMAT_BGRx), SPA_FORMAT_VIDEO_size,
        SPA_POD_Rectangle(&rect), SPA_FORMAT_VIDEO_framerate, SPA_POD_Fraction(&rate),
        SPA_FORMAT_VIDEO_maxFramerate,
        SPA_POD_CHOICE_RANGE_Fraction(&maxDefault, &maxMin, &maxMax)));
}

void onStateChanged(void *data, pw_stream_state, pw_stream_state state, const char *error)
{
    auto *d = static_cast<VideoSource::State *>(data);
    d->state = state;
    if (error)
        qWarning("backend stream: %s", error);
    // A frame given before a consumer was linked goes out now.
    if (state == PW_STREAM_STATE_STREAMING)
        sendPending(d);
    pw_thread_loop_signal(d->loop, false);
}

void onParamChanged(void *data, std::uint32_t id, const spa_pod *param)
{
    auto *d = static_cast<VideoSource::State *>(data);
    if (id != SPA_PARAM_Format || !param)
        return;
    spa_video_info_raw info{};
    if (spa_format_video_raw_parse(param, &info) < 0)
        return;
    d->negotiated = QSize(int(info.size.width), int(info.size.height));
    // Rows padded beyond the pixels, as GPU-backed desktops do: the consumer must read
    // with the stride it is given.
    d->stride = d->negotiated.width() * 4 + 64;
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod *params[3];
    params[0] = static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
        SPA_POD_CHOICE_RANGE_Int(4, 2, 8), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1),
        SPA_PARAM_BUFFERS_size, SPA_POD_Int(d->stride * d->negotiated.height()),
        SPA_PARAM_BUFFERS_stride, SPA_POD_Int(d->stride), SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int(1 << SPA_DATA_MemFd)));
    params[1] = static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_Header), SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header))));
    params[2] = static_cast<const spa_pod *>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
        SPA_POD_Id(SPA_META_VideoCrop), SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_region))));
    pw_stream_update_params(d->stream, params, 3);
}

void onAddBuffer(void *data, pw_buffer *buffer)
{
    auto *d = static_cast<VideoSource::State *>(data);
    spa_data &plane = buffer->buffer->datas[0];
    if (!(plane.type & (1u << SPA_DATA_MemFd)))
        return;
    const std::size_t size = std::size_t(d->stride) * std::size_t(d->negotiated.height());
    const int fd = memfd_create("quorix-test-frame", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0 || ftruncate(fd, off_t(size)) < 0) {
        if (fd >= 0)
            close(fd);
        return;
    }
    void *addr = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (addr == MAP_FAILED) {
        close(fd);
        return;
    }
    plane.type = SPA_DATA_MemFd;
    plane.flags = SPA_DATA_FLAG_READWRITE;
    plane.fd = fd;
    plane.mapoffset = 0;
    plane.maxsize = std::uint32_t(size);
    plane.data = addr;
}

void onRemoveBuffer(void *, pw_buffer *buffer)
{
    spa_data &plane = buffer->buffer->datas[0];
    if (plane.type != SPA_DATA_MemFd || plane.fd < 0)
        return;
    munmap(plane.data, plane.maxsize);
    close(int(plane.fd));
    plane.fd = -1;
    plane.data = nullptr;
}

// Fills a buffer with the pending frame and queues it; queueing a buffer on a driving
// stream starts the graph's cycle that carries it to the consumer.
void sendPending(VideoSource::State *d)
{
    if (d->pending.isNull() || d->pending.size() != d->negotiated)
        return;
    pw_buffer *buffer = pw_stream_dequeue_buffer(d->stream);
    if (!buffer)
        return;
    spa_buffer *spa = buffer->buffer;
    spa_data &plane = spa->datas[0];
    if (!plane.data) {
        pw_stream_queue_buffer(d->stream, buffer);
        return;
    }
    const QImage &frame = d->pending;
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(static_cast<std::uint8_t *>(plane.data) +
                        std::size_t(y) * std::size_t(d->stride),
                    frame.constScanLine(y), std::size_t(frame.width()) * 4);
    plane.chunk->offset = 0;
    plane.chunk->size = std::uint32_t(d->stride * frame.height());
    plane.chunk->stride = d->stride;
    plane.chunk->flags = 0;
    if (auto *header = static_cast<spa_meta_header *>(
            spa_buffer_find_meta_data(spa, SPA_META_Header, sizeof(spa_meta_header)))) {
        header->flags = 0;
        header->seq = d->sequence++;
        header->pts = -1;
        header->dts_offset = 0;
    }
    if (auto *crop = static_cast<spa_meta_region *>(
            spa_buffer_find_meta_data(spa, SPA_META_VideoCrop, sizeof(spa_meta_region)))) {
        const QRect r =
            d->pendingCrop.isNull() ? QRect(QPoint(0, 0), frame.size()) : d->pendingCrop;
        crop->region =
            SPA_REGION(r.x(), r.y(), std::uint32_t(r.width()), std::uint32_t(r.height()));
    }
    pw_stream_queue_buffer(d->stream, buffer);
    d->pending = QImage();
}

const pw_stream_events kEvents = [] {
    pw_stream_events e{};
    e.version = PW_VERSION_STREAM_EVENTS;
    e.state_changed = onStateChanged;
    e.param_changed = onParamChanged;
    e.add_buffer = onAddBuffer;
    e.remove_buffer = onRemoveBuffer;
    return e;
}();

} // namespace

void VideoSource::State::offerFormat(QSize size)
{
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod *params[1] = {formatParam(&b, size, rgbx)};
    offered = size;
    pw_stream_update_params(stream, params, 1);
}

VideoSource::VideoSource() : d(std::make_unique<State>())
{
    pw_init(nullptr, nullptr);
}

VideoSource::~VideoSource()
{
    stop();
}

bool VideoSource::start(QSize size, bool rgbx)
{
    d->rgbx = rgbx;
    d->loop = pw_thread_loop_new("quorix-test-source", nullptr);
    if (!d->loop || pw_thread_loop_start(d->loop) < 0)
        return false;
    pw_thread_loop_lock(d->loop);
    d->context = pw_context_new(pw_thread_loop_get_loop(d->loop), nullptr, 0);
    d->core = d->context ? pw_context_connect(d->context, nullptr, 0) : nullptr;
    if (!d->core) {
        pw_thread_loop_unlock(d->loop);
        return false;
    }
    d->stream = pw_stream_new(d->core, "quorix-test-screen",
                              pw_properties_new(PW_KEY_MEDIA_CLASS, "Video/Source",
                                                PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    pw_stream_add_listener(d->stream, &d->listener, &kEvents, d.get());
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof(buffer));
    const spa_pod *params[1] = {formatParam(&b, size, d->rgbx)};
    d->offered = size;
    pw_stream_connect(d->stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                      pw_stream_flags(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_ALLOC_BUFFERS), params,
                      1);
    for (int i = 0; i < 50 && d->state != PW_STREAM_STATE_PAUSED &&
                    d->state != PW_STREAM_STATE_STREAMING && d->state != PW_STREAM_STATE_ERROR;
         ++i)
        pw_thread_loop_timed_wait(d->loop, 1);
    const bool ok = d->state == PW_STREAM_STATE_PAUSED || d->state == PW_STREAM_STATE_STREAMING;
    pw_thread_loop_unlock(d->loop);
    return ok;
}

std::uint32_t VideoSource::nodeId() const
{
    if (!d->stream)
        return PW_ID_ANY;
    pw_thread_loop_lock(d->loop);
    const std::uint32_t id = pw_stream_get_node_id(d->stream);
    pw_thread_loop_unlock(d->loop);
    return id;
}

void VideoSource::send(const QImage &frame, QRect crop)
{
    if (!d->stream)
        return;
    pw_thread_loop_lock(d->loop);
    d->pending = frame.convertToFormat(d->rgbx ? QImage::Format_RGBX8888 : QImage::Format_RGB32);
    d->pendingCrop = crop;
    if (frame.size() != d->offered)
        d->offerFormat(frame.size());
    sendPending(d.get());
    pw_thread_loop_unlock(d->loop);
}

void VideoSource::flush()
{
    if (!d->stream)
        return;
    pw_thread_loop_lock(d->loop);
    sendPending(d.get());
    pw_thread_loop_unlock(d->loop);
}

void VideoSource::stop()
{
    if (!d->loop)
        return;
    pw_thread_loop_lock(d->loop);
    if (d->stream) {
        pw_stream_disconnect(d->stream);
        pw_stream_destroy(d->stream);
        d->stream = nullptr;
    }
    if (d->core)
        pw_core_disconnect(d->core);
    d->core = nullptr;
    pw_thread_loop_unlock(d->loop);
    pw_thread_loop_stop(d->loop);
    if (d->context)
        pw_context_destroy(d->context);
    d->context = nullptr;
    pw_thread_loop_destroy(d->loop);
    d->loop = nullptr;
}

} // namespace quorix::test
