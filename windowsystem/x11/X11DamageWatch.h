#pragma once
// Tells, through the X DAMAGE extension, whether a drawable (the root window, a window's
// frame) has been drawn on since it was last asked about: a still screen then costs no
// grab at all. The server's reports arrive through Qt's own event loop, so the answer
// lags the drawing by at most the events not yet handled. Part of the X11 implementation:
// only the X11 files include this header.
#include <QAbstractNativeEventFilter>
#include <QRect>

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <functional>
#include <vector>

namespace quorix {

class X11DamageWatch final : public QAbstractNativeEventFilter
{
  public:
    explicit X11DamageWatch(xcb_connection_t *c);
    ~X11DamageWatch() override;
    X11DamageWatch(const X11DamageWatch &) = delete;
    X11DamageWatch &operator=(const X11DamageWatch &) = delete;

    // Whether the server offers DAMAGE; without it every question answers true.
    bool available() const { return firstEvent_ != 0; }

    // True when `drawable` may have changed since the last call for it: on the first call
    // (which starts watching it), after drawing on it, and whenever the server cannot
    // tell. Watches a handful of drawables; the oldest are dropped beyond that.
    bool changedSinceLastAsked(xcb_drawable_t drawable);

    // Stops watching (the window is no longer captured).
    void forget(xcb_drawable_t drawable);

    // Called as each drawing on a watched drawable is reported, with the rectangle drawn
    // on (in the drawable's pixels), so that a look can follow the drawing at once. Each
    // report empties the drawable's damage, so the next drawing is reported again.
    void setOnDrawn(std::function<void(xcb_drawable_t, QRect)> onDrawn)
    {
        onDrawn_ = std::move(onDrawn);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *result) override;

  private:
    struct Watch
    {
        xcb_drawable_t drawable;
        xcb_damage_damage_t damage;
        bool drawnOn;
    };

    xcb_connection_t *c_;
    std::uint8_t firstEvent_ = 0;
    std::vector<Watch> watches_;
    std::function<void(xcb_drawable_t, QRect)> onDrawn_;
};

} // namespace quorix
