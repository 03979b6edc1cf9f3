// The X11 side of the window-system seam, over Qt's own xcb connection.
//
// Every request that can fail on a window that vanished in the meantime is sent so that
// its error comes back to the caller (a reply function's error, or a `_checked` request)
// and never reaches Qt's event queue, which would print it. Such a failure is an ordinary
// result here: an empty capture.
#include "windowsystem/x11/X11WindowSystem.h"

#include "imaging/OpaqueCopy.h"
#include "windowsystem/x11/X11DamageWatch.h"
#include "windowsystem/x11/X11GrabSegments.h"
#include "windowsystem/x11/X11ScreenSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtEndian>

#include <xcb/composite.h>
#include <xcb/randr.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace quorix {

namespace {

struct FreeDeleter
{
    void operator()(void *p) const noexcept { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeDeleter>;
using Error = Reply<xcb_generic_error_t>;

// Larger images than this are refused rather than risking the memory of server and client.
constexpr std::size_t kMaxImageBytes = std::size_t(1) << 28;

// One shared-memory segment for screen (and window) reads, kept between ticks so that a
// tick costs no system calls beyond the read itself.
class ShmSegment
{
  public:
    ShmSegment() = default;
    ShmSegment(const ShmSegment &) = delete;
    ShmSegment &operator=(const ShmSegment &) = delete;
    ~ShmSegment() { drop(nullptr); }

    std::size_t size() const { return memory_.size; }
    const std::uint8_t *data() const { return static_cast<const std::uint8_t *>(memory_.addr); }
    xcb_shm_seg_t seg() const { return memory_.seg; }

    // A segment of at least `bytes`, attached to the server (as a file descriptor where
    // `byFd`). False when the server cannot use shared memory with this program.
    bool reserve(xcb_connection_t *c, bool byFd, std::size_t bytes)
    {
        if (memory_.addr && memory_.size >= bytes)
            return true;
        drop(c);
        return attachShm(c, byFd, bytes, memory_);
    }

    void drop(xcb_connection_t *c)
    {
        if (!memory_.addr)
            return;
        if (c)
            xcb_discard_reply(c, xcb_shm_detach_checked(c, memory_.seg).sequence);
        unmapShm(memory_);
    }

  private:
    ShmMemory memory_;
};

class X11WindowSystem final : public WindowSystem
{
  public:
    X11WindowSystem(xcb_connection_t *c, int screenNumber);
    ~X11WindowSystem() override = default;

    bool captureScreen(QImage &image) override;
    bool captureWindow(WindowId window, QImage &image) override;
    std::vector<WindowInfo> listTopLevelWindows() override;
    bool canCaptureWindows() const override { return composite_; }
    void releaseWindowCapture() override;
    WindowId heldWindow() const override { return redirected_; }
    bool mayHaveChanged(WindowId window) override;

  private:
    // The atoms the window list asks about, interned once.
    enum class Atom
    {
        WmState,
        NetWmName,
        Utf8String,
        NetWmPid,
        NetWmType,
        TypeDesktop,
        TypeDock,
    };
    static constexpr std::size_t kAtomCount = std::size_t(Atom::TypeDock) + 1;
    xcb_atom_t atom(Atom which) const { return atoms_[std::size_t(which)]; }

    bool check(xcb_void_cookie_t cookie) const
    {
        Error err(xcb_request_check(c_, cookie));
        return !err;
    }
    void forget(xcb_void_cookie_t cookie) const { xcb_discard_reply(c_, cookie.sequence); }

    int bitsPerPixel(std::uint8_t depth) const;
    QRect primaryMonitor() const;
    bool readImage(xcb_drawable_t drawable, QRect area, QImage &image);
    bool convert(const std::uint8_t *data, std::size_t length, int width, int height,
                 std::uint8_t depth, QImage &image) const;
    WindowId frameOf(WindowId window) const;
    WindowId clientOf(WindowId frame) const;
    void readProperties(WindowInfo &info) const;

    xcb_connection_t *c_;
    const xcb_setup_t *setup_;
    xcb_screen_t *screen_ = nullptr;
    xcb_atom_t atoms_[kAtomCount] = {};
    bool composite_ = false;
    bool shm_ = false;
    bool shmFd_ = false;    // MIT-SHM 1.2: memory handed over as a file descriptor
    bool monitors_ = false; // RandR 1.5: the server knows the monitors and which is primary
    ShmSegment segment_;    // window reads, and screen reads while every grab segment is held
    X11GrabSegments grabs_;
    X11DamageWatch damage_;
    std::unique_ptr<X11ScreenSize> screenSize_;
    QRect grabbed_;           // the monitor's rectangle at the last screen grab
    WindowId redirected_ = 0; // the frame this program redirected, kept between ticks
    WindowId watchedWindow_ = 0, watchedFrame_ = 0; // the window last asked about
    QImage frames_[2]; // screen grabs, refilled once nobody else holds them
};

X11WindowSystem::X11WindowSystem(xcb_connection_t *c, int screenNumber)
    : c_(c), setup_(xcb_get_setup(c)), grabs_(c), damage_(c)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup_);
    for (int i = 0; it.rem && i < screenNumber; ++i)
        xcb_screen_next(&it);
    screen_ = it.rem ? it.data : xcb_setup_roots_iterator(setup_).data;
    damage_.setOnDrawn([this](xcb_drawable_t drawable, QRect area) {
        if (drawable == screen_->root)
            emit drawn(0, area.translated(-grabbed_.topLeft()));
        else if (drawable == watchedFrame_)
            emit drawn(watchedWindow_, area);
    });

