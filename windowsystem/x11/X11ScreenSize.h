#pragma once
// The root window's size as it is now. The connection's set-up tells it once; a projector
// set to another mode or a monitor added changes it, which RandR's screen-change
// notification reports (through Qt's own event loop): the size is then read again from
// the server at the next look. Part of the X11 implementation: only the X11 files include
// this header.
#include <QAbstractNativeEventFilter>
#include <QRect>

#include <xcb/xcb.h>

#include <cstdint>

namespace quorix {

class X11ScreenSize final : public QAbstractNativeEventFilter
{
  public:
    X11ScreenSize(xcb_connection_t *c, xcb_window_t root, QSize initial);
    ~X11ScreenSize() override;
    X11ScreenSize(const X11ScreenSize &) = delete;
    X11ScreenSize &operator=(const X11ScreenSize &) = delete;

    // The root rectangle, read again first when the screen changed since the last look.
    QRect root();
    // True once after each change of the screen the server reported.
    bool changedSinceLastAsked();
    // Reads the size from the server at the next look, notified or not (a grab of the
    // old size failed: the notification may still be on its way).
    void forget() { stale_ = true; }

    // Notes the server's screen-change notifications; lets every event through, since Qt
    // follows the screens with them too.
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *result) override;

  private:
    xcb_connection_t *c_;
    xcb_window_t root_;
    QSize size_;
    bool stale_ = false;
    bool changed_ = false;
    std::uint8_t firstEvent_ = 0; // RandR's; 0 without RandR
};

} // namespace quorix
