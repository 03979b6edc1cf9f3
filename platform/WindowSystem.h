#pragma once
// The one seam between Quorix and the window system: a grab of the primary screen, the
// image of one top-level window, and the list of top-level windows. The loader picks the
// implementation once, for the platform the application runs on; where no implementation
// exists every capture comes back empty and the list is empty.
//
// Images are in the window system's own pixels (no high-DPI scaling), Format_RGB32.
#include <cstdint>
#include <memory>
#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

namespace quorix {

using WindowId = std::uint32_t;

struct WindowInfo
{
    enum class Kind
    {
        Normal,
        Desktop,
        Dock
    };

    WindowId id = 0;       // the client window: what the presenter knows as the window
    WindowId frame = 0;    // the top-level window that holds it, title bar and border included
    QRect frameRect;       // the frame's rectangle on the screen
    QString className;     // class part of WM_CLASS, empty when absent
    QString title;         // _NET_WM_NAME, else WM_NAME, empty when absent
    std::uint32_t pid = 0; // _NET_WM_PID, 0 when absent
    Kind kind = Kind::Normal;
    bool viewable = false; // mapped, and all its ancestors mapped
};

class WindowSystem
{
  public:
    virtual ~WindowSystem() = default;

    // Fills `image` with the primary screen's full size, taken from the desktop's top-left
    // corner. False, with `image` empty, when the grab fails.
    virtual bool captureScreen(QImage &image) = 0;

    // Fills `image` with the window's own image, frame included and without what covers
    // it. False, with `image` empty, when the window is gone or the window system cannot
    // capture single windows.
    virtual bool captureWindow(WindowId window, QImage &image) = 0;

    // The top-level windows, frontmost first.
    virtual std::vector<WindowInfo> listTopLevelWindows() = 0;

    // Whether captureWindow can work at all on this display.
    virtual bool canCaptureWindows() const = 0;

    // Gives back what the last window capture kept on the server for the next tick.
    virtual void releaseWindowCapture() {}
    // Whether the screen (window 0) or the window may look different since the last call
    // for it. True on the first call for each, and whenever the window system cannot tell.
    virtual bool mayHaveChanged(WindowId window)
    {
        (void)window;
        return true;
    }

    // The frame that the last window capture keeps redirected on the server; 0 for none.
    virtual WindowId heldWindow() const { return 0; }
};

// The implementation for the running application (a QGuiApplication must exist). Created
// on first use and kept until the application ends.
WindowSystem &windowSystem();

} // namespace quorix
