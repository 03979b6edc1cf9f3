#pragma once
// The X11 implementation of the window-system seam. Declared without X11 types, so that
// only its own source file includes the X11 headers.
#include "windowsystem/WindowSystem.h"

#include <memory>

namespace quorix {

// Null when the application does not run on an X11 connection.
std::unique_ptr<WindowSystem> makeX11WindowSystem();

} // namespace quorix
