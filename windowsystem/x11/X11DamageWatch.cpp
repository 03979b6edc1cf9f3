#include "windowsystem/x11/X11DamageWatch.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>

namespace quorix {

namespace {

constexpr std::size_t kMaxWatches = 4;

} // namespace

X11DamageWatch::X11DamageWatch(xcb_connection_t *c) : c_(c)
{
    const xcb_query_extension_reply_t *ext = xcb_get_extension_data(c_, &xcb_damage_id);
    if (!ext || !ext->present)
        return;
    // The version must be asked before any other request of the extension.
    xcb_generic_error_t *e = nullptr;
    auto *v = xcb_damage_query_version_reply(c_, xcb_damage_query_version(c_, 1, 1), &e);
    const bool ok = v && !e;
    std::free(v);
    std::free(e);
    if (!ok)
        return;
    firstEvent_ = ext->first_event;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11DamageWatch::~X11DamageWatch()
{
    // The watch goes at the end of the run, when the connection may be closing: the server
    // frees the damage objects with the connection, so nothing is sent here.
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool X11DamageWatch::changedSinceLastAsked(xcb_drawable_t drawable)
{
    if (!available() || drawable == XCB_NONE)
        return true;
    auto it = std::find_if(watches_.begin(), watches_.end(),
                           [drawable](const Watch &w) { return w.drawable == drawable; });
    if (it == watches_.end()) {
        if (watches_.size() >= kMaxWatches)
            forget(watches_.front().drawable);
        const xcb_damage_damage_t damage = xcb_generate_id(c_);
        xcb_generic_error_t *e = xcb_request_check(
            c_, xcb_damage_create_checked(c_, damage, drawable, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY));
        if (e) { // the drawable is gone: nothing to watch, the capture will tell
            std::free(e);
            return true;
        }
        watches_.push_back({drawable, damage, false});
        return true;
    }
    if (!it->drawnOn)
        return false;
    // Empty the damage so that the next drawing is reported again; what is drawn from
    // here on shows in the next answer.
    it->drawnOn = false;
    xcb_discard_reply(c_, xcb_damage_subtract_checked(c_, it->damage, XCB_NONE, XCB_NONE).sequence);
    xcb_flush(c_);
    return true;
}

void X11DamageWatch::forget(xcb_drawable_t drawable)
{
    auto it = std::find_if(watches_.begin(), watches_.end(),
                           [drawable](const Watch &w) { return w.drawable == drawable; });
    if (it == watches_.end())
        return;
    xcb_discard_reply(c_, xcb_damage_destroy_checked(c_, it->damage).sequence);
    watches_.erase(it);
}

bool X11DamageWatch::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
    if (type != "xcb_generic_event_t" || !message)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != firstEvent_ + XCB_DAMAGE_NOTIFY)
        return false;
    const auto *notify = reinterpret_cast<const xcb_damage_notify_event_t *>(event);
    for (Watch &w : watches_) {
        if (w.damage != notify->damage)
            continue;
        w.drawnOn = true;
        if (!onDrawn_)
            continue;
        xcb_discard_reply(c_,
                          xcb_damage_subtract_checked(c_, w.damage, XCB_NONE, XCB_NONE).sequence);
        xcb_flush(c_);
        onDrawn_(w.drawable,
                 QRect(notify->area.x, notify->area.y, notify->area.width, notify->area.height));
    }
    return true;
}

} // namespace quorix