    static const char *const names[kAtomCount] = {"WM_STATE",
                                                  "_NET_WM_NAME",
                                                  "UTF8_STRING",
                                                  "_NET_WM_PID",
                                                  "_NET_WM_WINDOW_TYPE",
                                                  "_NET_WM_WINDOW_TYPE_DESKTOP",
                                                  "_NET_WM_WINDOW_TYPE_DOCK"};
    xcb_intern_atom_cookie_t cookies[kAtomCount];
    for (std::size_t i = 0; i < kAtomCount; ++i)
        cookies[i] = xcb_intern_atom(c_, 0, std::uint16_t(std::strlen(names[i])), names[i]);
    for (std::size_t i = 0; i < kAtomCount; ++i) {
        xcb_generic_error_t *e = nullptr;
        Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(c_, cookies[i], &e));
        Error err(e);
        atoms_[i] = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    // Window capture needs NameWindowPixmap, which came with Composite 0.2.
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c_, &xcb_composite_id);
    if (ext && ext->present) {
        xcb_generic_error_t *e = nullptr;
        Reply<xcb_composite_query_version_reply_t> v(
            xcb_composite_query_version_reply(c_, xcb_composite_query_version(c_, 0, 4), &e));
        Error err(e);
        composite_ = v && (v->major_version > 0 || v->minor_version >= 2);
    }
    ext = xcb_get_extension_data(c_, &xcb_shm_id);
    shm_ = ext && ext->present;
    shmFd_ = shm_ && shmTakesFd(c_);
    screenSize_ = std::make_unique<X11ScreenSize>(
        c_, screen_->root, QSize(screen_->width_in_pixels, screen_->height_in_pixels));
    ext = xcb_get_extension_data(c_, &xcb_randr_id);
    if (ext && ext->present) {
        xcb_generic_error_t *e = nullptr;
        Reply<xcb_randr_query_version_reply_t> v(
            xcb_randr_query_version_reply(c_, xcb_randr_query_version(c_, 1, 5), &e));
        Error err(e);
        monitors_ = v && (v->major_version > 1 || v->minor_version >= 5);
    }
}

QRect X11WindowSystem::primaryMonitor() const
{
    const QRect root = screenSize_->root();
    if (monitors_) {
        xcb_generic_error_t *e = nullptr;
        Reply<xcb_randr_get_monitors_reply_t> r(
            xcb_randr_get_monitors_reply(c_, xcb_randr_get_monitors(c_, screen_->root, 1), &e));
        Error err(e);
        QRect first;
        if (r) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem;
                 xcb_randr_monitor_info_next(&it)) {
                const QRect rect(it.data->x, it.data->y, it.data->width, it.data->height);
                if (it.data->primary)
                    return rect & root;
                if (first.isNull() || rect.y() < first.y() ||
                    (rect.y() == first.y() && rect.x() < first.x()))
                    first = rect;
            }
        }
        // No monitor is marked primary: the desktop's top-left one stands for it.
        if (!first.isNull())
            return first & root;
    }
    // Without monitors the primary screen's size, from the desktop's top-left corner.
    QRect area = root;
    if (const QScreen *primary = QGuiApplication::primaryScreen()) {
        const qreal ratio = primary->devicePixelRatio();
        area.setWidth(std::min(area.width(), qRound(primary->geometry().width() * ratio)));
        area.setHeight(std::min(area.height(), qRound(primary->geometry().height() * ratio)));
    }
    return area;
}

