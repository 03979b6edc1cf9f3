#pragma once
// The Wayland side of the window-system seam: the screen, and windows chosen in the
// desktop's own chooser, come through the desktop's screen-cast portal; the windows of
// XWayland (this program's own among them) are still listed and captured through X11.
#include "windowsystem/WindowSystem.h"

#include <memory>

namespace quorix {

// `x11` serves the XWayland windows; null when there is no X connection.
std::unique_ptr<WindowSystem> makePortalWindowSystem(std::unique_ptr<WindowSystem> x11);

// Whether the desktop session is a Wayland one (WAYLAND_DISPLAY, or XDG_SESSION_TYPE).
bool onWaylandSession();

} // namespace quorix
