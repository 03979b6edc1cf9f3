#pragma once
// The one seam between Quorix and the window system: a grab of the primary screen, the
// image of one top-level window, and the list of top-level windows. The loader picks the
// implementation once, at the first use: X11 on an X11 session; the desktop's screen-cast
// portal on a Wayland session (also when this program itself runs through XWayland, whose
// windows it still lists and captures); where neither exists every capture comes back
// empty and the list is empty.
//
// On a Wayland desktop the presenter must first allow a capture in the desktop's own
// dialog, so a capture is prepared (the answer comes later) and may have no picture for a
// while; captureProblem() then says why, for the status strip.
//
// Images are in the window system's own pixels (no high-DPI scaling), Format_RGB32.
#include <cstdint>
#include <memory>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <vector>

class QWindow;

namespace quorix {

// An X11 window id, or (from kPortalWindowBase up) a window the desktop's portal shares.
using WindowId = std::uint64_t;
constexpr WindowId kPortalWindowBase = WindowId(1) << 32;

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

class WindowSystem : public QObject
{
    Q_OBJECT

  public:
    ~WindowSystem() override = default;

    // Fills `image` with the primary monitor, wherever it lies on the desktop. False, with
    // `image` empty, when the grab fails or (on a Wayland desktop) there is no picture yet.
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

    // Gets ready what captures of `target` (0: the screen) need before their first picture:
    // where the desktop asks the presenter, this asks (a capture already allowed is kept),
    // and the answer comes later as captureStateChanged. `parent` is the window the
    // desktop's dialog belongs to. Nothing to do on X11.
    virtual void prepareCapture(WindowId target, QWindow *parent)
    {
        (void)target;
        (void)parent;
    }
    // Ends what prepareCapture started (the source was left): the desktop stops sharing.
    virtual void endCapture(WindowId target) { (void)target; }
    // Why a capture of `target` has no picture now, for the status strip; empty when there
    // is one or when nothing more is known than that the capture failed.
    virtual QString captureProblem(WindowId target) const
    {
        (void)target;
        return {};
    }

    // Windows beyond the listed ones, chosen in the desktop's own window chooser.
    enum class OtherWindows
    {
        None,         // every window is listed (X11)
        Chooser,      // the desktop offers its chooser
        MonitorsOnly, // the desktop shares whole monitors only
        Unavailable,  // the desktop lets no program capture anything
        Asking,       // the desktop has not said yet
    };
    virtual OtherWindows otherWindows() { return OtherWindows::None; }
    // Opens the desktop's window chooser and returns the id that captures of the window
    // chosen there use once the presenter has answered; 0 when there is no chooser.
    virtual WindowId chooseOtherWindow(QWindow *parent)
    {
        (void)parent;
        return 0;
    }
    // Whether the desktop's own dialog (its consent or its window chooser) may be on the
    // screen now; captureStateChanged says when this changes.
    virtual bool desktopDialogMayBeOpen() const { return false; }

  signals:
    // A prepared capture was allowed, refused or ended, or the desktop said what it offers.
    void captureStateChanged();
    // Something was drawn on the screen (target 0; `area` in the capture's pixels, empty
    // when the window system does not say where) or on a captured window (its id), once the
    // window system has been asked mayHaveChanged() for it (X11) or the capture streams
    // (a desktop's screen-cast portal). Where the window system cannot tell, it is never
    // sent, and the periodic capture tick alone finds changes.
    void drawn(quorix::WindowId target, QRect area);
};

// The implementation for the running application (a QGuiApplication must exist). Created
// on first use and kept until the application ends.
WindowSystem &windowSystem();

} // namespace quorix