int X11WindowSystem::bitsPerPixel(std::uint8_t depth) const
{
    xcb_format_iterator_t it = xcb_setup_pixmap_formats_iterator(setup_);
    for (; it.rem; xcb_format_next(&it))
        if (it.data->depth == depth)
            return it.data->bits_per_pixel;
    return 0;
}

bool X11WindowSystem::convert(const std::uint8_t *data, std::size_t length, int width, int height,
                              std::uint8_t depth, QImage &image) const
{
    const int bpp = bitsPerPixel(depth);
    if (setup_->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST ||
        QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return false;
    if ((depth == 24 || depth == 32) && bpp == 32) {
        const std::size_t stride = std::size_t(width) * 4;
        if (length < stride * std::size_t(height))
            return false;
        // A buffer that nobody else holds any more is filled again: a frame the size of the
        // screen costs thousands of page faults when it is fresh memory.
        if (!image.isDetached() || image.size() != QSize(width, height) ||
            image.format() != QImage::Format_RGB32)
            image = QImage(width, height, QImage::Format_RGB32);
        if (image.isNull())
            return false;
        // X leaves the fourth byte 0 (or alpha, for 32-bit windows); the image is opaque.
        for (int y = 0; y < height; ++y)
            opaqueCopy(reinterpret_cast<std::uint32_t *>(image.scanLine(y)),
                       reinterpret_cast<const std::uint32_t *>(data + stride * y),
                       std::size_t(width));
        return true;
    }
    if (depth == 16 && bpp == 16) {
        const std::size_t stride = (std::size_t(width) * 2 + 3) & ~std::size_t(3);
        if (length < stride * std::size_t(height))
            return false;
        image = QImage(data, width, height, qsizetype(stride), QImage::Format_RGB16)
                    .convertToFormat(QImage::Format_RGB32);
        return !image.isNull();
    }
    return false;
}

bool X11WindowSystem::readImage(xcb_drawable_t drawable, QRect area, QImage &image)
{
    const int width = area.width();
    const int height = area.height();
    const auto x = std::int16_t(area.x());
    const auto y = std::int16_t(area.y());
    if (width <= 0 || height <= 0)
        return false;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    if (bytes > kMaxImageBytes)
        return false;
    if (shm_ && segment_.reserve(c_, shmFd_, bytes)) {
        xcb_generic_error_t *e = nullptr;
        Reply<xcb_shm_get_image_reply_t> r(xcb_shm_get_image_reply(
            c_,
            xcb_shm_get_image(c_, drawable, x, y, std::uint16_t(width), std::uint16_t(height), ~0u,
                              XCB_IMAGE_FORMAT_Z_PIXMAP, segment_.seg(), 0),
            &e));
        Error err(e);
        if (r)
            return convert(segment_.data(), segment_.size(), width, height, r->depth, image);
        // A drawable that went away is a failed capture; anything else means the server
        // will not share memory with us after all, and plain reads take over.
        if (err && (err->error_code == XCB_DRAWABLE || err->error_code == XCB_MATCH ||
                    err->error_code == XCB_WINDOW || err->error_code == XCB_PIXMAP))
            return false;
        shm_ = false;
        segment_.drop(c_);
    } else {
        shm_ = false;
    }
    xcb_generic_error_t *e = nullptr;
    Reply<xcb_get_image_reply_t> r(
        xcb_get_image_reply(c_,
                            xcb_get_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, x, y,
                                          std::uint16_t(width), std::uint16_t(height), ~0u),
                            &e));
    Error err(e);
    if (!r)
        return false;
    return convert(xcb_get_image_data(r.get()), std::size_t(xcb_get_image_data_length(r.get())),
                   width, height, r->depth, image);
}

bool X11WindowSystem::captureScreen(QImage &image)
{
    image = QImage();
    // The primary monitor's rectangle in the server's own pixels, wherever it lies on the
    // desktop, and never past the root window.
    const QRect area = primaryMonitor();
    grabbed_ = area;
    if (shm_ && std::size_t(area.width()) * std::size_t(area.height()) * 4 <= kMaxImageBytes &&
        grabs_.read(screen_->root, area, image))
        return true;
    // Two frames take turns: the one handed out last is usually still the current bitmap.
    QImage *frame = nullptr;
    for (QImage &f : frames_)
        if (f.isDetached())
            frame = &f;
    for (QImage &f : frames_)
        if (!frame && f.isNull())
            frame = &f;
    if (!frame)
        frame = &frames_[0];
    if (!readImage(screen_->root, area, *frame)) {
        *frame = QImage();
        // The screen may have shrunk with its notice still on the way: the next look
        // asks the server for its size.
        screenSize_->forget();
        return false;
    }
    image = *frame;
    return true;
}

