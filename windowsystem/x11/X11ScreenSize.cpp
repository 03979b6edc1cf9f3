#include "windowsystem/x11/X11ScreenSize.h"

#include <QCoreApplication>

#include <xcb/randr.h>

#include <cstdlib>
#include <memory>

namespace quorix {

X11ScreenSize::X11ScreenSize(xcb_connection_t *c, xcb_window_t root, QSize initial)
    : c_(c), root_(root), size_(initial)
{
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c_, &xcb_randr_id);
    if (!ext || !ext->present)
        return;
    firstEvent_ = ext->first_event;
    // The client's selection on a window is one mask: Qt, on this same connection, asks
    // for these four, so the selection here keeps them all.
    xcb_discard_reply(c_, xcb_randr_select_input_checked(c_, root_,
                                                         XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE |
                                                             XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE |
                                                             XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                                                             XCB_RANDR_NOTIFY_MASK_OUTPUT_PROPERTY)
                              .sequence);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11ScreenSize::~X11ScreenSize()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

QRect X11ScreenSize::root()
{
    if (stale_) {
        xcb_generic_error_t *e = nullptr;
        auto *g = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, root_), &e);
        if (g) {
            size_ = QSize(g->width, g->height);
            stale_ = false;
        }
        std::free(g);
        std::free(e);
    }
    return QRect(QPoint(0, 0), size_);
}

bool X11ScreenSize::changedSinceLastAsked()
{
    const bool changed = changed_;
    changed_ = false;
    return changed;
}

bool X11ScreenSize::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
    if (firstEvent_ == 0 || type != "xcb_generic_event_t" || !message)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) == firstEvent_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY) {
        stale_ = true;
        changed_ = true;
    }
    return false;
}

} // namespace quorix