WindowId X11WindowSystem::frameOf(WindowId window) const
{
    if (window > 0xffffffffu)
        return 0; // not an X11 id

    // Walk up to the root's child that holds the window; bounded, since a window tree
    // that changes under us must not keep us here.
    for (int level = 0; level < 32 && window != XCB_WINDOW_NONE; ++level) {
        xcb_generic_error_t *e = nullptr;
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c_, xcb_query_tree(c_, window), &e));
        Error err(e);
        if (!tree || window == tree->root)
            return 0;
        if (tree->parent == tree->root)
            return window;
        window = tree->parent;
    }
    return 0;
}

bool X11WindowSystem::mayHaveChanged(WindowId window)
{
    if (window == 0) {
        // Monitors rearranged or the screen resized (which draws nothing by itself): the
        // primary monitor is grabbed as it is now.
        const bool resized = screenSize_->changedSinceLastAsked();
        const bool drawn = damage_.changedSinceLastAsked(screen_->root);
        return resized || drawn || primaryMonitor() != grabbed_;
    }
    const WindowId frame = frameOf(window);
    watchedWindow_ = window;
    watchedFrame_ = frame;
    return frame == 0 || damage_.changedSinceLastAsked(frame);
}

void X11WindowSystem::releaseWindowCapture()
{
    if (redirected_)
        damage_.forget(redirected_);
    if (redirected_)
        forget(xcb_composite_unredirect_window_checked(c_, redirected_,
                                                       XCB_COMPOSITE_REDIRECT_AUTOMATIC));
    redirected_ = 0;
}

bool X11WindowSystem::captureWindow(WindowId window, QImage &image)
{
    image = QImage();
    if (!composite_ || window == 0 || window > 0xffffffffu)
        return false;
    const WindowId frame = frameOf(window);
    if (!frame)
        return false;
    // The frame stays redirected between ticks: a fresh redirect holds the window's
    // image only once the window has repainted what was covered.
    if (frame != redirected_) {
        releaseWindowCapture();
        if (check(
                xcb_composite_redirect_window_checked(c_, frame, XCB_COMPOSITE_REDIRECT_AUTOMATIC)))
            redirected_ = frame;
    }
    const xcb_pixmap_t pixmap = xcb_generate_id(c_);
    if (!check(xcb_composite_name_window_pixmap_checked(c_, frame, pixmap))) {
        releaseWindowCapture();
        return false;
    }
    xcb_generic_error_t *e = nullptr;
    Reply<xcb_get_geometry_reply_t> geo(
        xcb_get_geometry_reply(c_, xcb_get_geometry(c_, pixmap), &e));
    Error err(e);
    bool ok = geo && readImage(pixmap, QRect(0, 0, geo->width, geo->height), image);
    forget(xcb_free_pixmap_checked(c_, pixmap));
    if (!ok)
        image = QImage();
    return ok;
}

WindowId X11WindowSystem::clientOf(WindowId frame) const
{
    // The client is the window that carries WM_STATE: the frame itself when nothing
    // reparented it, else the first one found going down, level by level.
    std::vector<WindowId> level{frame};
    for (int depth = 0; depth < 4 && !level.empty(); ++depth) {
        std::vector<xcb_get_property_cookie_t> states;
        for (WindowId w : level)
            states.push_back(xcb_get_property(c_, 0, w, atom(Atom::WmState), XCB_ATOM_ANY, 0, 0));
        WindowId found = 0;
        for (std::size_t i = 0; i < level.size(); ++i) {
            xcb_generic_error_t *e = nullptr;
            Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(c_, states[i], &e));
            Error err(e);
            if (!found && r && r->type != XCB_ATOM_NONE)
                found = level[i];
        }
        if (found)
            return found;
        std::vector<xcb_query_tree_cookie_t> trees;
        for (WindowId w : level)
            trees.push_back(xcb_query_tree(c_, w));
        std::vector<WindowId> next;
        for (auto cookie : trees) {
            xcb_generic_error_t *e = nullptr;
            Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c_, cookie, &e));
            Error err(e);
            if (!tree)
                continue;
            const xcb_window_t *kids = xcb_query_tree_children(tree.get());
            next.insert(next.end(), kids, kids + xcb_query_tree_children_length(tree.get()));
        }
        level = std::move(next);
    }
    return frame;
}

namespace {

QString propertyText(const xcb_get_property_reply_t *r, bool utf8)
{
    if (!r || r->format != 8)
        return {};
    const char *text = static_cast<const char *>(xcb_get_property_value(r));
    const int length = xcb_get_property_value_length(r);
    const int end = int(std::find(text, text + length, '\0') - text);
    return utf8 ? QString::fromUtf8(text, end) : QString::fromLatin1(text, end);
}

} // namespace

void X11WindowSystem::readProperties(WindowInfo &info) const
{
    const WindowId w = info.id;
    auto get = [&](xcb_atom_t property, xcb_atom_t type, std::uint32_t longs) {
        return xcb_get_property(c_, 0, w, property, type, 0, longs);
    };
    xcb_get_property_cookie_t cookies[] = {
        get(XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256),
        get(atom(Atom::NetWmName), atom(Atom::Utf8String), 256),
        get(XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 256),
        get(atom(Atom::NetWmPid), XCB_ATOM_CARDINAL, 1),
        get(atom(Atom::NetWmType), XCB_ATOM_ATOM, 32),
    };
    Reply<xcb_get_property_reply_t> r[5];
    for (int i = 0; i < 5; ++i) {
        xcb_generic_error_t *e = nullptr;
        r[i].reset(xcb_get_property_reply(c_, cookies[i], &e));
        Error err(e);
    }
    // WM_CLASS holds "instance\0class\0"; the class is the second string.
    if (r[0] && r[0]->format == 8) {
        const char *text = static_cast<const char *>(xcb_get_property_value(r[0].get()));
        const int length = xcb_get_property_value_length(r[0].get());
        const char *nul = std::find(text, text + length, '\0');
        if (nul != text + length) {
            const char *start = nul + 1;
            const char *end = std::find(start, text + length, '\0');
            info.className = QString::fromLatin1(start, int(end - start));
        }
    }
    info.title = propertyText(r[1].get(), true);
    if (info.title.isEmpty() && r[2])
        info.title = propertyText(r[2].get(), r[2]->type == atom(Atom::Utf8String));
    if (r[3] && r[3]->format == 32 && xcb_get_property_value_length(r[3].get()) >= 4)
        info.pid = *static_cast<const std::uint32_t *>(xcb_get_property_value(r[3].get()));
    if (r[4] && r[4]->format == 32) {
        const auto *types = static_cast<const xcb_atom_t *>(xcb_get_property_value(r[4].get()));
        const int count = xcb_get_property_value_length(r[4].get()) / 4;
        for (int i = 0; i < count; ++i) {
            if (types[i] == atom(Atom::TypeDesktop))
                info.kind = WindowInfo::Kind::Desktop;
            else if (types[i] == atom(Atom::TypeDock))
                info.kind = WindowInfo::Kind::Dock;
        }
    }
}

std::vector<WindowInfo> X11WindowSystem::listTopLevelWindows()
{
    xcb_generic_error_t *e = nullptr;
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c_, xcb_query_tree(c_, screen_->root), &e));
    Error err(e);
    if (!tree)
        return {};
    const xcb_window_t *kids = xcb_query_tree_children(tree.get());
    // The server lists the children bottom to top; the picker wants the frontmost first.
    std::vector<xcb_window_t> frames(kids, kids + xcb_query_tree_children_length(tree.get()));
    std::reverse(frames.begin(), frames.end());

    std::vector<xcb_get_window_attributes_cookie_t> attrs;
    std::vector<xcb_get_geometry_cookie_t> geos;
    for (xcb_window_t w : frames) {
        attrs.push_back(xcb_get_window_attributes(c_, w));
        geos.push_back(xcb_get_geometry(c_, w));
    }
    std::vector<WindowInfo> list;
    list.reserve(frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        xcb_generic_error_t *e1 = nullptr, *e2 = nullptr;
        Reply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(c_, attrs[i], &e1));
        Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c_, geos[i], &e2));
        Error err1(e1), err2(e2);
        if (!a || !g)
            continue; // gone since the tree was read
        WindowInfo info;
        info.frame = frames[i];
        info.id = frames[i];
        info.viewable = a->map_state == XCB_MAP_STATE_VIEWABLE;
        const int border = 2 * g->border_width;
        info.frameRect = QRect(g->x, g->y, g->width + border, g->height + border);
        list.push_back(info);
    }
    for (WindowInfo &info : list) {
        if (info.viewable)
            info.id = clientOf(info.frame);
        readProperties(info);
    }
    return list;
}

int screenNumberOfDisplay()
{
    int screen = 0;
    char *host = nullptr;
    int display = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        screen = 0;
    std::free(host);
    return screen;
}

} // namespace

std::unique_ptr<WindowSystem> makeX11WindowSystem()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    return std::make_unique<X11WindowSystem>(x11->connection(), screenNumberOfDisplay());
}

} // namespace quorix
